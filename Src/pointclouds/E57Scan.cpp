#include "pointclouds/E57Scan.hpp"

#include <algorithm>
#include <cmath>
#include <exception>
#include <limits>
#include <utility>
#include <vector>

#include "e57/CompressedVectorNode.hpp"
#include "e57/FloatNode.hpp"
#include "e57/IntegerNode.hpp"
#include "e57/ScaledIntegerNode.hpp"
#include "pointclouds/PoseQuaternion.hpp"
#include "pointclouds/ScanColours.hpp"
#include "pointclouds/SlotWorker.hpp"

namespace
{

// Reads of 40 records gathered into one block that the points are taken from: few
// calls a point. The box's block (20 KB a field) stays in the processor's cache.
constexpr std::size_t BoxReads = 64;
constexpr std::size_t BoxRecords = BoxReads * E57Scan::BlockSize;
// The points' blocks go to the thread that writes them: large, so that the two
// threads seldom wait for each other; four in turn, one being read, one being
// written, one each way in between.
constexpr std::size_t WriteReads = 256;
constexpr std::size_t WriteSlotRecords = WriteReads * E57Scan::BlockSize;
constexpr std::size_t WriteSlots = 4;

double NumberOf(const e57::Node& node)
{
    if (node.is(e57::NodeType::Integer)) return static_cast<double>(e57::IntegerNode(node).value());
    if (node.is(e57::NodeType::ScaledInteger)) return e57::ScaledIntegerNode(node).scaledValue();
    return e57::FloatNode(node).value();
}

double Child(const e57::StructureNode& structure, const char* name) { return NumberOf(structure.get(name)); }

bool IsFinite(const API_Coord3D& p) { return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z); }

// The pose as twelve numbers; a local copy in a loop cannot be changed by its stores.
class PoseMatrix
{
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

// The fields of the blocks side by side, one binding for all their reads:
// coordinates, and colours, intensity and invalid state where the scan has them and
// they are asked for.
struct FieldBlock
{
    explicit FieldBlock(std::size_t records) : records(records) {}

    std::size_t records;
    std::vector<double> x, y, z, red, green, blue, intensity;
    std::vector<std::int64_t> invalid;
    std::vector<e57::SourceDestBuffer> buffers;
    bool invalidBound = false;

    void Bind(const e57::ImageFile& file, const char* field, std::vector<double>& data)
    {
        data.assign(records, 0.0);
        buffers.emplace_back(file, field, data.data(), data.size(), true, true, sizeof(double));
    }

    void BindInvalidState(const e57::ImageFile& file)
    {
        invalid.assign(records, 0);
        buffers.emplace_back(file, "cartesianInvalidState", invalid.data(), invalid.size(), true, true, sizeof(std::int64_t));
        invalidBound = true;
    }
};

// The box while it is taken, as two corners that every valid point widens. An empty
// box starts from the infinities, which the first point replaces on every side.
class Bounds
{
public:
    Bounds(const PointCloudBox& box, bool empty)
    {
        const double infinity = std::numeric_limits<double>::infinity();
        if (empty)
        {
            low_[0] = low_[1] = low_[2] = infinity;
            high_[0] = high_[1] = high_[2] = -infinity;
        }
        else
        {
            low_[0] = box.xMin, low_[1] = box.yMin, low_[2] = box.zMin;
            high_[0] = box.xMax, high_[1] = box.yMax, high_[2] = box.zMax;
        }
    }

    // The records from begin to end in project coordinates; the points taken. The
    // loop does not branch on the data.
    std::size_t Widen(const FieldBlock& fields, std::size_t begin, std::size_t end, const PoseMatrix& pose)
    {
        const double *xs = fields.x.data(), *ys = fields.y.data(), *zs = fields.z.data();
        const std::int64_t* invalid = fields.invalidBound ? fields.invalid.data() : nullptr;
        double lowX = low_[0], lowY = low_[1], lowZ = low_[2], highX = high_[0], highY = high_[1], highZ = high_[2];
        std::size_t taken = 0;
        for (std::size_t i = begin; i < end; ++i)
        {
            const API_Coord3D p = pose.Transformed(xs[i], ys[i], zs[i]);
            const bool valid = (invalid == nullptr || invalid[i] == 0) & IsFinite(p);
            lowX = valid && p.x < lowX ? p.x : lowX;
            lowY = valid && p.y < lowY ? p.y : lowY;
            lowZ = valid && p.z < lowZ ? p.z : lowZ;
            highX = valid && highX < p.x ? p.x : highX;
            highY = valid && highY < p.y ? p.y : highY;
            highZ = valid && highZ < p.z ? p.z : highZ;
            taken += valid;
        }
        low_[0] = lowX, low_[1] = lowY, low_[2] = lowZ, high_[0] = highX, high_[1] = highY, high_[2] = highZ;
        return taken;
    }

