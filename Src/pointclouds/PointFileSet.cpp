#include "pointclouds/PointFileSet.hpp"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "pointclouds/PartPool.hpp"

namespace
{

constexpr std::int32_t TextCode = 1;
constexpr char Signature[8] = {'G', 'S', 'P', 'C', 2, 0, 0, 0};

}  // namespace

PointFileSet::PointFileSet(const IO::Location& folder, const GS::UniString& partName, std::uint32_t levelCount)
    : folder_(folder), name_(partName.ToUtf8()), levelCount_(levelCount)
{}

PointFileSet::~PointFileSet() = default;

std::string PointFileSet::Suffix(std::uint32_t levelCount, std::uint32_t level)
{
    static const char* const twoLevels[] = {"_data_1", "_data_2"};
    static const char* const threeLevels[] = {"_data_50", "_data_25", "_data_25_2"};
    if (levelCount == 2 && level < 2) return twoLevels[level];
    if (levelCount == 3 && level < 3) return threeLevels[level];
    return "_data";
}

GS::UniString PointFileSet::FileName(std::uint32_t level) const
{
    return GS::UniString(name_ + Suffix(levelCount_, level) + ".gspc");
}

IO::Location PointFileSet::FileLocation(std::uint32_t level) const
{
    IO::Location location = folder_;
    location.AppendToLocal(FileName(level).ToUtf8());
    return location;
}

bool PointFileSet::Open(const PointCloudBox& box)
{
    if (levelCount_ < 1 || levelCount_ > MaxLevels) return false;
    StopSending();
    box_ = box;
    files_.clear();
    failed_ = false;
    char header[HeaderSize];
    std::memcpy(header, Signature, sizeof Signature);
    char* at = header + sizeof Signature;
    for (const double value : {box.xMin, box.xMax, box.yMin, box.yMax, box.zMin, box.zMax})
    {
        Appender::PutFloat(at, value);
        at += sizeof(float);
    }
    for (std::uint32_t level = 0; level < levelCount_; ++level)
    {
        LevelFile file;
        file.recorder = std::make_unique<CDataRecorder>(TextCode);
        file.block.resize(CollectedBytes);
        file.recorder->SetMode(CDataRecorder::ModeHostFileBinary);
        file.recorder->SetPath(FileLocation(level).ToPath().c_str());
        if (file.recorder->OpenWrite() != 0 || !file.recorder->WriteBytes(header, sizeof header))
        {
            failed_ = true;
            return false;
        }
        files_.push_back(std::move(file));
    }
    // Once every file is in its place in the list, which then moves no more.
    for (LevelFile& file : files_)
    {
        file.underway.assign(BlocksUnderway, Underway {std::vector<char>(CollectedBytes), 0});
        file.sender = std::make_unique<SlotWorker>(BlocksUnderway, [&file](std::size_t slot) {
            const Underway& block = file.underway[slot];
            if (!file.recorder->WriteBytes(block.bytes.data(), block.used)) file.sendFailed = true;
        });
    }
    return true;
}

void PointFileSet::Take(CloudPoint* points, std::size_t count)
{
    if (files_.empty()) return;
    Appender appender = Reserve(count);
    for (std::size_t i = 0; i < count; ++i)
    {
        const CloudPoint& point = points[i];
        appender.Put(point.level, point.position, point.colour.f_red, point.colour.f_green, point.colour.f_blue);
    }
    Commit(appender);
}

PointFileSet::Appender PointFileSet::Reserve(std::size_t count)
{
    Appender appender;
    appender.levels_ = static_cast<std::uint32_t>(files_.size());
    // Each level's collected points go out before a block that might not fit, so the
    // collection keeps its size.
    for (std::size_t level = 0; level < files_.size(); ++level)
    {
        LevelFile& file = files_[level];
        if (file.used + count * PointSize > file.block.size()) SendCollected(level);
        if (count * PointSize > file.block.size()) file.block.resize(count * PointSize);
        appender.at_[level] = file.block.data() + file.used;
    }
    appender.xMin_ = box_.xMin;
    appender.yMin_ = box_.yMin;
    appender.zMin_ = box_.zMin;
    return appender;
}

void PointFileSet::Commit(Appender appender)
{
    for (std::size_t level = 0; level < files_.size(); ++level)
        files_[level].used = static_cast<std::size_t>(appender.at_[level] - files_[level].block.data());
}

void PointFileSet::SendCollected(std::size_t level)
{
    LevelFile& file = files_[level];
    if (file.used == 0) return;
    const std::size_t slot = file.sender->NextFree();
    Underway& block = file.underway[slot];
    block.used = file.used;
    block.bytes.swap(file.block);
    file.used = 0;
    file.sender->HandOver();
}

void PointFileSet::StopSending()
{
    for (LevelFile& file : files_)
    {
        if (file.sender == nullptr) continue;
        file.sender->Finish();
        file.sender.reset();
    }
}

bool PointFileSet::Finish(LevelFile& file)
{
    // Without its sender the set was not opened whole: the file is dropped, never
    // put in place.
    if (file.sender == nullptr) return false;
    file.sender->Finish();
    file.sender.reset();
    return !file.sendFailed && file.recorder->Close() == 0;
}

bool PointFileSet::Close()
{
    for (std::size_t level = 0; level < files_.size(); ++level) SendCollected(level);
    // The files are finished side by side: each waits for the disk on its own.
    std::array<bool, MaxLevels> whole {};
    if (!files_.empty())
    {
        PartPool closing(files_.size() - 1);
        closing.Run([&](std::size_t level) { whole[level] = Finish(files_[level]); });
    }
    const bool allWhole = !failed_ && files_.size() == levelCount_ &&
                          std::all_of(whole.begin(), whole.begin() + files_.size(), [](bool done) { return done; });
    files_.clear();
    return allWhole;
}
