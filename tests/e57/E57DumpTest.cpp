#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <memory>
#include <string>

#include "E57TestWriter.hpp"
#include "TestFiles.hpp"

namespace {

struct DumpResult {
    int status;
    std::string output;
};

DumpResult dump(const std::string& file) {
    const std::string command = std::string(E57DUMP_PATH) + " '" + file + "' 2>&1";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    std::string output;
    char chunk[512];
    while (std::fgets(chunk, sizeof chunk, pipe.get())) output += chunk;
    const int status = pclose(pipe.release());
    return {WEXITSTATUS(status), output};
}

TEST(E57Dump, PrintsScansFieldsAndBounds) {
    const DumpResult bunny = dump(e57test::samplePath("bunnyInt19.e57"));
    EXPECT_EQ(bunny.status, 0);
    EXPECT_EQ(bunny.output,
              "scan 0 records 30571 fields cartesianX:ScaledInteger,cartesianY:ScaledInteger,"
              "cartesianZ:ScaledInteger,cartesianInvalidState:Integer pose no\n"
              "bounds -0.094689 0.061009 0.040011 0.187321 -0.061873 0.058799 sum -841.093298 3151.19874 264.243972\n");

    const DumpResult moved = dump(e57test::samplePath("translationWithoutRotation.e57"));
    EXPECT_EQ(moved.status, 0);
    EXPECT_EQ(moved.output,
              "scan 0 records 4 fields cartesianX:Float,cartesianY:Float,cartesianZ:Float pose yes\n"
              "bounds 0 1 0 1 0 0 sum 2 2 0\n");

    const DumpResult invalid = dump(e57test::samplePath("cartesian_invalid_state_single.e57"));
    EXPECT_NE(invalid.output.find("bounds -1 -1 -2 -2 -3 -3 sum -1 -2 -3\n"), std::string::npos) << invalid.output;

    const DumpResult spherical = dump(e57test::samplePath("tiny_spherical.e57"));
    EXPECT_EQ(spherical.output.find("bounds"), std::string::npos) << spherical.output;
}

TEST(E57Dump, Data3DThatIsNoVectorListsNoScans) {
    const std::string path = e57test::scratchPath("data3d-structure.e57");
    e57test::E57TestWriter::writeXmlOnly(
        path, "<?xml version=\"1.0\"?>\n<e57Root type=\"Structure\" "
              "xmlns=\"http://www.astm.org/COMMIT/E57/2010-e57-v1.0\"><data3D type=\"Structure\"/></e57Root>");
    const DumpResult result = dump(path);
    EXPECT_EQ(result.status, 0) << result.output;
    EXPECT_EQ(result.output, "");
}

TEST(E57Dump, FailsWithTheReadersMessage) {
    const DumpResult broken = dump(e57test::samplePath("corrupt_crc.e57"));
    EXPECT_NE(broken.status, 0);
    EXPECT_NE(broken.output.find("bad checksum"), std::string::npos) << broken.output;
    EXPECT_NE(broken.output.find("page 33"), std::string::npos) << broken.output;
}

}  // namespace
