#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace e57test
{

enum class FieldKind
{
    Integer,
    ScaledInteger,
    Single,
    Double
};

struct FieldLayout
{
    std::string name;
    FieldKind kind = FieldKind::Double;
    std::int64_t minimum = 0;  // Integer and ScaledInteger: raw limits
    std::int64_t maximum = 0;
    double scale = 1.0;
    double offset = 0.0;
};

// One record's values in prototype order: raw integers for Integer and
// ScaledInteger fields, reals for Single and Double.
struct FieldValue
{
    std::int64_t integer = 0;
    double real = 0.0;
};

using RecordSource = std::function<void(std::uint64_t record, FieldValue* values)>;

struct Pose
{
    std::optional<std::array<double, 4>> rotation;  // w, x, y, z
    std::optional<std::array<double, 3>> translation;
};

struct ScanLayout
{
    std::string name;
    std::vector<FieldLayout> fields;
    std::uint64_t recordCount = 0;
    RecordSource source;
    std::optional<Pose> pose;
    std::string extraXml;                  // more children of the scan structure, as XML
    std::size_t packetFieldBytes = 16000;  // at most this many bytes of each field per packet
    bool indexPacket = false;              // a trailing index packet, as some writers add
    bool withoutSection = false;           // a 0-record scan with fileOffset 0
    bool withoutDataPacket = false;        // a 0-record scan whose section header gives data offset 0
    std::uint64_t claimedRecordCount = 0;  // when not 0, the XML claims this many records
};

// Writes E57 files for tests and benchmarks: one bit-packed compressed-vector
// section per scan, streamed packet by packet so that large scans need no memory.
class E57TestWriter
{
public:
    void addScan(ScanLayout scan) { scans_.push_back(std::move(scan)); }
    void write(const std::string& path) const;

    // A file whose XML section is exactly xml (for XML-level tests).
    static void writeXmlOnly(const std::string& path, const std::string& xml);

private:
    std::vector<ScanLayout> scans_;
};

}  // namespace e57test
