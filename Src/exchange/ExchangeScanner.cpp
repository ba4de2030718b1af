#include "exchange/ExchangeScanner.hpp"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "GS/UniString.hpp"
#include "exchange/AnnotationCollector.hpp"

namespace
{

// A tag with more attributes goes to the full parser: the duplicate check here is quadratic.
constexpr std::size_t MaxAttributes = 64;
// Enough digits for every character; longer references go to the full parser.
constexpr std::size_t MaxReferenceDigits = 8;
// Character data ends this far before the end of a piece of the document: every
// reference, character or line end that starts before it ends within the piece.
constexpr std::size_t CharacterDataMargin = 16;

// Bytes that stand for themselves in character data: printable ASCII but the markup
// characters, and tab and line feed. DEL is a character, yet it is left to the parser.
constexpr std::array<bool, 256> PlainTextBytes()
{
    std::array<bool, 256> plain {};
    for (int c = 0x20; c < 0x7F; ++c) plain[c] = true;
    plain['\t'] = plain['\n'] = true;
    plain['<'] = plain['&'] = plain[']'] = false;
    return plain;
}
constexpr std::array<bool, 256> PlainText = PlainTextBytes();

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }
bool IsNameStart(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
bool IsNameChar(char c) { return IsNameStart(c) || (c >= '0' && c <= '9') || c == '.' || c == '-'; }

// A character beyond ASCII that no parser treats apart: C1 controls, line and
// paragraph separators, the byte-order mark and the non-characters at the plane's
// end are left to the full parser, as are surrogates and DEL.
bool IsPlainCharacter(std::uint32_t c)
{
    if (c < 0x20) return c == '\t' || c == '\n' || c == '\r';
    if (c < 0x7F) return true;
    if (c < 0xA0) return false;
    if (c >= 0xD800 && c < 0xE000) return false;
    if (c == 0x2028 || c == 0x2029 || c == 0xFEFF || c == 0xFFFE || c == 0xFFFF) return false;
    return c <= 0x10FFFF;
}

enum class Place
{
    Declaration,
    Prolog,
    Elements,
    Epilog,
    End
};

}  // namespace

// The document in items (a tag, a comment, a CDATA section, a stretch of character
// data, the spaces between). An item that reaches past the end of the piece at hand
// is read again from its start once more of the document has come; every method
// returns false as soon as the document leaves the plain form.
class PlainDocumentScan::Scanner
{
public:
    PlainDocumentScan::Step Resume(std::string_view window, bool final)
    {
        const std::size_t from = HeldFrom();
        at_ -= from - base_;
        base_ = from;
        bytes_ = window;
        final_ = final;
        while (place_ != Place::End)
        {
            const std::size_t itemBegin = at_;
            std::string* const text = collector_.Collected();
            const std::size_t collected = text != nullptr ? text->size() : 0;
            const Place place = place_;
            starved_ = false;
            const bool plain = Item();
            if (starved_)
            {
                at_ = itemBegin;
                if (text != nullptr) text->resize(collected);
                place_ = place;
                return PlainDocumentScan::Step::NeedMore;
            }
            if (!plain) return PlainDocumentScan::Step::LeftToParser;
        }
        if (!result_.taken.Empty()) result_.annotation = std::move(collector_.Annotation());
        return PlainDocumentScan::Step::Done;
    }

    std::size_t HeldFrom() const { return collector_.InAnnotation() ? annotationBegin_ : base_ + at_; }
    ScannedDocument& Result() { return result_; }

private:
    bool Item()
    {
        switch (place_)
        {
            case Place::Declaration:
                if (!XmlDeclaration()) return false;
                place_ = Place::Prolog;
                return true;
            case Place::Prolog:
                if (SkipSpace()) return true;
                if (LooksAt("<!--")) return Comment();
                if (Peek() != '<' || !IsNameStart(Peek(1))) return false;
                place_ = Place::Elements;
                return true;
            case Place::Elements:
                if (!ElementItem()) return false;
                if (open_.empty()) place_ = Place::Epilog;
                return true;
            case Place::Epilog:
                if (SkipSpace()) return true;
                if (LooksAt("<!--")) return Comment();
                if (!AtEnd()) return false;
                place_ = Place::End;
                return true;
            case Place::End: break;
        }
        return true;
    }

