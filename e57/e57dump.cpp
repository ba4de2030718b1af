// e57dump FILE: one summary line per scan, and the bounds and sums of its valid
// Cartesian points as decoded (pose not applied).
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <limits>
#include <new>
#include <string>
#include <vector>

#include "e57/CompressedVectorNode.hpp"
#include "e57/E57Exception.hpp"
#include "e57/ImageFile.hpp"
#include "e57/VectorNode.hpp"

namespace {

constexpr std::size_t kBlock = 10000;

std::string fieldList(const e57::StructureNode& prototype, const std::string& prefix = "") {
    std::string list;
    for (std::int64_t i = 0; i < prototype.childCount(); ++i) {
        const e57::Node field = prototype.get(i);
        const std::string name = prefix + field.elementName();
        std::string entry = field.is(e57::NodeType::Structure)
                                ? fieldList(e57::StructureNode(field), name + "/")
                                : name + ":" + e57::nodeTypeName(field.type());
        if (entry.empty()) continue;
        if (!list.empty()) list += ',';
        list += entry;
    }
    return list;
}

void printBounds(const e57::ImageFile& file, const e57::CompressedVectorNode& points) {
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
            if (state[i] != 0) continue;
            const double point[3] = {x[i], y[i], z[i]};
            for (int axis = 0; axis < 3; ++axis) {
                bounds[2 * axis] = std::min(bounds[2 * axis], point[axis]);
                bounds[2 * axis + 1] = std::max(bounds[2 * axis + 1], point[axis]);
                sum[axis] += point[axis];
            }
            ++valid;
        }
    }
    reader.close();
    if (valid == 0) {
        std::printf("bounds empty sum 0 0 0\n");
        return;
    }
    std::printf("bounds %.9g %.9g %.9g %.9g %.9g %.9g sum %.9g %.9g %.9g\n", bounds[0], bounds[1], bounds[2],
                bounds[3], bounds[4], bounds[5], sum[0], sum[1], sum[2]);
}

void dumpScan(const e57::ImageFile& file, std::int64_t index, const e57::StructureNode& scan) {
    const e57::CompressedVectorNode points(scan.get("points"));
    const e57::StructureNode prototype = points.prototype();
    std::printf("scan %lld records %lld fields %s pose %s\n", static_cast<long long>(index),
                static_cast<long long>(points.childCount()), fieldList(prototype).c_str(),
                scan.isDefined("pose") ? "yes" : "no");
    if (prototype.isDefined("cartesianX") && prototype.isDefined("cartesianY") && prototype.isDefined("cartesianZ"))
        printBounds(file, points);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: e57dump FILE\n");
        return 2;
    }
    try {
        e57::ImageFile file(argv[1], "r", e57::ImageFile::kChecksumAll);
        const e57::StructureNode root = file.root();
        // A /data3D that is no Vector holds no scans, as the import sees it.
        if (root.isDefined("/data3D") && root.get("/data3D").is(e57::NodeType::Vector)) {
            const e57::VectorNode scans(root.get("/data3D"));
            for (std::int64_t i = 0; i < scans.childCount(); ++i) dumpScan(file, i, e57::StructureNode(scans.get(i)));
        }
        file.close();
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
