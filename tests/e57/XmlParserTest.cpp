#include <gtest/gtest.h>

#include <xercesc/util/PlatformUtils.hpp>

#include <limits>
#include <string>

#include "E57TestWriter.hpp"
#include "ScanData.hpp"
#include "TestFiles.hpp"
#include "e57/FloatNode.hpp"
#include "e57/IntegerNode.hpp"
#include "e57/ScaledIntegerNode.hpp"
#include "e57/StringNode.hpp"
#include "e57/XercesGuard.hpp"

namespace
{

std::string xmlFile(const std::string& name, const std::string& body)
{
    const std::string path = e57test::scratchPath(name);
    e57test::E57TestWriter::writeXmlOnly(path,
                                         "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                         "<e57Root type=\"Structure\" xmlns=\"http://www.astm.org/COMMIT/E57/2010-e57-v1.0\">" +
                                             body + "</e57Root>");
    return path;
}

e57::ErrorCode openFailure(const std::string& path)
{
    try
    {
        e57::ImageFile file(path);
    }
    catch (const e57::E57Exception& error)
    {
        return error.code();
    }
    return e57::ErrorCode::BadArgument;
}

TEST(XmlParser, ReadsTerminalValuesAndDefaults)
{
    const e57::ImageFile file(xmlFile("values.e57",
                                      "<a type=\"Integer\"/><b type=\"Integer\" minimum=\"-3\">-2</b>"
                                      "<c type=\"Float\"> 1.5e+003 </c><d type=\"Float\">-1.8e308</d>"
                                      "<e type=\"ScaledInteger\" scale=\"0.5\" offset=\"1\">4</e>"
                                      "<f type=\"String\"><![CDATA[x<y]]></f><g type=\"Vector\"><v type=\"Integer\">9</v></g>"));
    const auto root = file.root();
    EXPECT_EQ(e57::IntegerNode(root.get("a")).value(), 0);
    EXPECT_EQ(e57::IntegerNode(root.get("/b")).value(), -2);
    EXPECT_EQ(e57::IntegerNode(root.get("b")).minimum(), -3);
    EXPECT_EQ(e57::FloatNode(root.get("c")).value(), 1500.0);
    EXPECT_EQ(e57::FloatNode(root.get("d")).value(), -std::numeric_limits<double>::infinity());
    EXPECT_EQ(e57::ScaledIntegerNode(root.get("e")).scaledValue(), 3.0);
    EXPECT_EQ(e57::StringNode(root.get("f")).value(), "x<y");
    EXPECT_EQ(e57::IntegerNode(root.get("g/0")).value(), 9);
    EXPECT_EQ(root.get("g/0").pathName(), "/g/0");
    EXPECT_FALSE(root.isDefined("g/1"));
    EXPECT_FALSE(root.isDefined("a/b"));
    EXPECT_THROW(e57::FloatNode(root.get("a")), e57::E57Exception);
}

TEST(XmlParser, RefusesWhatCouldReachOutside)
{
    EXPECT_EQ(openFailure(xmlFile("entity.e57", "<a type=\"String\">&ext;</a>")), e57::ErrorCode::BadXml);
    const std::string path = e57test::scratchPath("doctype.e57");
    e57test::E57TestWriter::writeXmlOnly(path, "<?xml version=\"1.0\"?>\n<!DOCTYPE e57Root SYSTEM \"http://localhost:1/x.dtd\">\n"
                                               "<e57Root type=\"Structure\"/>");
    EXPECT_EQ(openFailure(path), e57::ErrorCode::BadXml);
    EXPECT_EQ(openFailure(xmlFile("deep.e57", std::string(300 * 30, ' ')
                                                  .replace(0, 0,
                                                           [] {
                                                               std::string deep;
                                                               for (int i = 0; i < 300; ++i) deep += "<s type=\"Structure\">";
                                                               for (int i = 0; i < 300; ++i) deep += "</s>";
                                                               return deep;
                                                           }()))),
              e57::ErrorCode::BadXml);
}

TEST(XmlParser, LeavesXercesAsOtherCodeSetItUp)
{
    xercesc::XMLPlatformUtils::Initialize();
    {
        const e57::ImageFile file(e57test::samplePath("empty.e57"));
        EXPECT_EQ(e57::XercesGuard::activeGuards(), 0);
    }
    // Still initialised for the other user: a second parse through the guard works too.
    const e57::ImageFile again(e57test::samplePath("tiny_pc_and_images.e57"));
    xercesc::XMLPlatformUtils::Terminate();
    const e57::ImageFile afterwards(e57test::samplePath("empty.e57"));
    EXPECT_EQ(e57::XercesGuard::activeGuards(), 0);
}

}  // namespace
