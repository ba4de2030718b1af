#include "exchange/ExchangeDocument.hpp"

#include <xercesc/parsers/SAX2XMLReaderImpl.hpp>
#include <xercesc/sax/InputSource.hpp>
#include <xercesc/sax2/Attributes.hpp>
#include <xercesc/sax2/DefaultHandler.hpp>
#include <xercesc/util/BinInputStream.hpp>
#include <xercesc/util/SecurityManager.hpp>
#include <xercesc/util/XMLUni.hpp>
#include <xercesc/validators/DTD/DTDEntityDecl.hpp>

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "e57/XercesGuard.hpp"
#include "exchange/AnnotationCollector.hpp"
#include "exchange/ExchangeScanner.hpp"

using namespace xercesc;

namespace
{

constexpr XMLSize_t MaxEntityExpansions = 10000;
constexpr int MaxNestingDepth = ExchangeNestingLimit;

// An entity declaration ends the parse before any content is read: a small file can
// declare entities that expand to gigabytes, so no exchange file may declare any.
struct EntityDeclared
{};
struct NestedTooDeep
{};

class NoEntitiesReader : public SAX2XMLReaderImpl
{
public:
    void entityDecl(const DTDEntityDecl&, const bool, const bool) override { throw EntityDeclared(); }
};

// How "<" and ">" are stored in the document's encoding, told by its first bytes as
// the parser tells it: four-byte and two-byte units in either order, EBCDIC, else bytes.
struct AngleUnits
{
    std::string open;
    std::string close;
};

AngleUnits AngleUnitsOf(std::string_view bytes)
{
    const auto startsWith = [&bytes](const char* prefix, std::size_t length) {
        return bytes.size() >= length && std::memcmp(bytes.data(), prefix, length) == 0;
    };
    const auto widened = [](char c, std::size_t zerosBefore, std::size_t zerosAfter) {
        return std::string(zerosBefore, '\0') + c + std::string(zerosAfter, '\0');
    };
    std::size_t before = 0, after = 0;
    if (startsWith("\x00\x00\xFE\xFF", 4) || startsWith("\x00\x00\x00<", 4))
        before = 3;
    else if (startsWith("\xFF\xFE\x00\x00", 4) || startsWith("<\x00\x00\x00", 4))
        after = 3;
    else if (startsWith("\xFE\xFF", 2) || startsWith("\x00<\x00?", 4))
        before = 1;
    else if (startsWith("\xFF\xFE", 2) || startsWith("<\x00?\x00", 4))
        after = 1;
    else if (startsWith("\x4C\x6F\xA7\x94", 4))
        return {"\x4C", "\x6E"};
    return {widened('<', before, after), widened('>', before, after)};
}

// The last unit before `limit`, searched back in steps of whole units.
std::optional<std::size_t> LastBefore(std::string_view bytes, const std::string& unit, std::size_t limit)
{
    limit -= limit % unit.size();
    for (std::size_t at = std::min(limit, bytes.size() - bytes.size() % unit.size()); at >= unit.size();)
    {
        at -= unit.size();
        if (bytes.compare(at, unit.size(), unit) == 0) return at;
    }
    return std::nullopt;
}

std::optional<std::size_t> FirstFrom(std::string_view bytes, const std::string& unit, std::size_t from)
{
    for (std::size_t at = from; at + unit.size() <= bytes.size(); at += unit.size())
        if (bytes.compare(at, unit.size(), unit) == 0) return at;
    return std::nullopt;
}

// The annotation from its start tag's "<" to its end tag's ">". The parser tells
// where it was at each tag's end, in some encodings a unit before the ">": so each
// tag is found from its "<", the nearest before that place, as neither tag holds
// another "<" (not even in an attribute value) and an end tag holds no other ">".
std::optional<AnnotationBytes> TagBytes(std::string_view bytes, std::size_t startTagEnd, std::size_t endTagEnd)
{
    const AngleUnits units = AngleUnitsOf(bytes);
    const std::optional<std::size_t> begin = LastBefore(bytes, units.open, startTagEnd);
    const std::optional<std::size_t> endTag = LastBefore(bytes, units.open, endTagEnd);
    if (!begin || !endTag || *endTag <= *begin) return std::nullopt;
    const std::optional<std::size_t> close = FirstFrom(bytes, units.close, *endTag);
    if (!close) return std::nullopt;
    return AnnotationBytes {*begin, *close + units.close.size()};
}

// Holds the bytes read until the taken annotation's place in them is known, then
// passes every byte but the annotation's on as it comes: only the bytes up to the
// first annotation's end are ever held.
class KeptBytes
{
public:
    explicit KeptBytes(ExchangeBytes& file) : file_(file) {}

