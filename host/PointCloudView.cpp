#include "PointCloudView.hpp"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "Graphics/NativeImage.hpp"
#include "Graphics/PngWriter.hpp"
#include "PerspectivePicture.hpp"
#include "ProjectFile.hpp"

namespace fs = std::filesystem;

namespace SimHost
{

namespace
{

constexpr std::size_t PointFileHeader = 32;
constexpr std::size_t PointRecord = 15;

struct PointFile
{
    std::string name;
    std::size_t points = 0;
    bool readable = false;
};

struct PlacedCloud
{
    std::string part;
    std::vector<PointFile> files;
};

// The point files named by the active (not commented) point-cloud calls.
std::vector<std::string> ActivePointFiles(const std::string& script)
{
    std::vector<std::string> files;
    std::istringstream lines(script);
    for (std::string line; std::getline(lines, line);)
    {
        const auto start = line.find_first_not_of(" \t");
        if (start == std::string::npos || line.compare(start, 10, "POINTCLOUD") != 0) continue;
        const auto open = line.find('"', start);
        const auto close = open == std::string::npos ? open : line.find('"', open + 1);
        if (close != std::string::npos) files.push_back(line.substr(open + 1, close - open - 1));
    }
    return files;
}

template <typename T>
T ReadLittle(const char* bytes)
{
    T value;
    std::memcpy(&value, bytes, sizeof value);
    return value;
}

// Adds the file's points at the object's place, its base at the given height;
// false when it is no point file.
bool ReadPointFile(const std::string& path, const API_ObjectType& object, double baseHeight, std::vector<ColouredPoint>* points,
                   std::size_t& count)
{
    std::ifstream in(path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (bytes.size() < PointFileHeader || bytes.compare(0, 4, "GSPC") != 0 || (bytes.size() - PointFileHeader) % PointRecord != 0)
        return false;
    count = (bytes.size() - PointFileHeader) / PointRecord;
    if (points == nullptr) return true;
    const double c = std::cos(object.angle), s = std::sin(object.angle);
    for (std::size_t i = 0; i < count; ++i)
    {
        const char* record = bytes.data() + PointFileHeader + i * PointRecord;
        const double dx = ReadLittle<float>(record), dy = ReadLittle<float>(record + 4), dz = ReadLittle<float>(record + 8);
        const auto* rgb = reinterpret_cast<const std::uint8_t*>(record + 12);
        points->push_back({{object.position.x + dx * c - dy * s, object.position.y + dx * s + dy * c, baseHeight + dz},
                           Gfx::Color(rgb[0], rgb[1], rgb[2])});
    }
    return true;
}

// The 3D window shows a cloud only while its "show3D" parameter is 1.
bool ShownIn3D(const StoredElement& element)
{
    for (const API_AddParType& parameter : element.memo.params)
        if (std::strcmp(parameter.name, "show3D") == 0) return parameter.value == 1.0;
    return false;
}

enum class Shown
{
    All,
    In3D
};

std::vector<PlacedCloud> Clouds(const ProjectModel& model, std::vector<ColouredPoint>* points, Shown shown = Shown::All)
{
    std::vector<PlacedCloud> clouds;
    for (const StoredElement& element : model.content.elements)
    {
        const LibraryPartEntry* part = model.LibraryPartOf(element.record);
        const LibraryPartSection* script = part == nullptr ? nullptr : part->Section(FourCC("3DSC"), 0);
        if (element.record.header.typeID != API_ObjectID || script == nullptr) continue;
        if (shown == Shown::In3D && !ShownIn3D(element)) continue;
        const std::vector<std::string> names = ActivePointFiles(std::string(script->bytes.begin(), script->bytes.end()));
        if (names.empty()) continue;
        PlacedCloud cloud {part->name, {}};
        for (const std::string& name : names)
        {
            PointFile file {name, 0, false};
            const std::string path = (fs::path(part->path).parent_path() / name).string();
            const double base = model.StoreyLevel(element.record.header.floorInd) + element.record.object.elevation;
            file.readable = ReadPointFile(path, element.record.object, base, points, file.points);
            cloud.files.push_back(file);
        }
        clouds.push_back(cloud);
    }
    return clouds;
}

bool WriteCloudPicture(const ProjectModel& model, const std::string& path, std::uint32_t pixels, std::string& error)
{
    std::vector<ColouredPoint> points;
    Clouds(model, &points);
    if (points.empty())
    {
        error = "no point clouds to show";
        return false;
    }
    double xMin = points[0].position.x, xMax = xMin, yMin = points[0].position.y, yMax = yMin;
    for (const ColouredPoint& point : points)
    {
        const auto& p = point.position;
        xMin = std::min(xMin, p.x), xMax = std::max(xMax, p.x);
        yMin = std::min(yMin, p.y), yMax = std::max(yMax, p.y);
    }
    // The longer side of the clouds' extent takes the pixels given.
    const double span = std::max({xMax - xMin, yMax - yMin, 1e-9});
    const double scale = (pixels - 1) / span;
    const auto width = static_cast<std::uint32_t>((xMax - xMin) * scale) + 1;
    const auto height = static_cast<std::uint32_t>((yMax - yMin) * scale) + 1;
    NewDisplay::NativeImage image(width, height);
    for (std::uint32_t y = 0; y < height; ++y)
        for (std::uint32_t x = 0; x < width; ++x) image.BlendPixel(std::int32_t(x), std::int32_t(y), Gfx::Color(32, 32, 32));
    for (const ColouredPoint& p : points)
        image.BlendPixel(static_cast<std::int32_t>((p.position.x - xMin) * scale),
                         static_cast<std::int32_t>((yMax - p.position.y) * scale), p.color);
    return NewDisplay::WritePngFile(image, path, &error);
}

// The 3D window as its sight's camera sees the clouds it shows.
bool Write3DWindowPicture(const Host& host, const std::string& path, std::uint32_t width, std::uint32_t height,
                          std::string& error)
{
    std::vector<ColouredPoint> points;
    Clouds(host.model_, &points, Shown::In3D);
    if (points.empty())
    {
        error = "no point clouds shown in 3D";
        return false;
    }
    return WritePerspectivePicture(host.window3D_.GetCamera(), points, width, height, path, error);
}

}  // namespace

void AddPointCloudViewVerbs(ScenarioVerbs& verbs)
{
    verbs["cloud-png"] = [](Scenario& s, std::istringstream& args) {
        Host* host = s.GetHost();
        std::string file;
        std::uint32_t pixels = 512;
        if (host == nullptr) return s.Fail("this action needs a started host");
        if (!(args >> file) || !Scenario::OptionalNumber(args, pixels, std::uint32_t {16}, std::uint32_t {4096}))
            return s.Fail("cloud-png <file> [pixels]");
        std::string error;
        return WriteCloudPicture(host->model_, WorkPath(*host, file), pixels, error) || s.Fail(error);
    };
    verbs["png-3d"] = [](Scenario& s, std::istringstream& args) {
        Host* host = s.GetHost();
        std::string file;
        std::uint32_t width = 640, height = 480;
        if (host == nullptr) return s.Fail("this action needs a started host");
        if (!(args >> file) || !Scenario::OptionalNumber(args, width, std::uint32_t {16}, std::uint32_t {4096}) ||
            !Scenario::OptionalNumber(args, height, std::uint32_t {16}, std::uint32_t {4096}))
            return s.Fail("png-3d <file> [<width> [<height>]]");
        std::string error;
        return Write3DWindowPicture(*host, WorkPath(*host, file), width, height, error) || s.Fail(error);
    };
}

void AddPointCloudViewFacts(const Host& host, Facts& facts)
{
    std::string text;
    for (const PlacedCloud& cloud : Clouds(host.model_, nullptr))
    {
        text += (text.empty() ? "" : " | ") + cloud.part + ":";
        for (const PointFile& file : cloud.files)
            text += " " + file.name + "=" + (file.readable ? std::to_string(file.points) : std::string("missing"));
    }
    facts["clouds"] = text.empty() ? "none" : text;
}

}  // namespace SimHost
