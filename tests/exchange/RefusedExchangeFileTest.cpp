// Exchange files the import must refuse: each leaves every file as it was, takes
// no point, creates no element, and the host goes on.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <future>
#include <map>
#include <thread>

#include "PointCabFixture.hpp"
#include "exchange/PointCabImport.hpp"

namespace fs = std::filesystem;

namespace
{

enum class Placement
{
    DeepNesting,
    LinkToOutside,
    Pipe,
    ExpandingEntity,
    HugeCoordinate
};

struct RefusedCase
{
    const char* name;
    Placement placement;
};

const RefusedCase RefusedCases[] = {
    {"NestedAHundredThousandLevels", Placement::DeepNesting},
    {"LinkToAFileOutsideTheFolder", Placement::LinkToOutside},
    {"PipeInPlaceOfTheFile", Placement::Pipe},
    {"LargeEntityUsedThousandsOfTimes", Placement::ExpandingEntity},
    {"CoordinateThatTurnsInfinite", Placement::HugeCoordinate},
};

// Every entry below the folder, as its kind and content; pipes are not opened.
std::map<std::string, std::string> Snapshot(const std::string& folder)
{
    std::map<std::string, std::string> entries;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
    {
        const fs::file_status status = entry.symlink_status();
        std::string& seen = entries[entry.path().string()];
        if (fs::is_symlink(status))
        {
            seen = "link to " + fs::read_symlink(entry.path()).string();
        }
        else if (fs::is_regular_file(status))
        {
            std::ifstream in(entry.path(), std::ios::binary);
            std::ostringstream content;
            content << in.rdbuf();
            seen = "file " + content.str();
        }
        else
        {
            seen = fs::is_fifo(status) ? "pipe" : "folder";
        }
    }
    return entries;
}

std::string Repeated(const std::string& text, int times)
{
    std::string out;
    out.reserve(text.size() * static_cast<std::size_t>(times));
    for (int i = 0; i < times; ++i) out += text;
    return out;
}

class RefusedExchangeFile : public PointCabTest, public ::testing::WithParamInterface<RefusedCase>
{
protected:
    RefusedExchangeFile()
    {
        // A turn that brings the largest coordinate beyond the largest number.
        measuringState.stationAngle = M_PI / 4;
        measuringState.stationZ = 0;
    }

    void Place(Placement placement)
    {
        const std::string point = Point(FreshId(), "1 2 3 0");
        switch (placement)
        {
            case Placement::DeepNesting:
                WriteExchange(Document(Annotation(point) + Repeated("<n>", 100000) + Repeated("</n>", 100000)));
                break;
            case Placement::LinkToOutside:
            {
                const std::string outside = folder_.path() + "/outside.xml";
                std::ofstream(outside, std::ios::binary) << Document(Annotation(point));
                fs::create_symlink(outside, exchangePath());
                break;
            }
            case Placement::Pipe: ASSERT_EQ(::mkfifo(exchangePath().c_str(), 0644), 0); break;
            case Placement::ExpandingEntity:
                WriteExchange("<?xml version=\"1.0\"?>\n<!DOCTYPE PointCabExchange [\n<!ENTITY big \"" + std::string(20000, 'A') +
                              "\">\n]>\n<PointCabExchange>" + Annotation(point) + "<Note>" + Repeated("&big;", 9000) +
                              "</Note></PointCabExchange>\n");
                break;
            case Placement::HugeCoordinate:
                WriteExchange(Document(Annotation(Point(FreshId(), "1.7976931348623157e308 1.7976931348623157e308 0 0"))));
                break;
        }
    }
};

TEST_P(RefusedExchangeFile, LeavesEveryFileTakesNothingCreatesNothing)
{
    Place(GetParam().placement);
    const auto before = Snapshot(folder_.path());
    const std::int32_t taken = takenPointCount;
    const std::size_t elements = host().model_.content.elements.size();

    // Should the import wait on a pipe, a writer comes along and ends the wait; that it
    // found a reader waiting is the fault. How long the import takes tells nothing.
    std::promise<void> done;
    std::atomic<bool> rescued {false};
    std::thread rescue([&, finished = done.get_future()] {
        for (auto wait = std::chrono::seconds(10); finished.wait_for(wait) != std::future_status::ready;
             wait = std::chrono::seconds(1))
        {
            struct stat status
            {};
            if (::lstat(exchangePath().c_str(), &status) != 0 || !S_ISFIFO(status.st_mode)) continue;
            const int fd = ::open(exchangePath().c_str(), O_WRONLY | O_NONBLOCK);
            if (fd < 0) continue;  // nobody holds the pipe open to read
            rescued = true;
            ::close(fd);
        }
    });
    PollPointCabFile();
    ImportPointCabFile(survanto());
    done.set_value();
    rescue.join();

    EXPECT_FALSE(rescued) << "the import waited on the pipe";
    EXPECT_EQ(Snapshot(folder_.path()), before);
    EXPECT_EQ(takenPointCount, taken);
    EXPECT_EQ(host().model_.content.elements.size(), elements);
    EXPECT_EQ(measuringState.importBusy, 0);
    EXPECT_TRUE(std::isfinite(measuringState.measuredX) && std::isfinite(measuringState.measuredY));
}

INSTANTIATE_TEST_SUITE_P(Cases, RefusedExchangeFile, ::testing::ValuesIn(RefusedCases),
                         [](const ::testing::TestParamInfo<RefusedCase>& info) { return std::string(info.param.name); });

}  // namespace