    void Add(const char* data, std::size_t size)
    {
        if (passing_)
        {
            file_.Keep({data, size});
            return;
        }
        held_.append(data, size);
        if (tagEnds_) Resolve();
    }

    // The annotation with content has ended; its bytes are cut out once its end
    // tag's ">" has been read.
    void Take(std::size_t startTagEnd, std::size_t endTagEnd)
    {
        tagEnds_ = std::make_pair(startTagEnd, endTagEnd);
        Resolve();
    }

    // Nothing is taken: every byte stays.
    void KeepAll()
    {
        if (passing_) return;
        file_.Keep(held_);
        PassOn();
    }

    // At the end of the document: the bytes taken, empty when none; nothing when
    // the taken annotation's tags were not found.
    std::optional<AnnotationBytes> Finish()
    {
        if (!passing_ && tagEnds_) return std::nullopt;
        KeepAll();
        return taken_;
    }

private:
    void Resolve()
    {
        const std::optional<AnnotationBytes> found = TagBytes(held_, tagEnds_->first, tagEnds_->second);
        if (!found) return;
        taken_ = *found;
        const std::string_view held(held_);
        file_.Keep(held.substr(0, found->begin));
        file_.Keep(held.substr(found->end));
        PassOn();
    }

    void PassOn()
    {
        passing_ = true;
        std::string().swap(held_);
    }

    ExchangeBytes& file_;
    std::string held_;
    bool passing_ = false;
    std::optional<std::pair<std::size_t, std::size_t>> tagEnds_;
    AnnotationBytes taken_;
};

// Follows the stream for the annotation collector, and the depth of every node.
class AnnotationFinder : public DefaultHandler
{
public:
    AnnotationFinder(const SAX2XMLReader& reader, KeptBytes& kept) : reader_(reader), kept_(kept) {}

    void startElement(const XMLCh* const, const XMLCh* const, const XMLCh* const qname, const Attributes& attributes) override
    {
        if (++depth_ > MaxNestingDepth) throw NestedTooDeep();
        const std::u16string_view name(qname);
        bool point = false;
        std::u16string id;
        bool hasId = false;
        if (collector_.PointCandidate(depth_, name))
        {
            point = XMLString::equals(attributes.getValue(u"type"), u"point");
            const XMLCh* uuid = attributes.getValue(u"uuid");
            hasId = uuid != nullptr;
            if (hasId) id = uuid;
        }
        if (collector_.Open(depth_, name, point, hasId ? &id : nullptr))
            startTagEnd_ = static_cast<std::size_t>(reader_.getSrcOffset());
    }

    void endElement(const XMLCh* const, const XMLCh* const, const XMLCh* const) override
    {
        if (collector_.Close(depth_))
        {
            if (collector_.AnnotationHasChildren())
                kept_.Take(startTagEnd_, static_cast<std::size_t>(reader_.getSrcOffset()));
            else
                kept_.KeepAll();
        }
        --depth_;
    }

