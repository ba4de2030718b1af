#pragma once
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "GS/UniString.hpp"
#include "IO/Location.hpp"
#include "framework/CDataRecorder.hpp"
#include "pointclouds/CloudPoint.hpp"
#include "pointclouds/PointCloudBox.hpp"
#include "pointclouds/PointThinning.hpp"
#include "pointclouds/SlotWorker.hpp"

// The point files of one point-cloud part, one per thinning level, named after the
// part. Each starts with "GSPC", 2 0 0 0 and the whole cloud's box as floats (x, y
// and z minimum-maximum pairs); then 15 bytes a point: its place relative to the
// box minimum as three floats and its colour as three bytes. A file is written
// beside its place and put there only when it is whole. The points go to the files
// on a thread of their own while the next are collected.
class PointFileSet : public CloudPointSink
{
public:
    static constexpr std::size_t HeaderSize = 32;
    static constexpr std::size_t PointSize = 15;
    static constexpr std::uint32_t MaxLevels = PointThinning::MaxLevels;

    PointFileSet(const IO::Location& folder, const GS::UniString& partName, std::uint32_t levelCount);
    ~PointFileSet() override;

    // The suffix of a level's file: "_data" for one level; "_data_1", "_data_2" for
    // two; "_data_50", "_data_25", "_data_25_2" for three.
    static std::string Suffix(std::uint32_t levelCount, std::uint32_t level);
    // A colour component as its byte: truncated toward zero, within 0 to 255. A max
    // and a min, no branch: it runs three times for every point; a NaN gives 0.
    static std::uint8_t ColourByte(double component)
    {
        return static_cast<std::uint8_t>(std::min(std::max(0.0, component), 255.0));
    }

    IO::Location FileLocation(std::uint32_t level) const;
    GS::UniString FileName(std::uint32_t level) const;
    // Opens every level's file and writes its header: false when one cannot be opened.
    bool Open(const PointCloudBox& box);
    bool IsOpen() const { return !files_.empty(); }
    void Take(CloudPoint* points, std::size_t count) override;

    // Writes points in a caller's own loop, with no call per point: Reserve makes
    // room for count more points on every level, Put writes one, Commit keeps them.
    class Appender
    {
    public:
        // A level beyond the set's goes to level 0.
        void Put(std::uint32_t level, const API_Coord3D& position, double red, double green, double blue)
        {
            char record[PointSize];
            PutFloat(record, position.x - xMin_);
            PutFloat(record + 4, position.y - yMin_);
            PutFloat(record + 8, position.z - zMin_);
            record[12] = static_cast<char>(ColourByte(red));
            record[13] = static_cast<char>(ColourByte(green));
            record[14] = static_cast<char>(ColourByte(blue));
            char*& at = at_[level < levels_ ? level : 0];
            std::memcpy(at, record, PointSize);
            at += PointSize;
        }
        // Moves past the room of as many points a level, as Put would.
        void Skip(const std::array<std::uint64_t, MaxLevels>& counts)
        {
            for (std::uint32_t level = 0; level < MaxLevels; ++level)
                at_[level < levels_ ? level : 0] += counts[level] * PointSize;
        }

    private:
        friend class PointFileSet;

        static void PutFloat(char* at, double value)
        {
            const float single = static_cast<float>(value);
            std::memcpy(at, &single, sizeof single);
        }

        char* at_[MaxLevels] {};
        std::uint32_t levels_ = 0;
        double xMin_ = 0.0, yMin_ = 0.0, zMin_ = 0.0;
    };
    // Only while the set is open.
    Appender Reserve(std::size_t count);
    // By value: the caller's appender stays its own.
    void Commit(Appender appender);
    // True when every file was written whole and put in its place.
    bool Close();

private:
    // Points are collected up to this many bytes a level before they are written.
    static constexpr std::size_t CollectedBytes = 256 * 1024;
    // Collected blocks go to each level's file on a thread of the level's own, at
    // most this many a level on their way at a time.
    static constexpr std::size_t BlocksUnderway = 4;

    // A level's collected points on their way to its file.
    struct Underway
    {
        std::vector<char> bytes;
        std::size_t used = 0;
    };

    struct LevelFile
    {
        std::unique_ptr<CDataRecorder> recorder;
        std::vector<char> block;
        std::size_t used = 0;
        std::vector<Underway> underway;
        // The sending thread's alone until it has finished.
        bool sendFailed = false;
        // Last: its thread ends before the blocks and the file go.
        std::unique_ptr<SlotWorker> sender;
    };

    // Hands the level's collected points to its sending thread and takes an empty block.
    void SendCollected(std::size_t level);
    void StopSending();
    // Its last bytes sent, the level's file is written whole and put in its place.
    bool Finish(LevelFile& file);

    IO::Location folder_;
    std::string name_;
    std::uint32_t levelCount_;
    PointCloudBox box_;
    std::vector<LevelFile> files_;
    bool failed_ = false;
};
