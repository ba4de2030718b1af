#include "pointclouds/E57Scan.hpp"

#include <algorithm>
#include <cmath>
#include <exception>
#include <utility>
#include <vector>

#include "e57/CompressedVectorNode.hpp"
#include "e57/FloatNode.hpp"
#include "e57/IntegerNode.hpp"
#include "e57/ScaledIntegerNode.hpp"
#include "framework/FiniteCoord.hpp"
#include "pointclouds/PartPool.hpp"
#include "pointclouds/PoseMatrix.hpp"
#include "pointclouds/PoseQuaternion.hpp"
#include "pointclouds/ScanBounds.hpp"
#include "pointclouds/ScanColours.hpp"
#include "pointclouds/SlotWorker.hpp"

namespace
{

// The box's block, 64 blocks of 40 read at once: 20 KB a field, which stays in the
// processor's cache.
constexpr std::size_t BoxRecords = 64 * E57Scan::BlockSize;
// The points' blocks go to the thread that writes them: large, so that the two
// threads seldom wait for each other; four in turn, one being read, one being
// written, one each way in between. With their eight fields they take 5 MB.
constexpr std::size_t WriteSlotRecords = 512 * E57Scan::BlockSize;
constexpr std::size_t WriteSlots = 4;
// Each block is written in parts side by side, beside the threads that read the
// blocks and send the bytes to the files.
constexpr std::size_t BusyThreads = 3;
constexpr std::size_t MaxWriteHelpers = 3;

double NumberOf(const e57::Node& node)
{
    if (node.is(e57::NodeType::Integer)) return static_cast<double>(e57::IntegerNode(node).value());
    if (node.is(e57::NodeType::ScaledInteger)) return e57::ScaledIntegerNode(node).scaledValue();
    return e57::FloatNode(node).value();
}

double Child(const e57::StructureNode& structure, const char* name) { return NumberOf(structure.get(name)); }

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

// The scan's records up to the limit, a block of them with each read: a read of few
// records costs the reader nearly as much as one of many. A read that fails gives
// the scan up at once.
class ScanReading
{
public:
    ScanReading(e57::CompressedVectorReader& reader, std::uint64_t recordLimit, std::size_t blockRecords)
        : reader_(reader), limit_(recordLimit), blockRecords_(blockRecords)
    {}

    // The records of the next block, read into the buffers from record `first` on;
    // 0 after the last.
    std::size_t Next(std::size_t first)
    {
        if (read_ >= limit_) return 0;
        const auto wanted = static_cast<std::size_t>(std::min<std::uint64_t>(blockRecords_, limit_ - read_));
        const std::size_t got = reader_.read(first, wanted);
        // Fewer than asked for: the scan has no more.
        read_ = got < wanted ? limit_ : read_ + got;
        return got;
    }

private:
    e57::CompressedVectorReader& reader_;
    std::uint64_t limit_;
    std::size_t blockRecords_;
    std::uint64_t read_ = 0;
};

// The points of a block go into the files in parts side by side. First each part
// tallies its points by the thinning's counters: that gives every part the thinning
// it starts from and its place in each level's file. Then each part puts its points
// there, every step of a point in one loop: its place, its colour, its level, its
// bytes.
class BlockWriter
{
public:
    BlockWriter(const FieldBlock& fields, const ScanColours& colours, const PoseMatrix& pose, PartPool& pool)
        : fields_(fields), colours_(colours), pose_(pose), pool_(pool), tallies_(pool.Parts()), appenders_(pool.Parts())
    {
        starts_.reserve(pool.Parts());
    }