    void characters(const XMLCh* const chars, const XMLSize_t length) override
    {
        ChildNode();
        if (std::u16string* text = collector_.Collected()) text->append(chars, length);
    }
    void ignorableWhitespace(const XMLCh* const chars, const XMLSize_t length) override { characters(chars, length); }
    void processingInstruction(const XMLCh* const, const XMLCh* const) override { ChildNode(); }
    void comment(const XMLCh* const, const XMLSize_t) override { ChildNode(); }
    void startCDATA() override { ChildNode(); }

    void error(const SAXParseException&) override { ++errors_; }
    void fatalError(const SAXParseException&) override { ++errors_; }
    void warning(const SAXParseException&) override {}
    void resetErrors() override { errors_ = 0; }

    int Errors() const { return errors_; }
    ExchangeAnnotation& Annotation() { return collector_.Annotation(); }

private:
    // A text, comment or instruction one level below the current element.
    void ChildNode()
    {
        if (depth_ >= MaxNestingDepth) throw NestedTooDeep();
        collector_.ChildNode(depth_);
    }

    const SAX2XMLReader& reader_;
    KeptBytes& kept_;
    int errors_ = 0;
    int depth_ = 0;
    AnnotationCollector<char16_t> collector_;
    std::size_t startTagEnd_ = 0;
};

// The file comes from a folder every program can write: no DTD is fetched, no
// external entity is opened, and entity expansion is bounded.
void ConfigureSafely(SAX2XMLReaderImpl& reader, SecurityManager& security, AnnotationFinder& finder)
{
    reader.setFeature(XMLUni::fgSAX2CoreValidation, false);
    reader.setFeature(XMLUni::fgSAX2CoreNameSpaces, false);
    reader.setFeature(XMLUni::fgXercesSchema, false);
    reader.setFeature(XMLUni::fgXercesLoadExternalDTD, false);
    reader.setFeature(XMLUni::fgXercesDisableDefaultEntityResolution, true);
    // The annotation's place in the bytes, so that everything around it is copied as it is.
    reader.setFeature(XMLUni::fgXercesCalculateSrcOfs, true);
    security.setEntityExpansionLimit(MaxEntityExpansions);
    reader.setProperty(XMLUni::fgXercesSecurityManager, &security);
    reader.setContentHandler(&finder);
    reader.setErrorHandler(&finder);
    reader.setLexicalHandler(&finder);
    // Declarations reach the reader only while a handler takes them: so every entity declaration is seen.
    reader.setDeclarationHandler(&finder);
}

// The parser's input: each chunk it reads also goes to the kept bytes.
class PassingStream : public BinInputStream
{
public:
    PassingStream(ExchangeBytes& file, KeptBytes& kept, bool& unreadable) : file_(file), kept_(kept), unreadable_(unreadable) {}

    XMLFilePos curPos() const override { return position_; }
    const XMLCh* getContentType() const override { return nullptr; }

    // Fills the parser's buffer as far as the file goes: the parser tells the
    // encoding from the first chunk, which must hold the first few bytes.
    XMLSize_t readBytes(XMLByte* const toFill, const XMLSize_t maxToRead) override
    {
        char* const into = reinterpret_cast<char*>(toFill);
        std::size_t filled = 0;
        while (filled < maxToRead && !unreadable_)
        {
            const std::optional<std::size_t> got = file_.Read(into + filled, maxToRead - filled);
            // A file that cannot be read ends here for the parser; the reading counts as failed.
            if (!got) unreadable_ = true;
            if (!got || *got == 0) break;
            filled += *got;
        }
        kept_.Add(into, filled);
        position_ += filled;
        return filled;
    }

private:
    ExchangeBytes& file_;
    KeptBytes& kept_;
    bool& unreadable_;
    XMLFilePos position_ = 0;
};

class PassingSource : public InputSource
{
public:
    PassingSource(ExchangeBytes& file, KeptBytes& kept, bool& unreadable)
        : InputSource(u"Baba"), file_(file), kept_(kept), unreadable_(unreadable)
    {}

