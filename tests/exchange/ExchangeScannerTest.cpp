// The fast scanner of plain exchange documents against the full XML parser: the
// scanner may leave any document to the parser, but a document it takes must parse,
// and give the same points, the same taken bytes and the same kept bytes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "e57/XercesGuard.hpp"
#include "exchange/ExchangeDocument.hpp"
#include "exchange/ExchangeScanner.hpp"

namespace
{

class DocumentBytes : public ExchangeBytes
{
public:
    explicit DocumentBytes(std::string document) : document_(std::move(document)) {}

    std::optional<std::size_t> Read(char* into, std::size_t capacity) override
    {
        const std::size_t count = std::min({capacity, std::size_t {4096}, document_.size() - at_});
        std::memcpy(into, document_.data() + at_, count);
        at_ += count;
        return count;
    }
    void Keep(std::string_view bytes) override { kept_.append(bytes); }
    bool Restart() override
    {
        at_ = 0;
        kept_.clear();
        ++restarts_;
        return true;
    }

    const std::string& Kept() const { return kept_; }
    int Restarts() const { return restarts_; }

private:
    std::string document_;
    std::size_t at_ = 0;
    std::string kept_;
    int restarts_ = 0;
};

// Everything a reading tells, as one text, so that two readings compare at a glance.
std::string Outcome(DocumentReading reading, const std::string& kept, const ExchangeAnnotation& annotation,
                    const AnnotationBytes& taken)
{
    if (reading != DocumentReading::Parsed) return "not parsed";
    std::string told = "taken " + std::to_string(taken.begin) + "-" + std::to_string(taken.end) + "; point seen " +
                       std::to_string(annotation.pointSeen) + ", origin seen " + std::to_string(annotation.originSeen);
    for (const ExchangePoint& point : annotation.points)
        told += "; [" + point.id.ToUtf8() + "|" + point.point3d + "|" + point.origin3d + "]";
    return told + "; kept: " + kept;
}

std::string ParsedByParser(const std::string& document)
{
    DocumentBytes file(document);
    ExchangeAnnotation annotation;
    AnnotationBytes taken;
    const DocumentReading reading = ParseFirstAnnotation(file, annotation, taken);
    return Outcome(reading, file.Kept(), annotation, taken);
}

// The reading the import does: the scanner where it can, the parser otherwise.
std::string ReadAsImported(const std::string& document)
{
    DocumentBytes file(document);
    ExchangeAnnotation annotation;
    AnnotationBytes taken;
    const DocumentReading reading = FindFirstAnnotation(file, annotation, taken);
    return Outcome(reading, file.Kept(), annotation, taken);
}

const std::string Point = "<Element type=\"point\" uuid=\"p\"><Point3d>1 2 3 0</Point3d><Origin3d>4 5 0 0</Origin3d></Element>";

std::string InAnnotation(const std::string& content) { return "<X><Annotation>" + content + "</Annotation></X>"; }

std::string Nested(int levels, const std::string& innermost)
{
    std::string nest = innermost;
    for (int i = 0; i < levels; ++i) nest = "<n>" + nest + "</n>";
    return nest;
}

std::string Repeated(const std::string& text, int times)
{
    std::string out;
    for (int i = 0; i < times; ++i) out += text;
    return out;
}

enum class Expect
{
    Scanned,
    LeftToParser,
    Malformed
};

struct DocumentCase
{
    const char* label;
    std::string document;
    Expect expect;
};

std::vector<DocumentCase> DocumentCases()
{
    const std::string annotation = "<Annotation>" + Point + "</Annotation>";
    return {
        // What PointCab writes, and the plain variations of it.
        {"as PointCab writes",
         "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<PointCabExchange>\n  " + annotation + "\n  " + annotation +
             "\n</PointCabExchange>\n",
         Expect::Scanned},
        {"declaration in single quotes, spaced, standalone",
         "<?xml version = '1.0' encoding='utf-8' standalone='no' ?><X>" + annotation + "</X>", Expect::Scanned},
        {"no declaration, comments around", "<!-- a -->\r\n<X a='1' b=\"2\">" + annotation + "</X>\n<!--->-->\n",
         Expect::Scanned},
        {"comment alone in the annotation", "<X><Annotation><!-- c --></Annotation>" + annotation + "</X>", Expect::Scanned},
        {"blank alone in the annotation", "<X><Annotation> </Annotation>" + annotation + "</X>", Expect::Scanned},
        {"empty annotation stays", "<X><Annotation/>" + annotation + "</X>", Expect::Scanned},
        {"empty annotation with end tag stays", "<X><Annotation a='1'></Annotation >" + annotation + "</X>", Expect::Scanned},
        {"annotation below another element", "<X><Y>" + annotation + "</Y>" + annotation + "</X>", Expect::Scanned},
        {"the document element itself is no annotation", annotation, Expect::Scanned},
        {"no annotation", "<X><Note>a &amp; b</Note></X>", Expect::Scanned},
        {"text in CDATA and across children",
         InAnnotation("<Element type='point' uuid='c'><Point3d><![CDATA[1 2]]> <b>3</b><!--x--> 0</Point3d>"
                      "<Origin3d><![CDATA[]]>4 5 0 0</Origin3d></Element>"),
         Expect::Scanned},
        {"last text of a kind counts, deeper ones do not",
         InAnnotation("<Element type='point'><Point3d>1 1 1 0</Point3d><Point3d>2 2 2 0</Point3d><x><Origin3d>9</Origin3d></x>"
                      "</Element>"),
         Expect::Scanned},
        {"references and white space in values",
         InAnnotation("<Element type=\"&#112;oint\" uuid=\"a&amp;b&#x9;c&#10;d\t\te\r\nf\rg&lt;&gt;&apos;&quot;\">"
                      "<Point3d>1&#x20;2\r\n3\r4</Point3d><Origin3d>&#53; 6 0 0</Origin3d></Element>"),
         Expect::Scanned},
        {"characters beyond ASCII",
         InAnnotation("<Element type='point' uuid='Größe-€-\xF0\x9D\x84\x9E-&#xA0;&#x10FFFF;'><Point3d>1 2 3 \xC2\xA0</Point3d>"
                      "<Origin3d>4 5 0 0 &#x1D11E;</Origin3d></Element>"),
         Expect::Scanned},
        {"non-characters the parser takes", "<X a='\xEF\xB7\x90'>\xF0\x9F\xBF\xBE&#xFDEF;" + annotation + "</X>",
         Expect::Scanned},
        {"points not named or typed so", InAnnotation("<Element type='Point'/><element type='point'/><Element/>" + Point),
         Expect::Scanned},
        {"origin outside a point",
         InAnnotation("<Element type='line'><Origin3d>1 2 0 0</Origin3d></Element>"
                      "<Element type='point'><Point3d>1 2 3 0</Point3d></Element>"),
         Expect::Scanned},
        {"brackets and greater-than in text and values", "<X a='] > ]]'>]>] ]]" + annotation + "</X>", Expect::Scanned},
        {"many predefined references", "<X><Note>" + Repeated("&amp;", 12000) + "</Note>" + annotation + "</X>", Expect::Scanned},
        {"deepest level allowed", "<X>" + annotation + Nested(255, "") + "</X>", Expect::Scanned},

        // Well-formed, but beyond the plain form.
        {"byte-order mark", "\xEF\xBB\xBF<X>" + annotation + "</X>", Expect::LeftToParser},
        {"doctype", "<!DOCTYPE X><X>" + annotation + "</X>", Expect::LeftToParser},
        {"instruction", "<X><?pi keep?>" + annotation + "</X>", Expect::LeftToParser},
        {"name with a colon", "<X><a:b/>" + annotation + "</X>", Expect::LeftToParser},
        {"name beyond ASCII", "<X><Größe/>" + annotation + "</X>", Expect::LeftToParser},
        {"other encoding declared", "<?xml version='1.0' encoding='ISO-8859-1'?><X>" + annotation + "</X>", Expect::LeftToParser},
        {"version 1.1", "<?xml version='1.1'?><X>" + annotation + "</X>", Expect::LeftToParser},
        {"UTF-16", std::string("\xFF\xFE<\0X\0/\0>\0", 10), Expect::LeftToParser},
        {"next line character",
         "<X>a\xC2\x85"
         "b" +
             annotation + "</X>",
         Expect::LeftToParser},
        {"line separator",
         "<X>a\xE2\x80\xA8"
         "b" +
             annotation + "</X>",
         Expect::LeftToParser},
        {"delete character",
         "<X>a\x7F"
         "b" +
             annotation + "</X>",
         Expect::LeftToParser},
        {"long character reference", "<X>&#0000000065;" + annotation + "</X>", Expect::LeftToParser},
        {"sequence cut at the very end, which the parser lets pass", "<X>" + annotation + "</X>\xE2\x82", Expect::LeftToParser},
        {"many attributes",
         "<X" +
             [] {
                 std::string attributes;
                 for (int i = 0; i < 65; ++i) attributes += " a" + std::to_string(i) + "='1'";
                 return attributes;
             }() +
             ">" + annotation + "</X>",
         Expect::LeftToParser},

        // Not well-formed: the parser refuses them.
        {"empty document", "", Expect::Malformed},
        {"lone continuation byte", "<X>\x80" + annotation + "</X>", Expect::Malformed},
        {"overlong slash", "<X>\xC0\xAF" + annotation + "</X>", Expect::Malformed},
        {"encoded surrogate", "<X>\xED\xA0\x80" + annotation + "</X>", Expect::Malformed},
        {"byte beyond UTF-8", "<X>\xF5\x80\x80\x80" + annotation + "</X>", Expect::Malformed},
        {"non-character FFFE", "<X>\xEF\xBF\xBE" + annotation + "</X>", Expect::Malformed},
        {"control character", "<X>\x01" + annotation + "</X>", Expect::Malformed},
        {"null byte", std::string("<X>\0", 4) + annotation + "</X>", Expect::Malformed},
        {"reference to null", "<X>&#0;" + annotation + "</X>", Expect::Malformed},
        {"reference to a surrogate", "<X a='&#xD800;'>" + annotation + "</X>", Expect::Malformed},
        {"reference beyond Unicode", "<X>&#x110000;" + annotation + "</X>", Expect::Malformed},
        {"reference with capital X", "<X>&#X41;" + annotation + "</X>", Expect::Malformed},
        {"reference without digits", "<X>&#;" + annotation + "</X>", Expect::Malformed},
        {"undeclared entity", "<X>&nbsp;" + annotation + "</X>", Expect::Malformed},
        {"reference without semicolon", "<X>&amp " + annotation + "</X>", Expect::Malformed},
        {"bare ampersand in a value", "<X a='a & b'>" + annotation + "</X>", Expect::Malformed},
        {"less-than in a value", "<X a='a < b'>" + annotation + "</X>", Expect::Malformed},
        {"duplicate attribute", "<X a='1' a='2'>" + annotation + "</X>", Expect::Malformed},
        {"attributes without space", "<X a='1'b='2'>" + annotation + "</X>", Expect::Malformed},
        {"unquoted value", "<X a=1>" + annotation + "</X>", Expect::Malformed},
        {"CDATA end in text", "<X>a ]]> b" + annotation + "</X>", Expect::Malformed},
        {"end tag not matching", "<X>" + annotation + "<a></b></X>", Expect::Malformed},
        {"end tag without element", "<X>" + annotation + "</X></X>", Expect::Malformed},
        {"document element never closed", "<X>" + annotation, Expect::Malformed},
        {"annotation never closed", "<X><Annotation>" + Point, Expect::Malformed},
        {"text behind the document element", "<X>" + annotation + "</X>text", Expect::Malformed},
        {"second document element", "<X>" + annotation + "</X><Y/>", Expect::Malformed},
        {"text before the document element", "text<X>" + annotation + "</X>", Expect::Malformed},
        {"double hyphen in a comment", "<X><!-- a -- b -->" + annotation + "</X>", Expect::Malformed},
        {"comment ending in a hyphen", "<X><!-- a --->" + annotation + "</X>", Expect::Malformed},
        {"declaration not at the start", "\n<?xml version='1.0'?><X>" + annotation + "</X>", Expect::Malformed},
        {"declaration without version", "<?xml encoding='UTF-8'?><X>" + annotation + "</X>", Expect::Malformed},
        {"end of an empty-element tag as text", "<X>" + annotation + "<a>/></X>", Expect::Malformed},
        {"space in an empty-element tag", "<X>" + annotation + "<a / ></X>", Expect::Malformed},
        {"element below the deepest level", "<X>" + annotation + Nested(256, "") + "</X>", Expect::Malformed},
        {"text below the deepest level", "<X>" + annotation + Nested(255, " ") + "</X>", Expect::Malformed},
        {"comment below the deepest level", "<X>" + annotation + Nested(255, "<!---->") + "</X>", Expect::Malformed},
    };
}

class ExchangeScanner : public ::testing::Test
{
protected:
    // Xerces stays started for the whole test rather than once per document.
    e57::XercesGuard xml_;
};

TEST_F(ExchangeScanner, TakesPlainDocumentsAsTheParserDoesAndLeavesTheRestToIt)
{
    for (const DocumentCase& c : DocumentCases())
    {
        SCOPED_TRACE(c.label);
        const bool scanned = ScanPlainDocument(c.document).has_value();
        const std::string parsed = ParsedByParser(c.document);
        EXPECT_EQ(scanned, c.expect == Expect::Scanned);
        EXPECT_EQ(parsed == "not parsed", c.expect == Expect::Malformed) << parsed;
        EXPECT_EQ(ReadAsImported(c.document), parsed);
    }
}

// What the parser finds in the plain documents, worked out by hand: the scanner must
// find the same, which the comparison above checks once these hold.
TEST_F(ExchangeScanner, FindsTheTextsAndIdsAsWritten)
{
    struct Case
    {
        const char* label;
        std::string id, point3d, origin3d;
    };
    const Case cases[] = {
        {"references and white space in values", "a&b\tc\nd  e f g<>'\"", "1 2\n3\n4", "5 6 0 0"},
        {"text in CDATA and across children", "c", "1 2 3 0", "4 5 0 0"},
        {"last text of a kind counts, deeper ones do not", "", "2 2 2 0", ""},
        {"characters beyond ASCII", "Größe-€-\xF0\x9D\x84\x9E-\xC2\xA0\xF4\x8F\xBF\xBF", "1 2 3 \xC2\xA0",
         "4 5 0 0 \xF0\x9D\x84\x9E"},
    };
    const std::vector<DocumentCase> documents = DocumentCases();
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.label);
        const auto document = std::find_if(documents.begin(), documents.end(),
                                           [&](const DocumentCase& d) { return d.label == std::string(c.label); });
        ASSERT_NE(document, documents.end());
        const std::optional<ScannedDocument> scanned = ScanPlainDocument(document->document);
        ASSERT_TRUE(scanned.has_value());
        ASSERT_EQ(scanned->annotation.points.size(), 1u);
        const ExchangePoint& point = scanned->annotation.points[0];
        EXPECT_EQ(point.id.ToUtf8(), c.id);
        EXPECT_EQ(point.point3d, c.point3d);
        EXPECT_EQ(point.origin3d, c.origin3d);
    }
}

