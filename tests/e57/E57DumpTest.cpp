#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <future>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "E57TestWriter.hpp"
#include "TestFiles.hpp"

extern char** environ;

namespace
{

struct DumpResult
{
    int status;
    std::string output;
};

DumpResult dump(const std::string& file)
{
    const std::string command = std::string(E57DUMP_PATH) + " '" + file + "' 2>&1";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    std::string output;
    char chunk[512];
    while (std::fgets(chunk, sizeof chunk, pipe.get())) output += chunk;
    const int status = pclose(pipe.release());
    return {WEXITSTATUS(status), output};
}

struct BoundedRun
{
    bool ended = false;
    int status = 0;
    long peakKilobytes = 0;
    std::string output;
};

// e57dump in a child process, killed when it has not ended by the deadline (a hang
// guard); its peak memory as the system counted it.
BoundedRun dumpWithin(const std::string& file, std::chrono::seconds deadline)
{
    const std::string outputPath = e57test::scratchPath("dump-output.txt");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outputPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    std::string program = E57DUMP_PATH, argument = file;
    char* argv[] = {program.data(), argument.data(), nullptr};
    pid_t pid = 0;
    BoundedRun run;
    const bool spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, environ) == 0;
    posix_spawn_file_actions_destroy(&actions);
    if (!spawned) return run;
    struct rusage usage
    {};
    std::future<void> end = std::async(std::launch::async, [&] { ::wait4(pid, &run.status, 0, &usage); });
    run.ended = end.wait_for(deadline) == std::future_status::ready;
    if (!run.ended) ::kill(pid, SIGKILL);
    end.get();
    run.peakKilobytes = usage.ru_maxrss;
    const auto bytes = e57test::readBytes(outputPath);
    run.output.assign(bytes.begin(), bytes.end());
    return run;
}

void putU64(std::vector<unsigned char>& bytes, std::size_t at, std::uint64_t value)
{
    std::memcpy(bytes.data() + at, &value, sizeof value);
}

std::string writeXmlOnly(const std::string& name, const std::string& body)
{
    const std::string path = e57test::scratchPath(name);
    e57test::E57TestWriter::writeXmlOnly(path, "<?xml version=\"1.0\"?>\n<e57Root type=\"Structure\" "
                                               "xmlns=\"http://www.astm.org/COMMIT/E57/2010-e57-v1.0\">" +
                                                   body + "</e57Root>");
    return path;
}

// Three points, the second with a NaN coordinate, in a scan turned and moved by its pose.
std::string writeTurnedScanWithANanPoint()
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    static const std::vector<std::array<double, 3>> points {{1, 2, 3}, {nan, 5, 5}, {3, 4, 5}};
    e57test::ScanLayout scan;
    scan.name = "turned";
    scan.fields = {{"cartesianX"}, {"cartesianY"}, {"cartesianZ"}};
    scan.recordCount = points.size();
    scan.source = [](std::uint64_t record, e57test::FieldValue* values) {
        for (int axis = 0; axis < 3; ++axis) values[axis].real = points[record][axis];
    };
    scan.pose = e57test::Pose {std::array<double, 4> {0.5, 0.5, 0.5, 0.5}, std::array<double, 3> {10, 20, 30}};
    e57test::E57TestWriter writer;
    writer.addScan(scan);
    const std::string path = e57test::scratchPath("turned-nan.e57");
    writer.write(path);
    return path;
}

struct DumpCase
{
    const char* what;
    std::string file;
    std::string output;
};

