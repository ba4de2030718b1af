#include "pointclouds/E57Scan.hpp"

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "e57/CompressedVectorNode.hpp"
#include "e57/FloatNode.hpp"
#include "e57/IntegerNode.hpp"
#include "e57/ScaledIntegerNode.hpp"
#include "pointclouds/PoseQuaternion.hpp"
#include "pointclouds/ReadAhead.hpp"
#include "pointclouds/ScanColours.hpp"

namespace {

// Reads of 40 records gathered into one slot, and the slots read ahead.
constexpr std::size_t ReadsPerSlot = 64;
constexpr std::size_t SlotRecords = ReadsPerSlot * E57Scan::BlockSize;
constexpr std::size_t SlotCount = 4;

double NumberOf(const e57::Node& node)
{
    if (node.is(e57::NodeType::Integer)) return static_cast<double>(e57::IntegerNode(node).value());
    if (node.is(e57::NodeType::ScaledInteger)) return e57::ScaledIntegerNode(node).scaledValue();
    return e57::FloatNode(node).value();
}

double Child(const e57::StructureNode& structure, const char* name) { return NumberOf(structure.get(name)); }

bool IsFinite(const API_Coord3D& p) { return std::isfinite(p.x) & std::isfinite(p.y) & std::isfinite(p.z); }

// The pose as twelve numbers; a local copy in a loop cannot be changed by its stores.
class PoseMatrix {
public:
    explicit PoseMatrix(const TRANMAT& pose)
    {
        for (int row = 0; row < 3; ++row)
            for (int column = 0; column < 4; ++column) m_[row][column] = pose.matrix.Get(row, column);
    }

    API_Coord3D Transformed(double x, double y, double z) const
    {
        return {m_[0][0] * x + m_[0][1] * y + m_[0][2] * z + m_[0][3], m_[1][0] * x + m_[1][1] * y + m_[1][2] * z + m_[1][3],
                m_[2][0] * x + m_[2][1] * y + m_[2][2] * z + m_[2][3]};
    }

private:
    double m_[3][4];
};

// The fields of every slot side by side, one binding for all reads: coordinates, and
// colours, intensity and invalid state where the scan has them and they are asked for.
struct FieldRing {
    std::vector<double> x, y, z, red, green, blue, intensity;
    std::vector<std::int64_t> invalid;
    std::vector<e57::SourceDestBuffer> buffers;
    bool invalidBound = false;

    void Bind(const e57::ImageFile& file, const char* field, std::vector<double>& data)
    {
        data.assign(SlotRecords * SlotCount, 0.0);
        buffers.emplace_back(file, field, data.data(), data.size(), true, true, sizeof(double));
    }

    void BindInvalidState(const e57::ImageFile& file)
    {
        invalid.assign(SlotRecords * SlotCount, 0);
        buffers.emplace_back(file, "cartesianInvalidState", invalid.data(), invalid.size(), true, true, sizeof(std::int64_t));
        invalidBound = true;
    }

    bool Valid(std::size_t i) const { return !invalidBound || invalid[i] == 0; }
};

// One slot: reads records from its place in the ring on.
struct Slot {
    std::size_t first = 0;
    std::size_t reads = 0;
    std::size_t records = 0;

    // The records of read k: 40, fewer for the last read of the scan.
    std::size_t RecordsOfRead(std::size_t k) const { return std::min(E57Scan::BlockSize, records - k * E57Scan::BlockSize); }
};

// The scan's records, read ahead block by block up to the limit, as the import took
// them before it read on a thread: a read of fewer than 40 records is the last.
class ScanReading {
public:
    ScanReading(e57::CompressedVectorReader& reader, std::uint64_t recordLimit)
        : pipeline_(Slots(), [&reader, recordLimit, read = std::uint64_t {0}](Slot& slot) mutable {
              slot.reads = slot.records = 0;
              while (slot.reads < ReadsPerSlot && read < recordLimit) {
                  const std::size_t got = reader.read(slot.first + slot.records, E57Scan::BlockSize);
                  ++slot.reads;
                  slot.records += got;
                  read += got;
                  if (got < E57Scan::BlockSize) return false;
              }
              return read < recordLimit;
          })
    {
    }

    Slot* Next() { return pipeline_.Next(); }

private:
    static std::vector<std::unique_ptr<Slot>> Slots()
    {
        std::vector<std::unique_ptr<Slot>> slots;
        for (std::size_t i = 0; i < SlotCount; ++i) {
            slots.push_back(std::make_unique<Slot>());
            slots.back()->first = i * SlotRecords;
        }
        return slots;
    }

    ReadAhead<Slot> pipeline_;
};

}  // namespace

E57Scan::E57Scan(const e57::ImageFile& file, const e57::StructureNode& scan) : file_(&file), scan_(scan)
{
    Geometry::TMIdentity(&pose_);
    ReadPose();
    const e57::CompressedVectorNode points(scan_.get("points"));
    const e57::StructureNode prototype = points.prototype();
    hasCartesian_ = prototype.isDefined("cartesianX") && prototype.isDefined("cartesianY") && prototype.isDefined("cartesianZ");
}

