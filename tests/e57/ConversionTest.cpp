#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "E57TestWriter.hpp"
#include "ScanData.hpp"
#include "TestFiles.hpp"

namespace
{

using e57test::FieldKind;

// One record: scaled raw 2000 (scale 0.001, offset 100), integer 300, floats 2.7 and -2.7 and 1e20,
// integer -1, float 127.5.
class Conversion : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        e57test::ScanLayout scan;
        scan.name = "conversions";
        scan.fields = {{"scaled", FieldKind::ScaledInteger, -5000, 5000, 0.001, 100.0},
                       {"integer", FieldKind::Integer, 0, 1000},
                       {"positive", FieldKind::Double},
                       {"negative", FieldKind::Single},
                       {"huge", FieldKind::Double},
                       {"minusOne", FieldKind::Integer, -1, 1},
                       {"aboveInt8", FieldKind::Double}};
        scan.recordCount = 1;
        scan.source = [](std::uint64_t, e57test::FieldValue* v) {
            v[0].integer = 2000;
            v[1].integer = 300;
            v[2].real = 2.7;
            v[3].real = -2.7;
            v[4].real = 1e20;
            v[5].integer = -1;
            v[6].real = 127.5;
        };
        e57test::E57TestWriter writer;
        writer.addScan(scan);
        path_ = e57test::scratchPath("conversions.e57");
        writer.write(path_);
    }

    template <typename T>
    static T readOne(const std::string& field, bool convert, bool scale)
    {
        const e57::ImageFile file(path_);
        T value {};
        auto reader = e57test::scanPoints(file, 0).reader({e57::SourceDestBuffer(file, field, &value, 1, convert, scale)});
        EXPECT_EQ(reader.read(), 1u);
        return value;
    }

    template <typename T>
    static e57::ErrorCode failure(const std::string& field, bool convert, bool scale)
    {
        try
        {
            readOne<T>(field, convert, scale);
        }
        catch (const e57::E57Exception& error)
        {
            return error.code();
        }
        ADD_FAILURE() << field << " was accepted";
        return e57::ErrorCode::BadArgument;
    }

    static std::string path_;
};

std::string Conversion::path_;

TEST_F(Conversion, ScaledIntegers)
{
    EXPECT_DOUBLE_EQ(readOne<double>("scaled", false, true), 102.0);
    EXPECT_EQ(readOne<std::int64_t>("scaled", true, true), 102);  // floor(x + 0.5)
    EXPECT_EQ(readOne<std::int64_t>("scaled", false, false), 2000);
    EXPECT_EQ(readOne<double>("scaled", true, false), 2000.0);
    EXPECT_EQ(failure<double>("scaled", false, false), e57::ErrorCode::ConversionRequired);
    EXPECT_EQ(failure<std::int32_t>("scaled", false, true), e57::ErrorCode::ConversionRequired);
}

TEST_F(Conversion, FloatsIntoIntegersTruncateAfterARangeCheck)
{
    EXPECT_EQ(readOne<std::int32_t>("positive", true, false), 2);
    EXPECT_EQ(readOne<std::int16_t>("negative", true, false), -2);
    EXPECT_FLOAT_EQ(readOne<float>("negative", false, false), -2.7f);
    EXPECT_EQ(failure<std::int32_t>("positive", false, false), e57::ErrorCode::ConversionRequired);
    EXPECT_EQ(failure<std::int64_t>("huge", true, false), e57::ErrorCode::ValueNotRepresentable);
    EXPECT_EQ(failure<std::uint64_t>("huge", true, false), e57::ErrorCode::ValueNotRepresentable);
    EXPECT_EQ(readOne<std::uint64_t>("positive", true, false), 2u);
    EXPECT_EQ(failure<std::int8_t>("aboveInt8", true, false), e57::ErrorCode::ValueNotRepresentable);
    EXPECT_EQ(readOne<std::int16_t>("aboveInt8", true, false), 127);
}

TEST_F(Conversion, IntegersMustFitTheBuffer)
{
    EXPECT_EQ(readOne<std::int16_t>("integer", false, false), 300);
    EXPECT_EQ(readOne<double>("integer", true, false), 300.0);
    EXPECT_EQ(failure<std::uint8_t>("integer", false, false), e57::ErrorCode::ValueNotRepresentable);
    EXPECT_EQ(failure<std::uint64_t>("minusOne", false, false), e57::ErrorCode::ValueNotRepresentable);
    EXPECT_EQ(failure<double>("integer", false, false), e57::ErrorCode::ConversionRequired);
}

TEST_F(Conversion, BufferSetsAreChecked)
{
    const e57::ImageFile file(path_);
    const auto points = e57test::scanPoints(file, 0);
    double a[4];
    double b[8];
    const auto codeOf = [&](const std::vector<e57::SourceDestBuffer>& buffers) {
        try
        {
            points.reader(buffers);
        }
        catch (const e57::E57Exception& error)
        {
            return error.code();
        }
        return e57::ErrorCode::BadArgument;
    };
    EXPECT_EQ(codeOf({}), e57::ErrorCode::BadBuffers);
    EXPECT_EQ(codeOf({{file, "positive", a, 4}, {file, "huge", b, 8}}), e57::ErrorCode::BadBuffers);
    EXPECT_EQ(codeOf({{file, "positive", a, 4}, {file, "positive", b, 4}}), e57::ErrorCode::BadBuffers);
    EXPECT_EQ(codeOf({{file, "nothing", a, 4}}), e57::ErrorCode::PathUndefined);
    EXPECT_EQ(codeOf({{file, "positive", a, 0}}), e57::ErrorCode::BadBuffers);
    const e57::ImageFile other(path_);
    EXPECT_EQ(codeOf({{other, "positive", a, 4}}), e57::ErrorCode::BadBuffers);
}

TEST_F(Conversion, StrideInterleavesFields)
{
    struct Point
    {
        double x;
        std::int64_t n;
    };
    Point points[2] = {};
    const e57::ImageFile file(path_);
    auto reader = e57test::scanPoints(file, 0).reader(
        {e57::SourceDestBuffer(file, "positive", &points[0].x, 2, false, false, sizeof(Point)),
         e57::SourceDestBuffer(file, "integer", &points[0].n, 2, false, false, sizeof(Point))});
    ASSERT_EQ(reader.read(), 1u);
    EXPECT_EQ(points[0].x, 2.7);
    EXPECT_EQ(points[0].n, 300);
    EXPECT_EQ(points[1].n, 0);
}

}  // namespace