TEST(E57Dump, PrintsEachScanWithLabelledFigures)
{
    const DumpCase cases[] = {
        {"a scan without pose, an invalid-state field", e57test::samplePath("bunnyInt19.e57"),
         "scan 0: records 30571\n"
         "  fields: cartesianX:ScaledInteger,cartesianY:ScaledInteger,cartesianZ:ScaledInteger,"
         "cartesianInvalidState:Integer\n"
         "  pose: none\n"
         "  valid points: 30571, sum x -841.093298 y 3151.19874 z 264.243972\n"
         "  bounds, in the file's frame (no pose): x -0.094689 .. 0.061009, y 0.040011 .. 0.187321, "
         "z -0.061873 .. 0.058799\n"},
        {"a pose with a translation only", e57test::samplePath("translationWithoutRotation.e57"),
         "scan 0: records 4\n"
         "  fields: cartesianX:Float,cartesianY:Float,cartesianZ:Float\n"
         "  pose: rotation (w x y z) none, translation (x y z) 4 5 6\n"
         "  valid points: 4, sum x 2 y 2 z 0\n"
         "  bounds, in the scan's own frame (pose not applied): x 0 .. 1, y 0 .. 1, z 0 .. 0\n"},
        {"two of three points flagged invalid", e57test::samplePath("cartesian_invalid_state_single.e57"),
         "scan 0: records 3\n"
         "  fields: cartesianX:Float,cartesianY:Float,cartesianZ:Float,cartesianInvalidState:Float\n"
         "  pose: none\n"
         "  valid points: 1, sum x -1 y -2 z -3\n"
         "  bounds, in the file's frame (no pose): x -1 .. -1, y -2 .. -2, z -3 .. -3\n"},
        {"a NaN point is not valid; a full pose", writeTurnedScanWithANanPoint(),
         "scan 0: records 3\n"
         "  fields: cartesianX:Float,cartesianY:Float,cartesianZ:Float\n"
         "  pose: rotation (w x y z) 0.5 0.5 0.5 0.5, translation (x y z) 10 20 30\n"
         "  valid points: 2, sum x 4 y 6 z 8\n"
         "  bounds, in the scan's own frame (pose not applied): x 1 .. 3, y 2 .. 4, z 3 .. 5\n"},
        {"spherical coordinates only", e57test::samplePath("tiny_spherical.e57"),
         "scan 0: records 360\n"
         "  fields: sphericalRange:Float,sphericalAzimuth:Float,sphericalElevation:Float,"
         "sphericalInvalidState:Integer\n"
         "  pose: none\n"
         "  no Cartesian coordinates (spherical only): no bounds\n"},
        {"a scan without points", e57test::samplePath("ZeroPoints.e57"),
         "scan 0: records 0\n"
         "  fields: cartesianX:Float,cartesianY:Float,cartesianZ:Float\n"
         "  pose: none\n"
         "  valid points: 0, sum x 0 y 0 z 0\n"},
        {"no scan at all", e57test::samplePath("empty.e57"), "no scans, images: 0\n"},
        {"images only",
         writeXmlOnly("images-only.e57",
                      "<data3D type=\"Vector\"/><images2D type=\"Vector\">"
                      "<vectorChild type=\"Structure\"><name type=\"String\"><![CDATA[a]]></name></vectorChild>"
                      "<vectorChild type=\"Structure\"><name type=\"String\"><![CDATA[b]]></name></vectorChild>"
                      "</images2D>"),
         "no scans, images: 2\n"},
        {"a data3D that is no vector", writeXmlOnly("data3d-structure.e57", "<data3D type=\"Structure\"/>"),
         "no scans, images: 0\n"},
    };
    for (const DumpCase& c : cases)
    {
        const DumpResult result = dump(c.file);
        EXPECT_EQ(result.status, 0) << c.what << "\n" << result.output;
        EXPECT_EQ(result.output, c.output) << c.what;
    }
}

TEST(E57Dump, HelpShowsTheUseAndAWrongCallIsRefused)
{
    const DumpResult help = dump("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.output.rfind("usage: e57dump FILE\n", 0), 0u) << help.output;
    EXPECT_NE(help.output.find("valid"), std::string::npos) << help.output;

    const DumpResult unknownOption = dump("--bounds");
    EXPECT_EQ(unknownOption.status, 2);
    EXPECT_EQ(unknownOption.output.rfind("usage: e57dump FILE\n", 0), 0u) << unknownOption.output;
}

TEST(E57Dump, FailsWithTheReadersMessage)
{
    const DumpResult broken = dump(e57test::samplePath("corrupt_crc.e57"));
    EXPECT_NE(broken.status, 0);
    EXPECT_NE(broken.output.find("bad checksum"), std::string::npos) << broken.output;
    EXPECT_NE(broken.output.find("page 33"), std::string::npos) << broken.output;
}

TEST(E57Dump, APipeInPlaceOfTheFileIsRefusedAtOnce)
{
    const std::string pipe = e57test::scratchPath("pipe.e57");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0644), 0);
    const BoundedRun run = dumpWithin(pipe, std::chrono::seconds(30));
    ASSERT_TRUE(run.ended) << "e57dump waited on the pipe";
    EXPECT_TRUE(WIFEXITED(run.status) && WEXITSTATUS(run.status) == 1) << run.output;
    EXPECT_NE(run.output.find("not a regular file"), std::string::npos) << run.output;
}

// A header that claims an XML section of almost 10 GiB in a sparse file of that size:
// the section is read page by page and refused at its first page of zeros, without
// memory for the claimed length.
TEST(E57Dump, AHugeClaimedXmlSectionCostsOnlyThePagesRead)
{
    constexpr std::uint64_t kClaimedSize = std::uint64_t {10} << 30;
    const std::string path = e57test::scratchPath("huge-xml-claim.e57");
    e57test::E57TestWriter::writeXmlOnly(path, "<?xml version=\"1.0\"?>\n<e57Root type=\"Structure\"/>");
    std::vector<unsigned char> bytes = e57test::readBytes(path);
    std::uint64_t xmlOffset = 0;
    std::memcpy(&xmlOffset, bytes.data() + 24, sizeof xmlOffset);
    const std::uint64_t xmlStart = xmlOffset / 1024 * 1020 + xmlOffset % 1024;
    putU64(bytes, 16, kClaimedSize);
    putU64(bytes, 32, kClaimedSize / 1024 * 1020 - xmlStart);
    e57test::resealPages(bytes);
    e57test::writeBytes(path, bytes);
    std::filesystem::resize_file(path, kClaimedSize);

    const BoundedRun run = dumpWithin(path, std::chrono::seconds(60));
    std::filesystem::remove(path);
    ASSERT_TRUE(run.ended) << run.output;
    EXPECT_TRUE(WIFEXITED(run.status) && WEXITSTATUS(run.status) == 1) << run.output;
    EXPECT_NE(run.output.find("bad checksum"), std::string::npos) << run.output;
    EXPECT_LT(run.peakKilobytes, 1L << 20) << "peak memory in kB";
}

}  // namespace