    // The end of the piece at hand is the document's end only in its last piece;
    // before that, looking past it means the item must wait for more.
    bool AtEnd()
    {
        if (at_ < bytes_.size()) return false;
        if (!final_) starved_ = true;
        return true;
    }

    char Peek(std::size_t ahead = 0)
    {
        if (at_ + ahead < bytes_.size()) return bytes_[at_ + ahead];
        if (!final_) starved_ = true;
        return '\0';
    }

    bool LooksAt(std::string_view text)
    {
        if (bytes_.size() - at_ < text.size() && !final_)
        {
            starved_ = true;
            return false;
        }
        return bytes_.compare(at_, text.size(), text) == 0;
    }

    bool Skip(std::string_view text)
    {
        if (!LooksAt(text)) return false;
        at_ += text.size();
        return true;
    }

    bool SkipSpace()
    {
        const std::size_t from = at_;
        while (!AtEnd() && IsSpace(bytes_[at_])) ++at_;
        return at_ > from;
    }

    std::string_view Name()
    {
        const std::size_t from = at_;
        if (!IsNameStart(Peek())) return {};
        while (!AtEnd() && IsNameChar(bytes_[at_])) ++at_;
        return bytes_.substr(from, at_ - from);
    }

    // One UTF-8 character beyond ASCII, in its shortest form.
    bool MultiByteCharacter()
    {
        const auto lead = static_cast<unsigned char>(bytes_[at_]);
        std::size_t length = 0;
        std::uint32_t c = 0;
        if (lead >= 0xC2 && lead < 0xE0)
        {
            length = 2;
            c = lead & 0x1Fu;
        }
        else if (lead >= 0xE0 && lead < 0xF0)
        {
            length = 3;
            c = lead & 0x0Fu;
        }
        else if (lead >= 0xF0 && lead < 0xF5)
        {
            length = 4;
            c = lead & 0x07u;
        }
        else
        {
            return false;
        }
        if (bytes_.size() - at_ < length)
        {
            if (!final_) starved_ = true;
            return false;
        }
        for (std::size_t i = 1; i < length; ++i)
        {
            const auto next = static_cast<unsigned char>(bytes_[at_ + i]);
            if ((next & 0xC0) != 0x80) return false;
            c = (c << 6) | (next & 0x3Fu);
        }
        const std::uint32_t shortest = length == 2 ? 0x80 : length == 3 ? 0x800 : 0x10000;
        if (c < shortest || !IsPlainCharacter(c)) return false;
        at_ += length;
        return true;
    }

    // Any character up to `end`, which must come; a carriage return, alone or
    // before a line feed, reads as one line feed.
    bool CharactersUpTo(std::string_view end, std::string* text)
    {
        std::size_t run = at_;
        const auto flush = [&] {
            if (text != nullptr) text->append(bytes_.data() + run, at_ - run);
        };
        while (!AtEnd())
        {
            const auto c = static_cast<unsigned char>(bytes_[at_]);
            if (LooksAt(end))
            {
                flush();
                at_ += end.size();
                return true;
            }
            if (c >= 0x80)
            {
                if (!MultiByteCharacter()) return false;
            }
            else if (c == '\r')
            {
                flush();
                NewLine(text);
                run = at_;
            }
            else if (PlainText[c] || c == '<' || c == '&' || c == ']')
            {
                ++at_;
            }
            else
            {
                return false;
            }
        }
        return false;
    }

    void NewLine(std::string* text)
    {
        if (text != nullptr) text->push_back('\n');
        ++at_;
        if (Peek() == '\n') ++at_;
    }

    bool XmlDeclaration()
    {
        if (!LooksAt("<?xml") || !IsSpace(Peek(5))) return true;
        at_ += 5;
        if (!Pseudo("version", {"1.0"})) return false;
        const std::size_t beforeEncoding = at_;
        if (!Pseudo("encoding", {"UTF-8", "utf-8", "Utf-8"})) at_ = beforeEncoding;
        const std::size_t beforeStandalone = at_;
        if (!Pseudo("standalone", {"yes", "no"})) at_ = beforeStandalone;
        SkipSpace();
        return Skip("?>");
    }

