#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "CDataRecorder.hpp"
#include "GS/UniString.hpp"
#include "IO/Location.hpp"
#include "pointclouds/CloudPoint.hpp"
#include "pointclouds/PointCloudBox.hpp"

// The point files of one point-cloud part, one per thinning level, named after the
// part. Each starts with "GSPC", 2 0 0 0 and the whole cloud's box as floats (x, y
// and z minimum-maximum pairs); then 15 bytes a point: its place relative to the
// box minimum as three floats and its colour as three bytes. A file is written
// beside its place and put there only when it is whole.
class PointFileSet : public CloudPointSink {
public:
    static constexpr std::size_t HeaderSize = 32;
    static constexpr std::size_t PointSize = 15;
    static constexpr std::uint32_t MaxLevels = 3;

    PointFileSet(const IO::Location& folder, const GS::UniString& partName, std::uint32_t levelCount);
    ~PointFileSet() override;

    // The suffix of a level's file: "_data" for one level; "_data_1", "_data_2" for
    // two; "_data_50", "_data_25", "_data_25_2" for three.
    static std::string Suffix(std::uint32_t levelCount, std::uint32_t level);
    // A colour component as its byte: truncated toward zero, within 0 to 255.
    static std::uint8_t ColourByte(double component);

    IO::Location FileLocation(std::uint32_t level) const;
    GS::UniString FileName(std::uint32_t level) const;
    // Opens every level's file and writes its header: false when one cannot be opened.
    bool Open(const PointCloudBox& box);
    void Take(CloudPoint* points, std::size_t count) override;
    // True when every file was written whole and put in its place.
    bool Close();

private:
    // Points are collected up to this many bytes a level before they are written.
    static constexpr std::size_t CollectedBytes = 256 * 1024;

    struct LevelFile {
        std::unique_ptr<CDataRecorder> recorder;
        std::vector<char> block;
        std::size_t used = 0;
    };

    void WriteCollected(LevelFile& file);

    IO::Location folder_;
    std::string name_;
    std::uint32_t levelCount_;
    PointCloudBox box_;
    std::vector<LevelFile> files_;
    bool failed_ = false;
};
