#include "PictureElements.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <map>
#include <memory>

#include "GX/ImageBase.hpp"
#include "Graphics/NativeImage.hpp"
#include "Graphics/PngWriter.hpp"
#include "NumberText.hpp"
#include "ProjectFile.hpp"
#include "ViewDatabases.hpp"

namespace SimHost
{

namespace
{

constexpr std::size_t BmpHeaderBytes = 54;
constexpr double LargestSide = 8192.0;

std::int32_t ReadInt32(const std::vector<std::uint8_t>& data, std::size_t at)
{
    return static_cast<std::int32_t>(std::uint32_t(data[at]) | (std::uint32_t(data[at + 1]) << 8) |
                                     (std::uint32_t(data[at + 2]) << 16) | (std::uint32_t(data[at + 3]) << 24));
}

bool IsBmp(const std::vector<std::uint8_t>& data) { return data.size() >= BmpHeaderBytes && data[0] == 'B' && data[1] == 'M'; }

bool HasSize(const API_Box& box)
{
    return std::isfinite(box.xMin) && std::isfinite(box.yMin) && std::isfinite(box.xMax) && std::isfinite(box.yMax) &&
           box.xMax > box.xMin && box.yMax > box.yMin;
}

struct Corner
{
    double x;
    double y;
};

struct Bounds
{
    bool any = false;
    double minX = 0, minY = 0, maxX = 0, maxY = 0;

    void Add(const Corner& c)
    {
        minX = any ? std::min(minX, c.x) : c.x;
        minY = any ? std::min(minY, c.y) : c.y;
        maxX = any ? std::max(maxX, c.x) : c.x;
        maxY = any ? std::max(maxY, c.y) : c.y;
        any = true;
    }
};

// The rectangle's corners in plan: lower left, lower right, upper right, upper left.
std::array<Corner, 4> PlanCorners(const API_PictureType& picture)
{
    const API_Box& box = picture.destBox;
    const double c = std::cos(picture.rotAngle), s = std::sin(picture.rotAngle);
    const double w = box.xMax - box.xMin, h = box.yMax - box.yMin;
    std::array<Corner, 4> corners {};
    const Corner local[4] = {{0, 0}, {w, 0}, {w, h}, {0, h}};
    for (int i = 0; i < 4; ++i)
        corners[static_cast<std::size_t>(i)] = {box.xMin + local[i].x * c - local[i].y * s,
                                                box.yMin + local[i].x * s + local[i].y * c};
    return corners;
}

bool LiesInView(const ProjectModel& model, const StoredElement& element, const ViewChoice& view)
{
    if (view.floorPlan) return !element.view && element.record.header.floorInd == view.storey;
    if (!element.view) return false;
    API_DatabaseInfo database = *element.view;
    CompleteDatabase(model, database);
    const ViewDatabase* shown = FindView(model, database.databaseUnId);
    return shown != nullptr && shown->name == view.viewName;
}

struct PixMapDeleter
{
    void operator()(GSPixMap* pixMap) const { GXDeleteGSPixMap(pixMap); }
};
using PixMap = std::unique_ptr<GSPixMap, PixMapDeleter>;

struct Placed
{
    const API_PictureType* picture;
    PixMap image;
};

// The colour of the picture at the plan point, when the point lies on it.
bool ColourAt(const Placed& placed, double x, double y, Gfx::Color& colour)
{
    const API_PictureType& p = *placed.picture;
    const double c = std::cos(p.rotAngle), s = std::sin(p.rotAngle);
    const double dx = x - p.destBox.xMin, dy = y - p.destBox.yMin;
    const double u = dx * c + dy * s, v = -dx * s + dy * c;
    const double w = p.destBox.xMax - p.destBox.xMin, h = p.destBox.yMax - p.destBox.yMin;
    if (u < 0.0 || v < 0.0 || u >= w || v >= h) return false;
    const std::int32_t width = GXGetGSPixMapWidth(placed.image.get());
    const std::int32_t height = GXGetGSPixMapHeight(placed.image.get());
    const auto column = std::min(width - 1, static_cast<std::int32_t>(u / w * width));
    const auto row = std::min(height - 1, static_cast<std::int32_t>((1.0 - v / h) * height));
    const std::uint8_t* bgra =
        GXGetGSPixMapBaseAddr(placed.image.get()) +
        (static_cast<std::size_t>(row) * static_cast<std::size_t>(width) + static_cast<std::size_t>(column)) * 4;
    colour = {bgra[2], bgra[1], bgra[0], 255};
    return true;
}

}  // namespace

bool IsPlaceablePicture(const API_Element& element, const API_ElementMemo* memo)
{
    const API_PictureType& picture = element.picture;
    return memo != nullptr && IsBmp(memo->pictureData) && HasSize(picture.destBox) && HasSize(picture.origBox) &&
           std::isfinite(picture.rotAngle);
}

std::string DescribePicture(const StoredElement& element)
{
    const API_PictureType& p = element.record.picture;
    std::string text = "(" + NumberText(p.destBox.xMin, 6) + "," + NumberText(p.destBox.yMin, 6) + ")-(" +
                       NumberText(p.destBox.xMax, 6) + "," + NumberText(p.destBox.yMax, 6) + ") angle " +
                       NumberText(p.rotAngle, 6);
    const std::vector<std::uint8_t>& data = element.memo.pictureData;
    if (IsBmp(data)) text += " bmp " + std::to_string(ReadInt32(data, 18)) + "x" + std::to_string(std::abs(ReadInt32(data, 22)));
    return text;
}

bool WriteViewPng(const ProjectModel& model, const ViewChoice& view, double pixelsPerMetre, const std::string& path,
                  std::string& error)
{
    std::vector<Placed> placed;
    Bounds bounds;
    for (const StoredElement& element : model.content.elements)
    {
        if (element.record.header.typeID != API_PictureID || !LiesInView(model, element, view)) continue;
        GSPixMapHandle image = nullptr;
        if (!GX::ImageBase::ReadData(element.memo.pictureData, image, GSPixMapPixelType32)) continue;
        for (const Corner& corner : PlanCorners(element.record.picture)) bounds.Add(corner);
        placed.push_back({&element.record.picture, PixMap(image)});
    }
    if (placed.empty())
    {
        error = "no pictures in that view";
        return false;
    }
    const double minX = bounds.minX, maxY = bounds.maxY;
    // Rounding noise of the turned corners adds no pixel.
    const double width = std::ceil((bounds.maxX - minX) * pixelsPerMetre - 1e-6);
    const double height = std::ceil((maxY - bounds.minY) * pixelsPerMetre - 1e-6);
    if (!(pixelsPerMetre > 0.0) || width < 1.0 || height < 1.0 || width > LargestSide || height > LargestSide)
    {
        error = "the view would be " + NumberText(width, 6) + " x " + NumberText(height, 6) + " pixels";
        return false;
    }
    NewDisplay::NativeImage png(static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height));
    for (std::uint32_t py = 0; py < png.GetHeight(); ++py)
    {
        for (std::uint32_t px = 0; px < png.GetWidth(); ++px)
        {
            const double x = minX + (px + 0.5) / pixelsPerMetre, y = maxY - (py + 0.5) / pixelsPerMetre;
            Gfx::Color colour {255, 255, 255, 255};
            for (const Placed& picture : placed) ColourAt(picture, x, y, colour);
            png.BlendPixel(static_cast<std::int32_t>(px), static_cast<std::int32_t>(py), colour);
        }
    }
    return NewDisplay::WritePngFile(png, path, &error);
}