    // ` name = 'value'` with one of the given values in either quotes.
    bool Pseudo(std::string_view name, std::initializer_list<std::string_view> values)
    {
        if (!SkipSpace() || !Skip(name)) return false;
        SkipSpace();
        if (!Skip("=")) return false;
        SkipSpace();
        const char quote = Peek();
        if (quote != '"' && quote != '\'') return false;
        ++at_;
        for (const std::string_view value : values)
        {
            if (LooksAt(value) && Peek(value.size()) == quote)
            {
                at_ += value.size() + 1;
                return true;
            }
        }
        return false;
    }

    bool Comment()
    {
        at_ += 4;
        // The first "--" must close the comment: so it neither holds "--" nor ends in "-".
        return CharactersUpTo("--", nullptr) && Skip(">");
    }

    bool CData()
    {
        at_ += 9;
        return CharactersUpTo("]]>", collector_.Collected());
    }

    // One item of the document element or its content.
    bool ElementItem()
    {
        if (Peek() != '<') return CharacterData();
        if (LooksAt("</")) return EndTag();
        if (LooksAt("<!--")) return ChildNode() && Comment();
        if (LooksAt("<![CDATA[")) return ChildNode() && CData();
        return StartTag();
    }

    int Depth() const { return static_cast<int>(open_.size()); }

    // A text, comment or CDATA section in the current element, as the full parser
    // counts them: none may lie below the deepest element allowed.
    bool ChildNode()
    {
        if (Depth() >= ExchangeNestingLimit) return false;
        collector_.ChildNode(Depth());
        return true;
    }

    // Character data up to the next markup; in a piece before the last, only up to
    // the margin before its end, the rest being the next item.
    bool CharacterData()
    {
        if (AtEnd() || !ChildNode()) return false;
        std::size_t end = bytes_.size();
        if (!final_)
        {
            end = end > CharacterDataMargin ? end - CharacterDataMargin : 0;
            if (at_ >= end)
            {
                starved_ = true;
                return false;
            }
        }
        std::string* const text = collector_.Collected();
        std::size_t run = at_;
        const auto flush = [&] {
            if (text != nullptr) text->append(bytes_.data() + run, at_ - run);
        };
        while (at_ < end)
        {
            const auto c = static_cast<unsigned char>(bytes_[at_]);
            if (PlainText[c])
            {
                ++at_;
                continue;
            }
            if (c == '<') break;
            if (c >= 0x80)
            {
                if (!MultiByteCharacter()) return false;
                continue;
            }
            if (c == ']')
            {
                if (LooksAt("]]>")) return false;
                ++at_;
                continue;
            }
            flush();
            if (c == '&')
            {
                if (!Reference(text)) return false;
            }
            else if (c == '\r')
            {
                NewLine(text);
            }
            else
            {
                return false;
            }
            run = at_;
        }
        flush();
        return true;
    }