    void Into(PointCloudBox& box) const
    {
        box.xMin = low_[0], box.yMin = low_[1], box.zMin = low_[2];
        box.xMax = high_[0], box.yMax = high_[1], box.zMax = high_[2];
    }

private:
    double low_[3];
    double high_[3];
};

// The reads of one block.
struct Slot
{
    std::size_t reads = 0;
    std::size_t records = 0;

    // The records of read k: 40, fewer for the last read of the scan.
    std::size_t RecordsOfRead(std::size_t k) const { return std::min(E57Scan::BlockSize, records - k * E57Scan::BlockSize); }
};

// The scan's records block by block up to the limit, read 40 at a time as the
// import has always read them: a read of fewer than 40 records is the last.
class ScanReading
{
public:
    ScanReading(e57::CompressedVectorReader& reader, std::uint64_t recordLimit, std::size_t readsPerBlock)
        : reader_(reader), limit_(recordLimit), readsPerBlock_(readsPerBlock)
    {}

    // The next block, read into the buffers from record `first` on; nullptr after
    // the last. A read that fails ends the block before it, and its exception comes
    // with the call after: the reads before it are taken first, as when every read
    // was taken on its own.
    const Slot* Next(std::size_t first)
    {
        if (finished_)
        {
            if (error_) std::rethrow_exception(std::exchange(error_, nullptr));
            return nullptr;
        }
        slot_.reads = slot_.records = 0;
        while (slot_.reads < readsPerBlock_ && read_ < limit_)
        {
            std::size_t got = 0;
            try
            {
                got = reader_.read(first + slot_.records, E57Scan::BlockSize);
            }
            catch (...)
            {
                error_ = std::current_exception();
                finished_ = true;
                return &slot_;
            }
            ++slot_.reads;
            slot_.records += got;
            read_ += got;
            if (got < E57Scan::BlockSize)
            {
                finished_ = true;
                return &slot_;
            }
        }
        finished_ = read_ >= limit_;
        return &slot_;
    }

private:
    e57::CompressedVectorReader& reader_;
    std::uint64_t limit_;
    std::size_t readsPerBlock_;
    std::uint64_t read_ = 0;
    bool finished_ = false;
    std::exception_ptr error_;
    Slot slot_;
};

// Every step of a point in one loop: its place, its colour, its level, its bytes.
// The thinning and the appender in locals that nothing else can reach, so that the
// stores of the bytes cannot change them.
void WriteRecords(const FieldBlock& fields, const ScanColours& colours, const PoseMatrix& pose, std::size_t begin,
                  std::size_t end, PointThinning& thinning, PointFileSet& files)
{
    const PointFileSet::Appender reserved = files.Reserve(end - begin);
    PointFileSet::Appender appender = reserved;
    PointThinning levels = thinning;
    const double *xs = fields.x.data(), *ys = fields.y.data(), *zs = fields.z.data();
    const double *red = fields.red.data(), *green = fields.green.data(), *blue = fields.blue.data(),
                 *intensity = fields.intensity.data();
    const std::int64_t* invalid = fields.invalidBound ? fields.invalid.data() : nullptr;
    for (std::size_t i = begin; i < end; ++i)
    {
        const API_Coord3D point = pose.Transformed(xs[i], ys[i], zs[i]);
        if ((invalid != nullptr && invalid[i] != 0) || !IsFinite(point)) continue;
        const API_RGBColor colour = colours.Of(red, green, blue, intensity, i);
        appender.Put(levels.NextLevel(point), point, colour.f_red, colour.f_green, colour.f_blue);
    }
    thinning = levels;
    files.Commit(appender);
}

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
    if (pose.isDefined("rotation"))
    {
        const e57::StructureNode r(pose.get("rotation"));
        quaternion = {Child(r, "w"), Child(r, "x"), Child(r, "y"), Child(r, "z")};
    }
    if (pose.isDefined("translation"))
    {
        const e57::StructureNode t(pose.get("translation"));
        scanner = {Child(t, "x"), Child(t, "y"), Child(t, "z")};
    }
    // A pose that is no number places nothing: the scan is taken as one without a station.
    const bool finite = std::isfinite(quaternion.w) && std::isfinite(quaternion.x) && std::isfinite(quaternion.y) &&
                        std::isfinite(quaternion.z) && IsFinite(scanner);
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
    FieldBlock fields(BoxRecords);
    fields.Bind(*file_, "cartesianX", fields.x);
    fields.Bind(*file_, "cartesianY", fields.y);
    fields.Bind(*file_, "cartesianZ", fields.z);
    if (cloud.prototype().isDefined("cartesianInvalidState")) fields.BindInvalidState(*file_);
    e57::CompressedVectorReader reader = cloud.reader(fields.buffers);
    std::uint64_t records = 0, pointsSoFar = 0;
    {
        ScanReading reading(reader, UINT64_MAX, BoxReads);
        const PoseMatrix pose(pose_);
        // Before the first point of all the box is empty: every point widens it.
        const bool empty = points == 0;
        Bounds bounds(box, empty);
        const Slot* slot = nullptr;
        std::size_t read = 0;
        while (beforeBlock(pointsSoFar))
        {
            while (slot == nullptr || read == slot->reads)
            {
                slot = reading.Next(0);
                read = 0;
                if (slot == nullptr) break;
            }
            if (slot == nullptr) break;
            const std::size_t got = slot->RecordsOfRead(read);
            const std::size_t begin = read * BlockSize;
            ++read;
            pointsSoFar += bounds.Widen(fields, begin, begin + got, pose);
            records += got;
            if (got < BlockSize) break;
        }
        if (!empty || pointsSoFar > 0) bounds.Into(box);
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
    FieldBlock fields(WriteSlots * WriteSlotRecords);
    fields.Bind(*file_, "cartesianX", fields.x);
    fields.Bind(*file_, "cartesianY", fields.y);
    fields.Bind(*file_, "cartesianZ", fields.z);
    const char* const names[] = {"colorRed", "colorGreen", "colorBlue"};
    std::vector<double>* const data[] = {&fields.red, &fields.green, &fields.blue};
    for (int channel = 0; channel < 3; ++channel)
    {
        if (colours.HasChannel(channel))
            fields.Bind(*file_, names[channel], *data[channel]);
        else
            data[channel]->assign(fields.records, 0.0);
    }
    if (colours.HasIntensity())
        fields.Bind(*file_, "intensity", fields.intensity);
    else
        fields.intensity.assign(fields.records, 0.0);
    if (prototype.isDefined("cartesianInvalidState")) fields.BindInvalidState(*file_);
    e57::CompressedVectorReader reader = cloud.reader(fields.buffers);
    {
        const PoseMatrix pose(pose_);
        std::size_t used[WriteSlots] {};
        // The points go into the files on a thread of their own while the next
        // blocks are read; only that thread touches the files and the thinning
        // until it has finished.
        SlotWorker writer(WriteSlots, [&](std::size_t slot) {
            const std::size_t first = slot * WriteSlotRecords;
            WriteRecords(fields, colours, pose, first, first + used[slot], thinning, files);
        });
        ScanReading reading(reader, recordLimit, WriteReads);
        std::uint64_t records = 0;
        while (records < recordLimit)
        {
            const std::size_t slot = writer.NextFree();
            const Slot* filled = reading.Next(slot * WriteSlotRecords);
            if (filled == nullptr) break;
            used[slot] = static_cast<std::size_t>(std::min<std::uint64_t>(filled->records, recordLimit - records));
            records += used[slot];
            writer.HandOver();
        }
        writer.Finish();
    }
    reader.close();
}
