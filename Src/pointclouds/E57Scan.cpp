#include "pointclouds/E57Scan.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "e57/CompressedVectorNode.hpp"
#include "e57/FloatNode.hpp"
#include "e57/IntegerNode.hpp"
#include "e57/ScaledIntegerNode.hpp"
#include "pointclouds/PoseQuaternion.hpp"
#include "pointclouds/ScanColours.hpp"

namespace {

using Block = std::array<double, E57Scan::BlockSize>;

double NumberOf(const e57::Node& node)
{
    if (node.is(e57::NodeType::Integer)) return static_cast<double>(e57::IntegerNode(node).value());
    if (node.is(e57::NodeType::ScaledInteger)) return e57::ScaledIntegerNode(node).scaledValue();
    return e57::FloatNode(node).value();
}

double Child(const e57::StructureNode& structure, const char* name) { return NumberOf(structure.get(name)); }

bool IsFinite(const API_Coord3D& p) { return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z); }

// The buffers of one reading: coordinates, and colours, intensity and invalid state
// where the scan has them and they are asked for.
struct ReadBlock {
    Block x {}, y {}, z {};
    Block red {}, green {}, blue {}, intensity {};
    std::array<std::int64_t, E57Scan::BlockSize> invalid {};
    std::vector<e57::SourceDestBuffer> buffers;
    bool invalidBound = false;

    void Bind(const e57::ImageFile& file, const char* field, double* data)
    {
        buffers.emplace_back(file, field, data, E57Scan::BlockSize, true, true, sizeof(double));
    }
};

// The pose as twelve numbers, applied to whole arrays of coordinates.
class PoseMatrix {
public:
    explicit PoseMatrix(const TRANMAT& pose)
    {
        for (int row = 0; row < 3; ++row)
            for (int column = 0; column < 4; ++column) m_[row][column] = pose.matrix.Get(row, column);
    }

    // In place; the entries in locals, so that the stores cannot change them and the
    // compiler vectorizes the loop.
    void Apply(double* x, double* y, double* z, std::size_t count) const
    {
        const double m00 = m_[0][0], m01 = m_[0][1], m02 = m_[0][2], m03 = m_[0][3];
        const double m10 = m_[1][0], m11 = m_[1][1], m12 = m_[1][2], m13 = m_[1][3];
        const double m20 = m_[2][0], m21 = m_[2][1], m22 = m_[2][2], m23 = m_[2][3];
        for (std::size_t i = 0; i < count; ++i) {
            const double px = x[i], py = y[i], pz = z[i];
            x[i] = m00 * px + m01 * py + m02 * pz + m03;
            y[i] = m10 * px + m11 * py + m12 * pz + m13;
            z[i] = m20 * px + m21 * py + m22 * pz + m23;
        }
    }

    API_Coord3D Transformed(double x, double y, double z) const
    {
        return {m_[0][0] * x + m_[0][1] * y + m_[0][2] * z + m_[0][3], m_[1][0] * x + m_[1][1] * y + m_[1][2] * z + m_[1][3],
                m_[2][0] * x + m_[2][1] * y + m_[2][2] * z + m_[2][3]};
    }

private:
    double m_[3][4];
};

