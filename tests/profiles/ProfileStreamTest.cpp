#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "StreamBytes.hpp"
#include "framework/CDataRecorder.hpp"
#include "profiles/SectionPalette.hpp"

namespace
{

using Bytes = std::vector<std::uint8_t>;

// One profile "A": a 2 m x 1 m rectangle of four vertices (its first not
// repeated), contour pen 1, fill pen 3, no background pen, fill 3, line type 1.
Bytes Golden(bool withAttributes)
{
    StreamBytes w;
    w.I32(1).Text(u"A").I32(1);
    w.I32(4).I32(1).I32(0);
    for (const auto& [x, y] : std::vector<std::pair<double, double>> {{0, 0}, {0, 0}, {2, 0}, {2, 1}, {0, 1}}) w.F64(x).F64(y);
    w.I32(1).I32(4);
    if (withAttributes) w.I16(1).I16(3).I16(0).I16(3).I16(1);
    return w.bytes;
}

bool ReadFrom(SectionPalette& palette, Bytes bytes, std::int32_t version, std::int64_t* bytesLeft = nullptr)
{
    return ::ReadFrom(
        std::move(bytes), [&](CDataRecorder& recorder) { return palette.ReadProfiles(recorder, version); }, bytesLeft);
}

Bytes WrittenBy(SectionPalette& palette)
{
    Bytes block(4096, 0xEE);
    CDataRecorder recorder(CDataRecorder::EncodingCodePage);
    recorder.SetMode(CDataRecorder::ModeMemory);
    recorder.SetMemory(block.data(), static_cast<std::int32_t>(block.size()));
    EXPECT_TRUE(palette.WriteProfiles(recorder));
    block.resize(static_cast<std::size_t>(recorder.GetPosition()));
    return block;
}

// A working polygon the stream must leave alone.
SectionPalette::SectionDataType Marker()
{
    SectionPalette::SectionDataType marker;
    marker.coords.Add(API_Coord {7, 7});
    marker.fillPen = 77;
    return marker;
}

void ExpectMarkerKept(const SectionPalette& palette)
{
    ASSERT_EQ(palette.currentPolygons.GetSize(), 1u);
    EXPECT_EQ(palette.currentPolygons[0].fillPen, 77);
    EXPECT_EQ(palette.currentPolygons[0].coords[0].x, 7.0);
}

const HatchObject& OnlyHatch(const VectorImage& image)
{
    ConstVectorImageIterator it(image);
    EXPECT_FALSE(it.IsEOI());
    EXPECT_EQ(it.GetItemType(), SyHatch);
    EXPECT_EQ(image.GetItemCount(), 1u);
    return it.GetHatchObject();
}

TEST(ProfileStream, GoldenBufferReadsIntoOneHatchAndWritesBackByteForByte)
{
    const Bytes golden = Golden(true);
    ASSERT_EQ(golden.size(), 124u);
    SectionPalette palette;
    palette.currentPolygons.Add(Marker());
    std::int64_t left = -1;
    ASSERT_TRUE(ReadFrom(palette, golden, 24, &left));
    EXPECT_EQ(left, 0);
    ExpectMarkerKept(palette);
    ASSERT_EQ(palette.profileNames.GetSize(), 1u);
    EXPECT_EQ(palette.profileNames[0], GS::UniString("A"));
    ASSERT_EQ(palette.profileImages.GetSize(), 1u);
    const HatchObject& hatch = OnlyHatch(palette.profileImages[0]);
    ASSERT_EQ(hatch.GetCoords().size(), 5u);
    EXPECT_EQ(hatch.GetCoords()[3].x, 2.0);
    EXPECT_EQ(hatch.GetCoords()[3].y, 1.0);
    EXPECT_EQ(hatch.GetSubPolyEnds(), (std::vector<std::uint32_t> {1, 4}));
    EXPECT_TRUE(hatch.GetArcs().empty());
    EXPECT_EQ(hatch.GetContPen().GetIndex(), 1);
    EXPECT_EQ(hatch.GetExtendedFillFgPen().GetIndex(), 3);
    EXPECT_EQ(hatch.GetFillBkgPen(), 0);
    EXPECT_EQ(hatch.GetFillIdx(), 3);
    EXPECT_EQ(hatch.GetContLType(), 1);

    EXPECT_EQ(WrittenBy(palette), golden);
    ExpectMarkerKept(palette);
}

TEST(ProfileStream, VersionTwentyThreeHasNoAttributesAndReadsWithTheDefaults)
{
    const Bytes old = Golden(false);
    ASSERT_EQ(old.size(), 114u);
    SectionPalette palette;
    std::int64_t left = -1;
    ASSERT_TRUE(ReadFrom(palette, old, 23, &left));
    EXPECT_EQ(left, 0);
    ASSERT_EQ(palette.profileImages.GetSize(), 1u);
    const HatchObject& hatch = OnlyHatch(palette.profileImages[0]);
    EXPECT_EQ(hatch.GetCoords().size(), 5u);
    const SectionPalette::SectionDataType defaults;
    EXPECT_EQ(hatch.GetContPen().GetIndex(), defaults.contourPen);
    EXPECT_EQ(hatch.GetExtendedFillFgPen().GetIndex(), defaults.fillPen);
    EXPECT_EQ(hatch.GetFillIdx(), defaults.fillPattern);
    // Written again, the polygon carries its attributes.
    EXPECT_EQ(WrittenBy(palette).size(), 124u);
}

SectionPalette::SectionDataType Polygon(std::vector<API_Coord> vertices, std::vector<int> ends, std::vector<API_PolyArc> arcs,
                                        std::int16_t fillPen)
{
    SectionPalette::SectionDataType polygon;
    polygon.coords.Add(API_Coord {});
    for (const API_Coord& c : vertices) polygon.coords.Add(c);
    polygon.ends.Add(0);
    for (const int end : ends) polygon.ends.Add(end);
    for (const API_PolyArc& arc : arcs) polygon.arcs.Add(arc);
    polygon.coordCount = static_cast<std::int32_t>(vertices.size());
    polygon.endCount = static_cast<std::int32_t>(ends.size());
    polygon.arcCount = static_cast<std::int32_t>(arcs.size());
    polygon.contourPen = 2;
    polygon.fillPen = fillPen;
    polygon.backgroundPen = 4;
    polygon.fillPattern = 3;
    polygon.contourLineType = 2;
    return polygon;
}

TEST(ProfileStream, ArcsAndTwoPolygonsSurviveLinesAndTextsDoNot)
{
    SectionPalette palette;
    palette.currentPolygons.Add(Polygon({{0, 0}, {2, 0}, {2, 1}, {0, 1}, {0, 0}}, {5}, {{3, 4, -0.5}, {1, 2, 0.25}}, 3));
    palette.currentPolygons.Add(
        Polygon({{3, 0}, {4, 0}, {4, 1}, {3, 0}, {3.2, 0.2}, {3.5, 0.2}, {3.2, 0.5}, {3.2, 0.2}}, {4, 8}, {{6, 7, 1.0}}, 5));
    VectorImage drawing;
    palette.PolygonsToImage(drawing);
    Sy_LinType line;
    line.endC = {1, 1};
    drawing.AddLine(line);
    Sy_RichTextType text;
    text.text = u"Profil";
    text.styles.push_back({1, 2.5, 1});
    drawing.AddRichText(text);
    palette.profileNames.Add(GS::UniString("Gesims"));
    palette.profileImages.Add(drawing);
    palette.profileNames.Add(GS::UniString("leer"));
    palette.profileImages.Add(VectorImage());
    palette.currentPolygons.Clear();
    palette.currentPolygons.Add(Marker());

    const Bytes written = WrittenBy(palette);
    SectionPalette reader;
    ASSERT_TRUE(ReadFrom(reader, written, 24));
    ASSERT_EQ(reader.profileNames.GetSize(), 2u);
    EXPECT_EQ(reader.profileNames[0], GS::UniString("Gesims"));
    EXPECT_EQ(reader.profileNames[1], GS::UniString("leer"));
    VectorImage hatchesOnly = drawing;
    hatchesOnly.DeleteItemsOfType(SyLine);
    hatchesOnly.DeleteItemsOfType(SyRichText);
    EXPECT_EQ(hatchesOnly.GetItemCount(), 2u);
    EXPECT_TRUE(reader.profileImages[0] == hatchesOnly);
    EXPECT_FALSE(reader.profileImages[0] == drawing);
    EXPECT_TRUE(reader.profileImages[1].IsEmpty());
    ExpectMarkerKept(palette);

    reader.ImageToPolygons(reader.profileImages[0]);
    ASSERT_EQ(reader.currentPolygons.GetSize(), 2u);
    const SectionPalette::SectionDataType& first = reader.currentPolygons[0];
    ASSERT_EQ(first.arcCount, 2);
    EXPECT_EQ(first.arcs[0].begIndex, 1);
    EXPECT_EQ(first.arcs[0].arcAngle, 0.25);
    EXPECT_EQ(first.arcs[1].begIndex, 3);
    EXPECT_EQ(first.arcs[1].endIndex, 4);
    EXPECT_EQ(first.arcs[1].arcAngle, -0.5);
    EXPECT_EQ(first.fillPen, 3);
    EXPECT_EQ(first.backgroundPen, 4);
    EXPECT_EQ(first.contourLineType, 2);
    const SectionPalette::SectionDataType& second = reader.currentPolygons[1];
    EXPECT_EQ(second.coordCount, 8);
    EXPECT_EQ(second.endCount, 2);
    EXPECT_EQ(second.ends[2], 8);
    EXPECT_EQ(second.arcCount, 1);
    EXPECT_EQ(second.fillPen, 5);
}

// A damaged stream reports failure, allocates nothing beyond its bytes and keeps
// every name with its own drawing; a damaged profile count keeps the list, and
// a profile cut short keeps its whole polygons.
struct DamagedCase
{
    const char* name;
    std::function<Bytes()> bytes;
    std::vector<std::string> namesKept;
};

Bytes Truncated(Bytes bytes, std::size_t cut)
{
    bytes.resize(bytes.size() - cut);
    return bytes;
}

Bytes TwoProfilesSecondCut()
{
    const Bytes one = Golden(true);
    Bytes both = one;
    both[0] = 2;
    Bytes second(one.begin() + 4, one.end());
    second[4] = 'B';
    both.insert(both.end(), second.begin(), second.end() - 30);
    return both;
}

// One profile of two triangles, the stream ending inside the second one's counts:
// the profile keeps its first triangle.
Bytes SecondPolygonCut()
{
    StreamBytes w;
    w.I32(1).Text(u"A").I32(2);
    w.I32(3).I32(1).I32(0);
    for (const double v : {0.0, 0.0, 0.0, 0.0, 1.0, 0.0, 0.0, 1.0}) w.F64(v);
    w.I32(0).I32(3);
    for (const std::int16_t attribute : {1, 1, 0, 1, 1}) w.I16(attribute);
    w.I32(3).I32(1);
    return w.bytes;
}

class DamagedStream : public ::testing::TestWithParam<DamagedCase>
{};

TEST_P(DamagedStream, FailsAndKeepsWholeProfilesOnly)
{
    SectionPalette palette;
    palette.profileNames.Add(GS::UniString("alt"));
    palette.profileImages.Add(VectorImage());
    palette.currentPolygons.Add(Marker());
    EXPECT_FALSE(ReadFrom(palette, GetParam().bytes(), 24));
    ASSERT_EQ(palette.profileNames.GetSize(), GetParam().namesKept.size());
    EXPECT_EQ(palette.profileImages.GetSize(), GetParam().namesKept.size());
    for (std::size_t i = 0; i < GetParam().namesKept.size(); ++i)
        EXPECT_EQ(palette.profileNames[static_cast<std::uint32_t>(i)].ToUtf8(), GetParam().namesKept[i]);
    ExpectMarkerKept(palette);
}

INSTANTIATE_TEST_SUITE_P(
    Profiles, DamagedStream,
    ::testing::Values(
        DamagedCase {"EmptyStream", [] { return Bytes {}; }, {"alt"}},
        DamagedCase {"ProfileCountBeyondTheBytes", [] { return StreamBytes().I32(0x7FFFFFFF).I32(0).bytes; }, {"alt"}},
        DamagedCase {
            "PolygonCountBeyondTheBytes", [] { return StreamBytes().I32(1).Text(u"A").I32(100000000).I32(4).bytes; }, {}},
        DamagedCase {"CoordinateCountBeyondTheBytes",
                     [] { return StreamBytes().I32(1).Text(u"A").I32(1).I32(0x7FFFFFFE).I32(1).I32(0).F64(0).bytes; },
                     {}},
        DamagedCase {"ArcCountBeyondTheBytes",
                     [] {
                         StreamBytes w;
                         w.I32(1).Text(u"A").I32(1).I32(0).I32(0).I32(50000000).F64(0).F64(0).I32(1);
                         return w.bytes;
                     },
                     {}},
        DamagedCase {"AttributesCut", [] { return Truncated(Golden(true), 1); }, {}},
        DamagedCase {"SecondProfileCut", TwoProfilesSecondCut, {"A"}}, DamagedCase {"SecondPolygonCut", SecondPolygonCut, {"A"}}),
    [](const ::testing::TestParamInfo<DamagedCase>& info) { return std::string(info.param.name); });

}  // namespace