    // The parser owns the stream it asks for.
    BinInputStream* makeStream() const override { return new PassingStream(file_, kept_, unreadable_); }

private:
    ExchangeBytes& file_;
    KeptBytes& kept_;
    bool& unreadable_;
};

// Whatever the parser left unread after the document's end still stays in the file.
void PassRest(ExchangeBytes& file, KeptBytes& kept, bool& unreadable)
{
    char rest[4096];
    for (;;)
    {
        const std::optional<std::size_t> got = file.Read(rest, sizeof rest);
        if (!got) unreadable = true;
        if (!got || *got == 0) return;
        kept.Add(rest, *got);
    }
}

DocumentReading ParseAndFind(ExchangeBytes& file, ExchangeAnnotation& annotation, AnnotationBytes& taken, bool& unreadable)
{
    KeptBytes kept(file);
    NoEntitiesReader reader;
    SecurityManager security;
    AnnotationFinder finder(reader, kept);
    ConfigureSafely(reader, security, finder);
    reader.parse(PassingSource(file, kept, unreadable));
    if (!unreadable && finder.Errors() == 0) PassRest(file, kept, unreadable);
    if (unreadable) return DocumentReading::Unreadable;
    if (finder.Errors() != 0) return DocumentReading::Malformed;
    const std::optional<AnnotationBytes> found = kept.Finish();
    if (!found) return DocumentReading::Malformed;
    if (!found->Empty()) annotation = std::move(finder.Annotation());
    taken = *found;
    return DocumentReading::Parsed;
}

// A document in memory, read as a file is; the kept bytes are not needed.
class MemoryBytes : public ExchangeBytes
{
public:
    explicit MemoryBytes(std::string_view bytes) : rest_(bytes) {}

    std::optional<std::size_t> Read(char* into, std::size_t capacity) override
    {
        const std::size_t count = std::min(capacity, rest_.size());
        if (count > 0) std::memcpy(into, rest_.data(), count);
        rest_.remove_prefix(count);
        return count;
    }
    void Keep(std::string_view) override {}

private:
    std::string_view rest_;
};

// The bytes already read from a file, handed to the parser again before the rest
// of the file; what stays goes to the file.
class ReplayedBytes : public ExchangeBytes
{
public:
    ReplayedBytes(ExchangeBytes& file, std::string_view read) : file_(file), replay_(read) {}

    std::optional<std::size_t> Read(char* into, std::size_t capacity) override
    {
        if (replay_.empty()) return file_.Read(into, capacity);
        const std::size_t count = std::min(capacity, replay_.size());
        std::memcpy(into, replay_.data(), count);
        replay_.remove_prefix(count);
        return count;
    }
    void Keep(std::string_view bytes) override { file_.Keep(bytes); }

private:
    ExchangeBytes& file_;
    std::string_view replay_;
};

// The exchange file scanned piece by piece: the bytes that stay go on to the file
// as soon as the scan is done with them, so only the piece at hand is held.
class StreamedScan
{
public:
    enum class Outcome
    {
        Scanned,
        LeftToParser,
        Unreadable
    };

    explicit StreamedScan(ExchangeBytes& file) : file_(file) {}

    Outcome Run()
    {
        for (;;)
        {
            if (!ReadMore()) return Outcome::Unreadable;
            const PlainDocumentScan::Step step = scan_.Resume(window_, final_);
            if (step == PlainDocumentScan::Step::LeftToParser) return Outcome::LeftToParser;
            if (step == PlainDocumentScan::Step::Done)
            {
                Pass(windowBegin_ + window_.size());
                return Outcome::Scanned;
            }
            Pass(scan_.HeldFrom());
        }
    }

    ScannedDocument& Result() { return scan_.Result(); }
    // Every byte read so far, while none has been let go.
    std::optional<std::string_view> AllRead() const
    {
        if (windowBegin_ != 0) return std::nullopt;
        return std::string_view(window_);
    }

private:
    // Small enough to stay in the cache while it is scanned and passed on.
    static constexpr std::size_t ChunkSize = 256 * 1024;

