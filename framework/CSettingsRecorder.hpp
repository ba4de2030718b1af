#pragma once
#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "framework/CDataRecorder.hpp"

// Reads a small configuration file of blank-separated tokens into memory once
// and finds the line that starts with a key, compared without case. The lines
// are scanned once at most: a lookup goes on from where the last one stopped and
// remembers where each key's first line starts.
class CSettingsRecorder : public CDataRecorder
{
public:
    static constexpr int MaxTokens = 20;
    static constexpr unsigned LineCapacity = 4000;
    // The file holds a few hundred bytes; a larger one is not taken into memory.
    static constexpr std::int32_t MaxFileSize = 1 << 20;
    static constexpr int LoadTooLarge = 2;

    struct Token
    {
        std::int32_t isNumber = 0;
        double value = 0.0;
        std::string text;

        void SetText(const std::string& newText) { text = newText; }
    };

    CSettingsRecorder();
    ~CSettingsRecorder() override;

    // 0 = loaded; 1 when the file cannot be opened, is empty or cannot be held;
    // LoadTooLarge past MaxFileSize.
    int Load();
    // The token count of the first line whose first token is the key; 0 when none.
    short FindKey(const char* key);
    // A token of the line found last; past the token count an empty token, so a
    // missing value never shows what another line left behind.
    const Token& GetToken(int index) const;
    short GetTokenCount() const { return static_cast<short>(tokenCount_); }
    int Close();

private:
    struct TokenSpan
    {
        bool found = false;
        bool endsLine = false;
        const char* begin = nullptr;
        const char* end = nullptr;
        const char* next = nullptr;
    };

    void ParseLine(const char* line);
    // Reads and parses the line at the position; true when it was the last one.
    bool ParseLineAt(std::int32_t position);
    static std::string KeyOf(const std::string& text);
    static TokenSpan FindNextToken(const char* from);
    void AddToken(const std::string& written);
    void FreeBuffer();
    std::int32_t ByteOrderMarkLength() const;

    std::array<Token, MaxTokens> tokens_ {};
    std::int32_t tokenCount_ = 0;
    std::unique_ptr<char[]> contents_;
    CDataRecorder contentReader_ {EncodingCodePage};
    std::int32_t dataStart_ = 0;
    std::int32_t dataSize_ = 0;
    std::map<std::string, std::int32_t> keyLines_;  // a key in lower case: where its first line starts
    std::int32_t scannedTo_ = 0;
    bool scannedAll_ = false;
};