// Documents far larger than the pieces the import scans at once: whatever item
// crosses the border of two pieces (the annotation, a text with references and line
// ends, a comment, a CDATA section, a tag with long values), the result is the
// parser's; and a document that leaves the plain form only far behind its start is
// read again from its first byte by the parser.
TEST_F(ExchangeScanner, ReadsLargeDocumentsPieceByPieceAsTheParserDoes)
{
    const std::string annotation = "<Annotation>" + Point + "</Annotation>";
    const std::string items[] = {
        annotation,
        "<Note>a&amp;b&#x20AC;\r\nc\r\xC3\xA4]]]" + std::string(300, 'x') + "</Note>",
        "<!--" + std::string(70000, '-' + 1) + "-->",
        "<![CDATA[" + std::string(70000, 'c') + "]]>",
        "<Kopf a='" + std::string(600, 'v') + "' b=\"&lt;\r\n\"/>",
        "<?late instruction?>",
    };
    const std::string filler = "<Kopf a=\"1\">Text &amp; mehr</Kopf>\n";
    for (const std::string& item : items)
    {
        for (const std::size_t before : {std::size_t {100}, std::size_t {262100}, std::size_t {262130}, std::size_t {262150},
                                         std::size_t {300000}, std::size_t {530000}})
        {
            std::string document = "<?xml version=\"1.0\"?>\n<X>";
            while (document.size() + filler.size() < before) document += filler;
            document += std::string(before - document.size(), ' ') + item + annotation;
            for (int i = 0; i < 2000; ++i) document += filler;
            document += "</X>\n";
            SCOPED_TRACE(item.substr(0, 20) + " at " + std::to_string(before));
            DocumentBytes file(document);
            ExchangeAnnotation annotationRead;
            AnnotationBytes taken;
            const DocumentReading reading = FindFirstAnnotation(file, annotationRead, taken);
            const std::string imported = Outcome(reading, file.Kept(), annotationRead, taken);
            EXPECT_EQ(imported, ParsedByParser(document));
            EXPECT_EQ(reading, DocumentReading::Parsed);
            EXPECT_LE(file.Restarts(), item[1] == '?' ? 1 : 0);
        }
    }
}