    // A chunk more, or as much as is held when an item outgrew its piece: a long
    // item is read again only a few times.
    bool ReadMore()
    {
        const std::size_t filled = window_.size();
        const std::size_t wanted = std::max(ChunkSize, filled);
        window_.resize(filled + wanted);
        std::size_t got = 0;
        while (got < wanted)
        {
            const std::optional<std::size_t> read = file_.Read(&window_[filled + got], wanted - got);
            if (!read) return false;
            if (*read == 0)
            {
                final_ = true;
                break;
            }
            got += *read;
        }
        window_.resize(filled + got);
        return true;
    }

    // Hands on the bytes before `upTo` but the taken annotation's, and lets them go.
    void Pass(std::size_t upTo)
    {
        const AnnotationBytes& taken = scan_.Result().taken;
        if (taken.Empty())
        {
            KeepRange(windowBegin_, upTo);
        }
        else
        {
            KeepRange(windowBegin_, std::min(upTo, taken.begin));
            KeepRange(std::max(windowBegin_, taken.end), upTo);
        }
        window_.erase(0, upTo - windowBegin_);
        windowBegin_ = upTo;
    }

    void KeepRange(std::size_t from, std::size_t to)
    {
        if (from < to) file_.Keep(std::string_view(window_).substr(from - windowBegin_, to - from));
    }

    ExchangeBytes& file_;
    PlainDocumentScan scan_;
    std::string window_;
    std::size_t windowBegin_ = 0;
    bool final_ = false;
};

// A document in memory: the plain form is found by the scanner, anything else by the parser.
DocumentReading ScanOrParse(std::string_view bytes, ExchangeAnnotation& annotation, AnnotationBytes& taken)
{
    std::optional<ScannedDocument> scanned = ScanPlainDocument(bytes);
    if (!scanned)
    {
        MemoryBytes file(bytes);
        return ParseFirstAnnotation(file, annotation, taken);
    }
    if (!scanned->taken.Empty()) annotation = std::move(scanned->annotation);
    taken = scanned->taken;
    return DocumentReading::Parsed;
}

}  // namespace

DocumentReading ParseFirstAnnotation(ExchangeBytes& file, ExchangeAnnotation& annotation, AnnotationBytes& taken)
{
    bool unreadable = false;
    try
    {
        // The same guard as the E57 reader's: Xerces starts once for both.
        const e57::XercesGuard xml;
        return ParseAndFind(file, annotation, taken, unreadable);
    }
    catch (...)
    {
        // Whatever the parser throws ends here: nothing is taken and the file stays.
        return unreadable ? DocumentReading::Unreadable : DocumentReading::Malformed;
    }
}

DocumentReading FindFirstAnnotation(ExchangeBytes& file, ExchangeAnnotation& annotation, AnnotationBytes& taken)
{
    StreamedScan scan(file);
    switch (scan.Run())
    {
        case StreamedScan::Outcome::Scanned:
            if (!scan.Result().taken.Empty()) annotation = std::move(scan.Result().annotation);
            taken = scan.Result().taken;
            return DocumentReading::Parsed;
        case StreamedScan::Outcome::Unreadable: return DocumentReading::Unreadable;
        case StreamedScan::Outcome::LeftToParser: break;
    }
    // Anything beyond the plain form is the parser's to judge, from the file's first byte.
    if (const std::optional<std::string_view> read = scan.AllRead())
    {
        ReplayedBytes replayed(file, *read);
        return ParseFirstAnnotation(replayed, annotation, taken);
    }
    if (!file.Restart()) return DocumentReading::Unreadable;
    return ParseFirstAnnotation(file, annotation, taken);
}

bool FindFirstAnnotation(std::string_view bytes, ExchangeAnnotation& annotation, AnnotationBytes& taken)
{
    return ScanOrParse(bytes, annotation, taken) == DocumentReading::Parsed;
}
