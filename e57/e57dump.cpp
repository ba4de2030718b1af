// e57dump FILE: each scan of an E57 file with labelled figures: its records, fields
// and pose, and the bounds and sums of its valid Cartesian points as stored (in the
// scan's own frame; the pose is not applied).
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <exception>
#include <initializer_list>
#include <limits>
#include <new>
#include <string>
#include <vector>

#include "e57/CompressedVectorNode.hpp"
#include "e57/E57Exception.hpp"
#include "e57/FloatNode.hpp"
#include "e57/ImageFile.hpp"
#include "e57/IntegerNode.hpp"
#include "e57/ScaledIntegerNode.hpp"
#include "e57/VectorNode.hpp"

namespace {

constexpr std::size_t kBlock = 10000;

constexpr const char* kUsage =
    "usage: e57dump FILE\n"
    "Prints each scan of the E57 file FILE: its records, fields and pose (rotation as a\n"
    "quaternion w x y z, translation x y z), and the bounds, count and sums of its valid\n"
    "Cartesian points (neither flagged invalid nor NaN) as stored, in the scan's own frame.\n"
    "A file that cannot be read is refused with the reason (exit status 1).\n";

std::string fieldList(const e57::StructureNode& prototype, const std::string& prefix = "") {
    std::string list;
    for (std::int64_t i = 0; i < prototype.childCount(); ++i) {
        const e57::Node field = prototype.get(i);
        const std::string name = prefix + field.elementName();
        std::string entry = field.is(e57::NodeType::Structure) ? fieldList(e57::StructureNode(field), name + "/")
                                                               : name + ":" + e57::nodeTypeName(field.type());
        if (entry.empty()) continue;
        if (!list.empty()) list += ',';
        list += entry;
    }
    return list;
}

double numberOf(const e57::Node& node) {
    if (node.is(e57::NodeType::Integer)) return static_cast<double>(e57::IntegerNode(node).value());
    if (node.is(e57::NodeType::ScaledInteger)) return e57::ScaledIntegerNode(node).scaledValue();
    return e57::FloatNode(node).value();
}

std::string numbers(const e57::StructureNode& parent, const char* name, std::initializer_list<const char*> children) {
    if (!parent.isDefined(name)) return "none";
    const e57::StructureNode structure(parent.get(name));
    std::string text;
    for (const char* child : children) {
        char number[32];
        std::snprintf(number, sizeof number, "%.9g", numberOf(structure.get(child)));
        if (!text.empty()) text += ' ';
        text += number;
    }
    return text;
}

void printPose(const e57::StructureNode& scan) {
    if (!scan.isDefined("pose")) {
        std::printf("  pose: none\n");
        return;
    }
    const e57::StructureNode pose(scan.get("pose"));
    std::printf("  pose: rotation (w x y z) %s, translation (x y z) %s\n",
                numbers(pose, "rotation", {"w", "x", "y", "z"}).c_str(),
                numbers(pose, "translation", {"x", "y", "z"}).c_str());
}

void printBounds(const e57::ImageFile& file, const e57::CompressedVectorNode& points, bool posed) {
    const e57::StructureNode prototype = points.prototype();
    std::vector<double> x(kBlock), y(kBlock), z(kBlock);
    std::vector<std::int64_t> state(kBlock, 0);
    std::vector<e57::SourceDestBuffer> buffers{{file, "cartesianX", x.data(), kBlock, true, true},
                                               {file, "cartesianY", y.data(), kBlock, true, true},
                                               {file, "cartesianZ", z.data(), kBlock, true, true}};
    if (prototype.isDefined("cartesianInvalidState"))
        buffers.emplace_back(file, "cartesianInvalidState", state.data(), kBlock, true, true);

    constexpr double kInf = std::numeric_limits<double>::infinity();
    std::array<double, 6> bounds{kInf, -kInf, kInf, -kInf, kInf, -kInf};
    std::array<double, 3> sum{0.0, 0.0, 0.0};
    std::uint64_t valid = 0;
    e57::CompressedVectorReader reader = points.reader(buffers);
    while (const std::size_t count = reader.read()) {
        for (std::size_t i = 0; i < count; ++i) {
            const double point[3] = {x[i], y[i], z[i]};
            if (state[i] != 0 || !std::isfinite(point[0]) || !std::isfinite(point[1]) || !std::isfinite(point[2]))
                continue;
            for (int axis = 0; axis < 3; ++axis) {
                bounds[2 * axis] = std::min(bounds[2 * axis], point[axis]);
                bounds[2 * axis + 1] = std::max(bounds[2 * axis + 1], point[axis]);
                sum[axis] += point[axis];
            }
            ++valid;
        }
    }
    reader.close();
    std::printf("  valid points: %llu, sum x %.9g y %.9g z %.9g\n", static_cast<unsigned long long>(valid), sum[0],
                sum[1], sum[2]);
    if (valid == 0) return;
    std::printf("  bounds, in %s: x %.9g .. %.9g, y %.9g .. %.9g, z %.9g .. %.9g\n",
                posed ? "the scan's own frame (pose not applied)" : "the file's frame (no pose)", bounds[0], bounds[1],
                bounds[2], bounds[3], bounds[4], bounds[5]);
}

bool hasAll(const e57::StructureNode& prototype, std::initializer_list<const char*> names) {
    return std::all_of(names.begin(), names.end(), [&](const char* name) { return prototype.isDefined(name); });
}

void dumpScan(const e57::ImageFile& file, std::int64_t index, const e57::StructureNode& scan) {
    const e57::CompressedVectorNode points(scan.get("points"));
    const e57::StructureNode prototype = points.prototype();
    std::printf("scan %lld: records %lld\n", static_cast<long long>(index),
                static_cast<long long>(points.childCount()));
    std::printf("  fields: %s\n", fieldList(prototype).c_str());
    printPose(scan);
    if (hasAll(prototype, {"cartesianX", "cartesianY", "cartesianZ"}))
        printBounds(file, points, scan.isDefined("pose"));
    else if (hasAll(prototype, {"sphericalRange", "sphericalAzimuth", "sphericalElevation"}))
        std::printf("  no Cartesian coordinates (spherical only): no bounds\n");
    else
        std::printf("  no Cartesian coordinates: no bounds\n");
}

// A child of the root that is no Vector holds nothing, as the import sees it.
std::int64_t vectorSize(const e57::StructureNode& root, const char* path) {
    if (!root.isDefined(path) || !root.get(path).is(e57::NodeType::Vector)) return 0;
    return e57::VectorNode(root.get(path)).childCount();
}

void dumpFile(const char* path) {
    e57::ImageFile file(path, "r", e57::ImageFile::kChecksumAll);
    const e57::StructureNode root = file.root();
    const std::int64_t scans = vectorSize(root, "/data3D");
    if (scans == 0) std::printf("no scans, images: %lld\n", static_cast<long long>(vectorSize(root, "/images2D")));
    for (std::int64_t i = 0; i < scans; ++i)
        dumpScan(file, i, e57::StructureNode(e57::VectorNode(root.get("/data3D")).get(i)));
    file.close();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (argc != 2 || argv[1][0] == '-') {
        std::fputs(kUsage, stderr);
        return 2;
    }
    try {
        dumpFile(argv[1]);
    } catch (const e57::E57Exception& error) {
        std::fflush(stdout);
        std::fprintf(stderr, "e57dump: %s\n", error.what());
        return 1;
    } catch (const std::bad_alloc&) {
        std::fflush(stdout);
        std::fprintf(stderr, "e57dump: %s: not enough memory to read the file\n", argv[1]);
        return 1;
    } catch (const std::exception& error) {
        std::fflush(stdout);
        std::fprintf(stderr, "e57dump: %s: %s\n", argv[1], error.what());
        return 1;
    }
    return 0;
}