// Small changes to plain documents, many of them no longer well-formed: whatever
// the scanner takes, the parser takes the same way.
TEST_F(ExchangeScanner, AgreesWithTheParserOnChangedDocuments)
{
    const std::vector<std::string> tokens = {"<",
                                             ">",
                                             "&",
                                             ";",
                                             "\"",
                                             "'",
                                             "/",
                                             "!",
                                             "-",
                                             "]",
                                             "=",
                                             "?",
                                             "#",
                                             "x",
                                             " ",
                                             "\r",
                                             "\t",
                                             "\n",
                                             "a",
                                             ":",
                                             "&amp;",
                                             "&#x",
                                             "&#65;",
                                             "<!--",
                                             "-->",
                                             "]]>",
                                             "<![CDATA[",
                                             "</",
                                             "/>",
                                             "<a>",
                                             "</a>",
                                             "<Annotation>",
                                             "</Annotation>",
                                             "<Element type='point'>",
                                             "</Element>",
                                             "<Point3d>",
                                             "</Point3d>",
                                             "\xC3\xA4",
                                             "\xC3",
                                             "\x80",
                                             "\xEF\xBF\xBE",
                                             "\xC2\x85",
                                             "\xF0\x9D\x84\x9E",
                                             "&#0;",
                                             std::string(1, '\0'),
                                             "\x01",
                                             "<?x?>",
                                             "<X>",
                                             "</X>",
                                             "<a/>",
                                             "<a>/>"};
    std::vector<std::string> seeds;
    for (const DocumentCase& c : DocumentCases())
        if (c.expect == Expect::Scanned && c.document.size() < 4096) seeds.push_back(c.document);
    std::mt19937 random(20261211);
    const auto pick = [&random](std::size_t count) { return std::uniform_int_distribution<std::size_t>(0, count - 1)(random); };
    int taken = 0, left = 0;
    for (int round = 0; round < 3000; ++round)
    {
        std::string document = seeds[pick(seeds.size())];
        for (std::size_t changes = 1 + pick(2); changes > 0; --changes)
        {
            const std::size_t at = pick(document.size() + 1);
            const std::string token =
                round % 7 == 0 && document.size() > at ? std::string(1, document[at]) : tokens[pick(tokens.size())];
            switch (pick(3))
            {
                case 0: document.insert(at, token); break;
                case 1: document.replace(at, std::min<std::size_t>(1 + pick(4), document.size() - at), token); break;
                default: document.erase(at, std::min<std::size_t>(1 + pick(8), document.size() - at)); break;
            }
        }
        if (!ScanPlainDocument(document))
        {
            ++left;
            continue;
        }
        ++taken;
        const std::string parsed = ParsedByParser(document);
        ASSERT_NE(parsed, "not parsed") << "taken by the scanner only: " << document;
        ASSERT_EQ(ReadAsImported(document), parsed) << document;
    }
    EXPECT_GT(taken, 0);
    EXPECT_GT(left, 0);
}

}  // namespace