void E57Scan::ReadPose()
{
    if (!scan_.isDefined("pose")) return;
    const e57::StructureNode pose(scan_.get("pose"));
    PoseQuaternion quaternion;
    API_Coord3D scanner {};
    if (pose.isDefined("rotation")) {
        const e57::StructureNode r(pose.get("rotation"));
        quaternion = {Child(r, "w"), Child(r, "x"), Child(r, "y"), Child(r, "z")};
    }
    if (pose.isDefined("translation")) {
        const e57::StructureNode t(pose.get("translation"));
        scanner = {Child(t, "x"), Child(t, "y"), Child(t, "z")};
    }
    // A pose that is no number places nothing: the scan is taken as one without a station.
    const bool finite = std::isfinite(quaternion.w) & std::isfinite(quaternion.x) & std::isfinite(quaternion.y) &
                        std::isfinite(quaternion.z) & IsFinite(scanner);
    if (!finite) return;
    TRANMAT rotation, translation;
    quaternion.ToMatrix(rotation);
    Geometry::TMTranslation(&translation, scanner.x, scanner.y, scanner.z);
    Geometry::TMComposeTransformations(&rotation, &translation, &pose_);
    scanner_ = scanner;
    hasPose_ = true;
}

std::uint64_t E57Scan::RecordCount() const
{
    return static_cast<std::uint64_t>(e57::CompressedVectorNode(scan_.get("points")).childCount());
}

std::uint64_t E57Scan::TakeBox(PointCloudBox& box, std::uint64_t& points, const BeforeBlock& beforeBlock) const
{
    if (!hasCartesian_) return 0;
    const e57::CompressedVectorNode cloud(scan_.get("points"));
    FieldRing ring;
    ring.Bind(*file_, "cartesianX", ring.x);
    ring.Bind(*file_, "cartesianY", ring.y);
    ring.Bind(*file_, "cartesianZ", ring.z);
    if (cloud.prototype().isDefined("cartesianInvalidState")) ring.BindInvalidState(*file_);
    e57::CompressedVectorReader reader = cloud.reader(ring.buffers);
    std::uint64_t records = 0, pointsSoFar = 0;
    {
        ScanReading reading(reader, UINT64_MAX);
        const PoseMatrix pose(pose_);
        // In a local: a store into the caller's could change the points as far as the
        // compiler knows.
        PointCloudBox local = box;
        bool first = points == 0;
        Slot* slot = nullptr;
        std::size_t read = 0;
        while (beforeBlock(pointsSoFar)) {
            while (slot == nullptr || read == slot->reads) {
                slot = reading.Next();
                read = 0;
                if (slot == nullptr) break;
            }
            if (slot == nullptr) break;
            const std::size_t got = slot->RecordsOfRead(read);
            const std::size_t begin = slot->first + read * BlockSize;
            ++read;
            for (std::size_t i = begin; i < begin + got; ++i) {
                const API_Coord3D point = pose.Transformed(ring.x[i], ring.y[i], ring.z[i]);
                if (!ring.Valid(i) || !IsFinite(point)) continue;
                local.Add(point, first);
                first = false;
                ++pointsSoFar;
            }
            records += got;
            if (got < BlockSize) break;
        }
        box = local;
    }
    reader.close();
    points += pointsSoFar;
    return records;
}

void E57Scan::WritePoints(std::uint64_t recordLimit, PointThinning& thinning, PointFileSet& files) const
{
    if (!hasCartesian_) return;
    const e57::CompressedVectorNode cloud(scan_.get("points"));
    const e57::StructureNode prototype = cloud.prototype();
    const ScanColours colours(scan_, prototype);
    FieldRing ring;
    ring.Bind(*file_, "cartesianX", ring.x);
    ring.Bind(*file_, "cartesianY", ring.y);
    ring.Bind(*file_, "cartesianZ", ring.z);
    const char* const fields[] = {"colorRed", "colorGreen", "colorBlue"};
    std::vector<double>* const data[] = {&ring.red, &ring.green, &ring.blue};
    for (int channel = 0; channel < 3; ++channel) {
        if (colours.HasChannel(channel))
            ring.Bind(*file_, fields[channel], *data[channel]);
        else
            data[channel]->assign(SlotRecords * SlotCount, 0.0);
    }
    if (colours.HasIntensity())
        ring.Bind(*file_, "intensity", ring.intensity);
    else
        ring.intensity.assign(SlotRecords * SlotCount, 0.0);
    if (prototype.isDefined("cartesianInvalidState")) ring.BindInvalidState(*file_);
    e57::CompressedVectorReader reader = cloud.reader(ring.buffers);
    {
        ScanReading reading(reader, recordLimit);
        const PoseMatrix pose(pose_);
        std::uint64_t records = 0;
        while (records < recordLimit) {
            const Slot* slot = reading.Next();
            if (slot == nullptr) break;
            const auto used = static_cast<std::size_t>(std::min<std::uint64_t>(slot->records, recordLimit - records));
            records += used;
            // Every step of a point in one loop: its place, its colour, its level, its bytes.
            PointFileSet::Appender appender = files.Reserve(used);
            const double *red = ring.red.data(), *green = ring.green.data(), *blue = ring.blue.data(), *intensity = ring.intensity.data();
            for (std::size_t i = slot->first; i < slot->first + used; ++i) {
                const API_Coord3D point = pose.Transformed(ring.x[i], ring.y[i], ring.z[i]);
                if (!ring.Valid(i) || !IsFinite(point)) continue;
                const API_RGBColor colour = colours.Of(red, green, blue, intensity, i);
                appender.Put(thinning.NextLevel(point), point, colour.f_red, colour.f_green, colour.f_blue);
            }
            files.Commit(appender);
        }
    }
    reader.close();
}
