// The exchange document read as a stream in chunks of any size: the bytes that stay
// are handed on in order, each once, and the taken annotation's bytes never.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "exchange/ExchangeDocument.hpp"

namespace
{

// Hands the document on in chunks of `chunk` bytes, failing after `failAfter` bytes
// when given, and gathers what is kept.
class ChunkedBytes : public ExchangeBytes
{
public:
    ChunkedBytes(std::string document, std::size_t chunk, std::optional<std::size_t> failAfter = std::nullopt)
        : document_(std::move(document)), chunk_(chunk), failAfter_(failAfter)
    {}

    std::optional<std::size_t> Read(char* into, std::size_t capacity) override
    {
        if (failAfter_ && at_ >= *failAfter_) return std::nullopt;
        const std::size_t count = std::min({capacity, chunk_, document_.size() - at_});
        std::memcpy(into, document_.data() + at_, count);
        at_ += count;
        return count;
    }
    void Keep(std::string_view bytes) override { kept_.append(bytes); }

    const std::string& Kept() const { return kept_; }

private:
    std::string document_;
    std::size_t chunk_;
    std::optional<std::size_t> failAfter_;
    std::size_t at_ = 0;
    std::string kept_;
};

std::string Utf16Le(const std::string& ascii)
{
    std::string bytes = "\xFF\xFE";
    for (const char c : ascii) bytes += std::string {c, '\0'};
    return bytes;
}

const std::string Point = "<Element type=\"point\" uuid=\"a\"><Point3d>1 2 3 0</Point3d><Origin3d>4 5 0 0</Origin3d></Element>";

struct StreamCase
{
    const char* label;
    std::string document;
    std::string kept;
    std::size_t takenPoints;
};

std::vector<StreamCase> StreamCases()
{
    const std::string head = "<?xml version=\"1.0\"?>\n<!-- <Annotation> -->\n<X>\n <Kopf a='1'/>\n ";
    const std::string taken = "<Annotation >" + Point + "</Annotation\n>";
    const std::string tail = "\n <Annotation>" + Point + "</Annotation>\n</X>\n<!-- Ende -->\n";
    const std::string empty = "<Annotation></Annotation>";
    return {
        {"first annotation taken", head + taken + tail, head + tail, 1},
        {"empty first annotation stays", head + empty + tail, head + empty + tail, 0},
        {"no annotation", head + "<Note/></X>", head + "<Note/></X>", 0},
        {"annotation at the document's end", "<X>" + taken + "</X>", "<X></X>", 1},
        {"UTF-16LE", Utf16Le("<?xml version=\"1.0\" encoding=\"UTF-16\"?><X> " + taken + " </X>"),
         Utf16Le("<?xml version=\"1.0\" encoding=\"UTF-16\"?><X>  </X>"), 1},
    };
}

TEST(ExchangeStream, KeepsEveryByteButTheTakenAnnotationWhateverTheChunks)
{
    for (const StreamCase& c : StreamCases())
    {
        for (const std::size_t chunk :
             {std::size_t {1}, std::size_t {2}, std::size_t {7}, std::size_t {64}, std::size_t {1} << 20})
        {
            SCOPED_TRACE(std::string(c.label) + ", chunks of " + std::to_string(chunk));
            ChunkedBytes file(c.document, chunk);
            ExchangeAnnotation annotation;
            AnnotationBytes taken;
            ASSERT_EQ(FindFirstAnnotation(file, annotation, taken), DocumentReading::Parsed);
            EXPECT_EQ(file.Kept(), c.kept);
            EXPECT_EQ(c.document.size() - (taken.end - taken.begin), c.kept.size());
            ASSERT_EQ(annotation.points.size(), c.takenPoints);
            if (c.takenPoints > 0)
            {
                EXPECT_EQ(annotation.points[0].point3d, "1 2 3 0");
            }
        }
    }
}

TEST(ExchangeStream, TellsAFileThatCannotBeReadFromOneThatDoesNotParse)
{
    const std::string document = "<X><Annotation>" + Point + "</Annotation><Y/></X>";
    struct Case
    {
        const char* label;
        std::string document;
        std::optional<std::size_t> failAfter;
        DocumentReading expected;
    };
    const Case cases[] = {
        {"read fails before the annotation", document, 2, DocumentReading::Unreadable},
        {"read fails after the annotation", document, document.size() - 3, DocumentReading::Unreadable},
        {"read fails at the very end", document, document.size(), DocumentReading::Unreadable},
        {"end tag missing", document.substr(0, document.size() - 4), std::nullopt, DocumentReading::Malformed},
        {"annotation never closed", "<X><Annotation>" + Point, std::nullopt, DocumentReading::Malformed},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.label);
        ChunkedBytes file(c.document, 5, c.failAfter);
        ExchangeAnnotation annotation;
        AnnotationBytes taken;
        EXPECT_EQ(FindFirstAnnotation(file, annotation, taken), c.expected);
        EXPECT_TRUE(annotation.points.empty());
        EXPECT_TRUE(taken.Empty());
    }
}

}  // namespace

// Whatever the parser's configuration, a document that declares an entity is
// refused even when nothing uses it, and a DTD's other declarations are still read
// and checked.
TEST(ExchangeStream, RefusesEveryEntityDeclarationAndChecksTheDtd)
{
    const std::string body = "<X><Annotation>" + Point + "</Annotation></X>";
    struct Case
    {
        const char* label;
        std::string doctype;
        bool parsed;
    };
    const Case cases[] = {
        {"no doctype", "", true},
        {"element declaration", "<!DOCTYPE X [<!ELEMENT X ANY>]>", true},
        {"attribute list", "<!DOCTYPE X [<!ATTLIST X a CDATA #IMPLIED>]>", true},
        {"general entity, unused", "<!DOCTYPE X [<!ENTITY e \"text\">]>", false},
        {"parameter entity, unused", "<!DOCTYPE X [<!ENTITY % p \"text\">]>", false},
        {"external entity, unused", "<!DOCTYPE X [<!ENTITY e SYSTEM \"file:///etc/hostname\">]>", false},
        {"broken declaration", "<!DOCTYPE X [<!ELEMENT X>]>", false},
        {"unclosed internal subset", "<!DOCTYPE X [<!ELEMENT X ANY>", false},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.label);
        ExchangeAnnotation annotation;
        AnnotationBytes taken;
        EXPECT_EQ(FindFirstAnnotation(c.doctype + body, annotation, taken), c.parsed);
        EXPECT_EQ(taken.Empty(), !c.parsed);
    }
}
