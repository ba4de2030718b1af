#pragma once
#include <cstdint>

#include "API/Types.hpp"
#include "GS/Guid.hpp"
#include "GS/UniString.hpp"
#include "IO/Location.hpp"

class CDataRecorder;

// Reads a stored record field by field. A field takes a value only when it was
// read whole, and the first read that fails stops the stream: a truncated or
// damaged stream ends at once, and the fields behind the damage keep their values.
// Every count is checked against the bytes that are left.
class StreamReader
{
public:
    explicit StreamReader(CDataRecorder& recorder) : recorder_(recorder) {}

    bool IsWhole() const { return whole_; }
    void Stop() { whole_ = false; }

    bool Read(bool& value);
    bool Read(std::int16_t& value);
    bool Read(std::int32_t& value);
    bool Read(double& value);
    bool Read(API_Guid& value);
    bool Read(GS::UniString& value);
    // A GUID kept as its text; a text that is no GUID reads as the null GUID.
    bool ReadGuidText(GS::Guid& value);
    bool ReadPath(IO::Location& value);
    // The number of items that follow, each at least `minimumItemBytes` long;
    // a negative count, or more items than the bytes left can hold, stops the stream.
    bool ReadCount(std::int32_t& count, std::int64_t minimumItemBytes);

    // A nested record that reads itself from the same recorder; its failure
    // stops this stream too.
    template <typename ReadNested>
    bool ReadRecord(ReadNested&& readNested)
    {
        if (whole_ && !readNested(recorder_)) whole_ = false;
        return whole_;
    }

private:
    // Reads into a value of its own and hands it over only when it was read whole.
    template <typename T, typename Transfer>
    bool Take(T& value, Transfer&& transfer)
    {
        T read {};
        if (whole_ && !transfer(read)) whole_ = false;
        if (whole_) value = read;
        return whole_;
    }

    CDataRecorder& recorder_;
    bool whole_ = true;
};
