#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>

#include "E57TestWriter.hpp"
#include "TestFiles.hpp"

extern char** environ;

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

struct BoundedRun {
    bool ended = false;
    int status = 0;
    long peakKilobytes = 0;
    std::string output;
};

// e57dump in a child process that is killed after the deadline; its peak memory as
// the system counted it.
BoundedRun dumpWithin(const std::string& file, std::chrono::seconds deadline) {
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
    struct rusage usage {};
    const auto until = std::chrono::steady_clock::now() + deadline;
    while (!run.ended && std::chrono::steady_clock::now() < until) {
        run.ended = ::wait4(pid, &run.status, WNOHANG, &usage) == pid;
        if (!run.ended) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (!run.ended) {
        ::kill(pid, SIGKILL);
        ::wait4(pid, &run.status, 0, &usage);
    }
    run.peakKilobytes = usage.ru_maxrss;
    const auto bytes = e57test::readBytes(outputPath);
    run.output.assign(bytes.begin(), bytes.end());
    return run;
}

void putU64(std::vector<unsigned char>& bytes, std::size_t at, std::uint64_t value) {
    std::memcpy(bytes.data() + at, &value, sizeof value);
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

TEST(E57Dump, APipeInPlaceOfTheFileIsRefusedAtOnce) {
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
TEST(E57Dump, AHugeClaimedXmlSectionCostsOnlyThePagesRead) {
    constexpr std::uint64_t kClaimedSize = std::uint64_t{10} << 30;
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