    // One of the five predefined entities or a character reference, its character
    // appended to `text` when given.
    bool Reference(std::string* text)
    {
        static constexpr std::pair<std::string_view, char> Predefined[] = {
            {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&apos;", '\''}, {"&quot;", '"'}};
        for (const auto& [name, character] : Predefined)
        {
            if (Skip(name))
            {
                if (text != nullptr) text->push_back(character);
                return true;
            }
        }
        const bool hex = LooksAt("&#x");
        if (!hex && !LooksAt("&#")) return false;
        at_ += hex ? 3 : 2;
        std::uint32_t c = 0;
        std::size_t digits = 0;
        for (; digits <= MaxReferenceDigits && Peek() != ';'; ++digits, ++at_)
        {
            const int digit = DigitValue(Peek(), hex);
            if (digit < 0) return false;
            c = c * (hex ? 16 : 10) + static_cast<std::uint32_t>(digit);
        }
        if (digits == 0 || digits > MaxReferenceDigits || !IsPlainCharacter(c)) return false;
        ++at_;
        if (text != nullptr) GS::AppendUtf8(*text, c);
        return true;
    }

    static int DigitValue(char c, bool hex)
    {
        if (c >= '0' && c <= '9') return c - '0';
        if (hex && c >= 'a' && c <= 'f') return c - 'a' + 10;
        if (hex && c >= 'A' && c <= 'F') return c - 'A' + 10;
        return -1;
    }

    bool StartTag()
    {
        const std::size_t tagBegin = at_;
        ++at_;
        const std::string_view name = Name();
        if (name.empty() || Depth() >= ExchangeNestingLimit) return false;
        const int depth = Depth() + 1;
        const bool candidate = collector_.PointCandidate(depth, name);
        std::string type, id;
        bool hasId = false;
        attributes_.clear();
        bool empty = false;
        for (;;)
        {
            const bool spaced = SkipSpace();
            if (Skip(">")) break;
            if (Skip("/>"))
            {
                empty = true;
                break;
            }
            const std::string_view attribute = Name();
            if (!spaced || attribute.empty() || !NewAttribute(attribute)) return false;
            SkipSpace();
            if (!Skip("=")) return false;
            SkipSpace();
            std::string* value = nullptr;
            if (candidate && attribute == "type") value = &type;
            if (candidate && attribute == "uuid")
            {
                value = &id;
                hasId = true;
            }
            if (!AttributeValue(value)) return false;
        }
        if (starved_) return false;
        open_.emplace_back(name);
        if (collector_.Open(depth, name, candidate && type == "point", hasId ? &id : nullptr))
            annotationBegin_ = base_ + tagBegin;
        if (empty) EndElement();
        return true;
    }

    bool NewAttribute(std::string_view name)
    {
        if (attributes_.size() >= MaxAttributes) return false;
        for (const std::string_view seen : attributes_)
            if (seen == name) return false;
        attributes_.push_back(name);
        return true;
    }

    // A quoted value: white space reads as a blank, a "<" is not allowed.
    bool AttributeValue(std::string* value)
    {
        const char quote = Peek();
        if (quote != '"' && quote != '\'') return false;
        ++at_;
        for (;;)
        {
            if (AtEnd()) return false;
            const auto c = static_cast<unsigned char>(bytes_[at_]);
            if (c == static_cast<unsigned char>(quote))
            {
                ++at_;
                return true;
            }
            if (c >= 0x80)
            {
                const std::size_t from = at_;
                if (!MultiByteCharacter()) return false;
                if (value != nullptr) value->append(bytes_.data() + from, at_ - from);
            }
            else if (c == '&')
            {
                if (!Reference(value)) return false;
            }
            else if (c == '\r')
            {
                NewLine(nullptr);
                if (value != nullptr) value->push_back(' ');
            }
            else if (c == '\t' || c == '\n')
            {
                ++at_;
                if (value != nullptr) value->push_back(' ');
            }
            else if (PlainText[c] || c == ']')
            {
                ++at_;
                if (value != nullptr) value->push_back(static_cast<char>(c));
            }
            else
            {
                return false;
            }
        }
    }

    bool EndTag()
    {
        at_ += 2;
        const std::string_view name = Name();
        SkipSpace();
        if (open_.empty() || name != open_.back() || !Skip(">") || starved_) return false;
        EndElement();
        return true;
    }

    void EndElement()
    {
        if (collector_.Close(Depth()) && collector_.AnnotationHasChildren()) result_.taken = {annotationBegin_, base_ + at_};
        open_.pop_back();
    }

    std::string_view bytes_;
    std::size_t base_ = 0;
    std::size_t at_ = 0;
    bool final_ = false;
    bool starved_ = false;
    Place place_ = Place::Declaration;
    std::vector<std::string> open_;
    std::vector<std::string_view> attributes_;
    AnnotationCollector<char> collector_;
    std::size_t annotationBegin_ = 0;
    ScannedDocument result_;
};

PlainDocumentScan::PlainDocumentScan() : scanner_(std::make_unique<Scanner>()) {}
PlainDocumentScan::~PlainDocumentScan() = default;

PlainDocumentScan::Step PlainDocumentScan::Resume(std::string_view window, bool final) { return scanner_->Resume(window, final); }

std::size_t PlainDocumentScan::HeldFrom() const { return scanner_->HeldFrom(); }

ScannedDocument& PlainDocumentScan::Result() { return scanner_->Result(); }

std::optional<ScannedDocument> ScanPlainDocument(std::string_view bytes)
{
    PlainDocumentScan scan;
    if (scan.Resume(bytes, true) != PlainDocumentScan::Step::Done) return std::nullopt;
    return std::move(scan.Result());
}
