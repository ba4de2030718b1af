#include "framework/CSettingsRecorder.hpp"

#include <cctype>
#include <cstdio>
#include <new>
#include <vector>

#include "GS/UniString.hpp"

namespace
{

bool IsBlank(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }

// Two backslashes give one; a backslash before any other character is dropped;
// a backslash as the last character stays.
std::string UnescapeQuotedText(const std::string& text)
{
    std::string result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i)
    {
        if (text[i] == '\\' && i + 1 < text.size()) ++i;
        result.push_back(text[i]);
    }
    return result;
}

// The closing quote of a quoted token starting behind `from`: the next quote
// not preceded by an odd number of backslashes, or the end of the line.
const char* FindClosingQuote(const char* from)
{
    std::size_t backslashes = 0;
    for (const char* p = from; *p != 0; ++p)
    {
        if (*p == '"' && backslashes % 2 == 0) return p;
        backslashes = *p == '\\' ? backslashes + 1 : 0;
    }
    return nullptr;
}

}  // namespace

CSettingsRecorder::CSettingsRecorder() : CDataRecorder(EncodingCodePage) { contentReader_.SetMode(ModeMemory); }

CSettingsRecorder::~CSettingsRecorder() = default;

int CSettingsRecorder::Load()
{
    const std::int32_t opened = OpenRead();
    if (opened != 0) return opened;
    const std::int32_t size = GetSize();
    if (size <= 0) return 1;
    if (size > MaxFileSize) return LoadTooLarge;
    FreeBuffer();
    contents_.reset(new (std::nothrow) char[static_cast<std::size_t>(size)]);
    if (contents_ == nullptr || !ReadBytes(contents_.get(), static_cast<std::size_t>(size)))
    {
        FreeBuffer();
        return 1;
    }
    contentReader_.SetMemory(contents_.get(), size);
    dataStart_ = 0;
    dataSize_ = size;
    scannedTo_ = dataStart_;
    return 0;
}

std::int32_t CSettingsRecorder::ByteOrderMarkLength() const
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(contents_.get());
    if (dataSize_ >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) return 3;
    if (dataSize_ >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) return 2;
    return 0;
}

std::string CSettingsRecorder::KeyOf(const std::string& text) { return GS::UniString(text).ToLowerCase().ToUtf8(); }

bool CSettingsRecorder::ParseLineAt(std::int32_t position)
{
    contentReader_.SetPosition(position);
    std::vector<char> line(LineCapacity + 2);
    const int result = contentReader_.ReadLine(line.data(), LineCapacity);
    ParseLine(line.data());
    return result == LineLast || contentReader_.GetPosition() >= dataStart_ + dataSize_;
}

short CSettingsRecorder::FindKey(const char* key)
{
    if (contents_ == nullptr || key == nullptr) return 0;
    const std::string wanted = KeyOf(key);
    const auto known = keyLines_.find(wanted);
    if (known != keyLines_.end())
    {
        ParseLineAt(known->second);
        return GetTokenCount();
    }
    while (!scannedAll_)
    {
        // The reader learns the encoding from the mark at the first line and skips
        // it then; a line read again later starts behind the mark itself.
        const bool encodingKnown = contentReader_.GetDetectedEncoding() != EncodingUnknown;
        const std::int32_t lineStart = scannedTo_ + (encodingKnown ? 0 : ByteOrderMarkLength());
        scannedAll_ = ParseLineAt(scannedTo_);
        scannedTo_ = contentReader_.GetPosition();
        if (tokenCount_ == 0) continue;
        const std::string found = KeyOf(tokens_[0].text);
        keyLines_.emplace(found, lineStart);
        if (found == wanted) return GetTokenCount();
    }
    return 0;
}

const CSettingsRecorder::Token& CSettingsRecorder::GetToken(int index) const
{
    static const Token none;
    return index >= 0 && index < tokenCount_ ? tokens_[static_cast<std::size_t>(index)] : none;
}

int CSettingsRecorder::Close()
{
    const int closed = CDataRecorder::Close();
    FreeBuffer();
    return closed;
}

void CSettingsRecorder::ParseLine(const char* line)
{
    tokenCount_ = 0;
    const char* from = line;
    for (;;)
    {
        const TokenSpan span = FindNextToken(from);
        if (!span.found) return;
        AddToken(std::string(span.begin, span.end));
        if (span.endsLine) return;
        from = span.next;
    }
}

CSettingsRecorder::TokenSpan CSettingsRecorder::FindNextToken(const char* from)
{
    TokenSpan span;
    while (*from != 0 && IsBlank(*from)) ++from;
    if (*from == 0) return span;
    span.found = true;
    if (*from == '"')
    {
        span.begin = from + 1;
        const char* quote = FindClosingQuote(span.begin);
        span.end = quote != nullptr ? quote : span.begin + std::char_traits<char>::length(span.begin);
        span.next = quote != nullptr ? quote + 1 : span.end;
    }
    else
    {
        span.begin = from;
        span.end = from;
        while (*span.end != 0 && !IsBlank(*span.end)) ++span.end;
        span.next = span.end;
    }
    span.endsLine = *span.next == 0;
    return span;
}

void CSettingsRecorder::AddToken(const std::string& written)
{
    if (tokenCount_ >= MaxTokens) return;
    Token& token = tokens_[static_cast<std::size_t>(tokenCount_++)];
    double value = 0.0;
    token.isNumber = std::sscanf(written.c_str(), "%lf", &value) == 1 ? 1 : 0;
    token.value = token.isNumber != 0 ? value : 0.0;
    token.SetText(UnescapeQuotedText(written));
}

void CSettingsRecorder::FreeBuffer()
{
    contents_.reset();
    contentReader_.SetMemory(nullptr, 0);
    dataSize_ = 0;
    keyLines_.clear();
    scannedTo_ = 0;
    scannedAll_ = false;
}