void AddPictureFacts(const Host& host, Facts& facts)
{
    const ProjectModel& model = host.model_;
    std::map<std::string, int> counts;
    for (const StoredElement& element : model.content.elements)
    {
        if (element.record.header.typeID != API_PictureID) continue;
        const std::string where = ViewText(model, element);
        ++counts[where.empty() ? "floorplan storey " + std::to_string(element.record.header.floorInd) : where.substr(4)];
    }
    std::string text;
    for (const auto& [where, count] : counts) text += (text.empty() ? "" : ", ") + where + ": " + std::to_string(count);
    facts["pictures"] = text.empty() ? "none" : text;
}

void AddPictureVerbs(ScenarioVerbs& verbs)
{
    verbs["write-view"] = [](Scenario& s, std::istringstream& args) {
        const char* usage = "write-view <file> <pixels per metre> floorplan <storey> | view <view name>";
        Host* host = s.GetHost();
        if (host == nullptr) return s.Fail("this action needs a started host");
        std::string file, kind;
        double pixelsPerMetre = 0.0;
        ViewChoice view;
        if (!(args >> file >> pixelsPerMetre >> kind)) return s.Fail(usage);
        if (kind == "floorplan")
        {
            int storey = 0;
            if (!(args >> storey)) return s.Fail(usage);
            view.storey = static_cast<std::int16_t>(storey);
        }
        else if (kind == "view")
        {
            view.floorPlan = false;
            view.viewName = Scenario::Rest(args);
        }
        else
        {
            return s.Fail(usage);
        }
        std::string error;
        return WriteViewPng(host->model_, view, pixelsPerMetre, WorkPath(*host, file), error) || s.Fail(error);
    };
}

}  // namespace SimHost