    void Write(std::size_t begin, std::size_t end, PointThinning& thinning, PointFileSet& files)
    {
        const std::size_t parts = pool_.Parts();
        const auto range = [=](std::size_t part) {
            return std::make_pair(begin + (end - begin) * part / parts, begin + (end - begin) * (part + 1) / parts);
        };
        pool_.Run([&](std::size_t part) {
            const auto [first, last] = range(part);
            tallies_[part] = Tally(first, last, thinning);
        });
        PointFileSet::Appender appender = files.Reserve(end - begin);

        starts_.clear();
        for (std::size_t part = 0; part < parts; ++part)
        {
            starts_.push_back(thinning);
            appenders_[part] = appender;
            appender.Skip(thinning.LevelCounts(tallies_[part]));
            thinning.Skip(tallies_[part]);
        }
        pool_.Run([&](std::size_t part) {
            const auto [first, last] = range(part);
            Put(first, last, starts_[part], appenders_[part]);
        });
        files.Commit(appender);
    }

private:
    PointThinning::Tally Tally(std::size_t begin, std::size_t end, const PointThinning& thinning) const
    {
        PointThinning::Tally tally;
        const PoseMatrix pose = pose_;
        const double *xs = fields_.x.data(), *ys = fields_.y.data(), *zs = fields_.z.data();
        const std::int64_t* invalid = fields_.invalidBound ? fields_.invalid.data() : nullptr;
        for (std::size_t i = begin; i < end; ++i)
        {
            const API_Coord3D point = pose.Transformed(xs[i], ys[i], zs[i]);
            if (GivesPoint(invalid, i, point)) thinning.Count(point, tally);
        }
        return tally;
    }

    // Everything the loop reads in locals that nothing else can reach, so that the
    // stores of the bytes cannot change them.
    void Put(std::size_t begin, std::size_t end, PointThinning levels, PointFileSet::Appender appender) const
    {
        const PoseMatrix pose = pose_;
        const ScanColours colours = colours_;
        const double *xs = fields_.x.data(), *ys = fields_.y.data(), *zs = fields_.z.data();
        const double *red = fields_.red.data(), *green = fields_.green.data(), *blue = fields_.blue.data(),
                     *intensity = fields_.intensity.data();
        const std::int64_t* invalid = fields_.invalidBound ? fields_.invalid.data() : nullptr;
        for (std::size_t i = begin; i < end; ++i)
        {
            const API_Coord3D point = pose.Transformed(xs[i], ys[i], zs[i]);
            if (!GivesPoint(invalid, i, point)) continue;
            const API_RGBColor colour = colours.Of(red, green, blue, intensity, i);
            appender.Put(levels.NextLevel(point), point, colour.f_red, colour.f_green, colour.f_blue);
        }
    }

    const FieldBlock& fields_;
    const ScanColours& colours_;
    const PoseMatrix& pose_;
    PartPool& pool_;
    std::vector<PointThinning::Tally> tallies_;
    std::vector<PointThinning> starts_;
    std::vector<PointFileSet::Appender> appenders_;
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
        ScanReading reading(reader, UINT64_MAX, BoxRecords);
        const PoseMatrix pose(pose_);
        // Before the first point of all the box is empty: every point widens it.
        const bool empty = points == 0;
        ScanBounds bounds(box, empty);
        const std::int64_t* invalid = fields.invalidBound ? fields.invalid.data() : nullptr;
        // The records in the block read and where its next 40 start: the user is
        // asked before every 40, as if each were read on its own.
        std::size_t inBlock = 0, next = 0;
        while (beforeBlock(pointsSoFar))
        {
            if (next == inBlock)
            {
                inBlock = reading.Next(0);
                next = 0;
                if (inBlock == 0) break;
            }
            const std::size_t got = std::min(BlockSize, inBlock - next);
            pointsSoFar += bounds.Widen(fields.x.data(), fields.y.data(), fields.z.data(), invalid, next, next + got, pose);
            records += got;
            next += got;
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
        // The points go into the files on a thread of their own, with its helpers,
        // while the next blocks are read; only those threads touch the files and
        // the thinning until the writing has finished.
        PartPool pool(PartPool::HelpersBeside(BusyThreads, MaxWriteHelpers));
        BlockWriter blocks(fields, colours, pose, pool);
        SlotWorker writer(WriteSlots, [&](std::size_t slot) {
            const std::size_t first = slot * WriteSlotRecords;
            blocks.Write(first, first + used[slot], thinning, files);
        });
        ScanReading reading(reader, recordLimit, WriteSlotRecords);
        for (;;)
        {
            const std::size_t slot = writer.NextFree();
            used[slot] = reading.Next(slot * WriteSlotRecords);
            if (used[slot] == 0) break;
            writer.HandOver();
        }
        writer.Finish();
    }
    reader.close();
}
