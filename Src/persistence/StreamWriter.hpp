#pragma once
#include <cstdint>

#include "API/Types.hpp"
#include "GS/Guid.hpp"
#include "GS/UniString.hpp"
#include "IO/Location.hpp"

class CDataRecorder;

// Writes a record field by field in the recorder's value layouts; the first
// write that fails (a memory block too small, a file that takes no more) stops
// the stream, and IsWhole tells whether every field went out.
class StreamWriter
{
public:
    explicit StreamWriter(CDataRecorder& recorder) : recorder_(recorder) {}

    bool IsWhole() const { return whole_; }

    void Write(bool value);
    void Write(std::int16_t value);
    void Write(std::int32_t value);
    void Write(double value);
    void Write(const API_Guid& value);
    void Write(const GS::UniString& value);
    void WriteGuidText(const GS::Guid& value);
    void WritePath(const IO::Location& value);

    // A nested record that writes itself to the same recorder.
    template <typename WriteNested>
    void WriteRecord(WriteNested&& writeNested)
    {
        if (whole_ && !writeNested(recorder_)) whole_ = false;
    }

private:
    template <typename Transfer>
    void Keep(Transfer&& transfer)
    {
        if (whole_ && !transfer()) whole_ = false;
    }

    CDataRecorder& recorder_;
    bool whole_ = true;
};