// One block's records as points in project coordinates; records marked invalid and
// points that are no numbers are left out. Returns the points taken. With colours the
// block's arrays are worked on in place first, then the points that stay are gathered;
// for the coordinates alone one loop does both, which is faster.
template <bool WithColours, bool InvalidBound>
std::size_t TakeBlock(ReadBlock& block, std::size_t used, const PoseMatrix& pose, const ScanColours& colours, CloudPoint* taken)
{
    // A local copy: the stores into the points cannot change it.
    const PoseMatrix local = pose;
    if (WithColours) {
        local.Apply(block.x.data(), block.y.data(), block.z.data(), used);
        colours.Components(block.red.data(), block.green.data(), block.blue.data(), block.intensity.data(), used);
    }
    // Every record is written to the next free place and counted only when it stays:
    // the loop does not branch on the data.
    std::size_t count = 0;
    for (std::size_t i = 0; i < used; ++i) {
        CloudPoint& point = taken[count];
        point.position = WithColours ? API_Coord3D {block.x[i], block.y[i], block.z[i]} : local.Transformed(block.x[i], block.y[i], block.z[i]);
        if (WithColours) point.colour = {block.red[i], block.green[i], block.blue[i]};
        const bool valid = !InvalidBound || block.invalid[i] == 0;
        count += static_cast<std::size_t>(valid & IsFinite(point.position));
    }
    return count;
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
    hasPose_ = scan_.isDefined("pose");
    if (!hasPose_) return;
    const e57::StructureNode pose(scan_.get("pose"));
    TRANMAT rotation, translation;
    Geometry::TMIdentity(&rotation);
    Geometry::TMIdentity(&translation);
    if (pose.isDefined("rotation")) {
        const e57::StructureNode r(pose.get("rotation"));
        PoseQuaternion {Child(r, "w"), Child(r, "x"), Child(r, "y"), Child(r, "z")}.ToMatrix(rotation);
    }
    if (pose.isDefined("translation")) {
        const e57::StructureNode t(pose.get("translation"));
        scanner_ = {Child(t, "x"), Child(t, "y"), Child(t, "z")};
        if (!IsFinite(scanner_)) scanner_ = {};
        Geometry::TMTranslation(&translation, scanner_.x, scanner_.y, scanner_.z);
    }
    Geometry::TMComposeTransformations(&rotation, &translation, &pose_);
}

std::uint64_t E57Scan::RecordCount() const
{
    return static_cast<std::uint64_t>(e57::CompressedVectorNode(scan_.get("points")).childCount());
}

std::uint64_t E57Scan::Read(bool withColours, std::uint64_t recordLimit, CloudPointSink& sink, const BeforeBlock& beforeBlock) const
{
    if (!hasCartesian_) return 0;
    const e57::CompressedVectorNode points(scan_.get("points"));
    const e57::StructureNode prototype = points.prototype();
    const ScanColours colours(scan_, prototype);
    ReadBlock block;
    block.Bind(*file_, "cartesianX", block.x.data());
    block.Bind(*file_, "cartesianY", block.y.data());
    block.Bind(*file_, "cartesianZ", block.z.data());
    if (withColours) {
        const char* const fields[] = {"colorRed", "colorGreen", "colorBlue"};
        Block* const data[] = {&block.red, &block.green, &block.blue};
        for (int channel = 0; channel < 3; ++channel)
            if (colours.HasChannel(channel)) block.Bind(*file_, fields[channel], data[channel]->data());
        if (colours.HasIntensity()) block.Bind(*file_, "intensity", block.intensity.data());
    }
    if (prototype.isDefined("cartesianInvalidState")) {
        block.buffers.emplace_back(*file_, "cartesianInvalidState", block.invalid.data(), BlockSize, true, true, sizeof(std::int64_t));
        block.invalidBound = true;
    }
    e57::CompressedVectorReader reader = points.reader(block.buffers);
    // Chosen once per scan, so the loop over the points holds no test that cannot change.
    const auto take = withColours ? (block.invalidBound ? &TakeBlock<true, true> : &TakeBlock<true, false>)
                                  : (block.invalidBound ? &TakeBlock<false, true> : &TakeBlock<false, false>);
    const PoseMatrix pose(pose_);
    std::array<CloudPoint, BlockSize> taken;
    std::uint64_t records = 0, pointsSoFar = 0;
    while (records < recordLimit && beforeBlock(pointsSoFar)) {
        const std::size_t read = reader.read();
        const auto used = static_cast<std::size_t>(std::min<std::uint64_t>(read, recordLimit - records));
        const std::size_t count = take(block, used, pose, colours, taken.data());
        records += used;
        pointsSoFar += count;
        if (count > 0) sink.Take(taken.data(), count);
        if (read < BlockSize) break;
    }
    reader.close();
    return records;
}
