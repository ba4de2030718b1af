#include "OrthophotoJobs.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "Graphics/NativeImage.hpp"
#include "Graphics/PngWriter.hpp"
#include "HostFiles.hpp"
#include "ProjectFile.hpp"

namespace SimHost
{

namespace
{

namespace fs = std::filesystem;

// Seven-segment digits: bits a (top) to g (middle), clockwise from the top.
constexpr unsigned char Segments[10] = {0x3F, 0x06, 0x5B, 0x4F, 0x66, 0x6D, 0x7D, 0x07, 0x7F, 0x6F};

void FillBox(NewDisplay::NativeImage& image, int left, int top, int right, int bottom, const Gfx::Color& colour)
{
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x) image.BlendPixel(x, y, colour);
}

// One digit in a cell of width w and height 2w at (left, top).
void DrawDigit(NewDisplay::NativeImage& image, int digit, int left, int top, int w, const Gfx::Color& colour)
{
    const int t = std::max(1, w / 5);
    const unsigned char bits = Segments[digit];
    const int boxes[7][4] = {{left, top, left + w, top + t},
                             {left + w - t, top, left + w, top + w},
                             {left + w - t, top + w, left + w, top + 2 * w},
                             {left, top + 2 * w - t, left + w, top + 2 * w},
                             {left, top + w, left + t, top + 2 * w},
                             {left, top, left + t, top + w},
                             {left, top + w - t / 2, left + w, top + w + (t + 1) / 2}};
    for (int segment = 0; segment < 7; ++segment)
        if ((bits >> segment) & 1)
            FillBox(image, boxes[segment][0], boxes[segment][1], boxes[segment][2], boxes[segment][3], colour);
}

// A tile in a colour of its own with a dark frame and its number in the middle.
NewDisplay::NativeImage NumberedTile(int number, int pixels)
{
    NewDisplay::NativeImage image(static_cast<std::uint32_t>(pixels), static_cast<std::uint32_t>(pixels));
    const Gfx::Color fill {static_cast<std::uint8_t>(80 + (number * 67) % 160),
                           static_cast<std::uint8_t>(80 + (number * 113) % 160),
                           static_cast<std::uint8_t>(80 + (number * 29) % 160), 255};
    const Gfx::Color dark {30, 30, 30, 255};
    FillBox(image, 0, 0, pixels, pixels, dark);
    const int frame = std::max(1, pixels / 32);
    FillBox(image, frame, frame, pixels - frame, pixels - frame, fill);
    const std::string digits = std::to_string(number);
    const int width = std::max(3, pixels / (2 * static_cast<int>(digits.size()) + 2));
    const int gap = std::max(1, width / 3);
    const int total = static_cast<int>(digits.size()) * (width + gap) - gap;
    int left = (pixels - total) / 2;
    const int top = (pixels - 2 * width) / 2;
    for (const char digit : digits)
    {
        DrawDigit(image, digit - '0', left, top, width, Gfx::Color {255, 255, 255, 255});
        left += width + gap;
    }
    return image;
}

std::string CornerLine(const char* corner, double x, double y, double z)
{
    char line[160];
    std::snprintf(line, sizeof line, "%s x = %.4f; y = %.4f; z = %.4f\n", corner, x, y, z);
    return line;
}

}  // namespace

bool WriteOrthophotoJob(const OrthophotoJob& job, std::string& error)
{
    const fs::path folder(job.folder);
    std::error_code ec;
    fs::create_directories(folder / (job.name + "_info"), ec);
    fs::create_directories(folder / "tiles", ec);
    if (ec)
    {
        error = "cannot make the job's folders: " + ec.message();
        return false;
    }
    std::string description;
    int number = 0;
    for (int row = 0; row < job.rows; ++row)
    {
        for (int column = 0; column < job.columns; ++column)
        {
            ++number;
            const std::string tile = "tiles/" + job.name + "_" + std::to_string(number) + ".png";
            if (!NewDisplay::WritePngFile(NumberedTile(number, job.pixels), (folder / tile).string(), &error)) return false;
            const double u = job.x + column * job.tileSize, s = job.tileSize;
            const double v = (job.vertical ? job.z : job.y) + row * job.tileSize;
            description += "Tile Name = " + tile + "\n";
            if (job.vertical)
            {
                description += CornerLine("Left Bottom", u, job.y, v) + CornerLine("Right Upper", u + s, job.y, v + s) +
                               CornerLine("Left Upper", u, job.y, v + s) + CornerLine("Right Bottom", u + s, job.y, v);
            }
            else
            {
                description += CornerLine("Left Bottom", u, v, job.z) + CornerLine("Right Upper", u + s, v + s, job.z) +
                               CornerLine("Left Upper", u, v + s, job.z) + CornerLine("Right Bottom", u + s, v, job.z);
            }
        }
    }
    return WriteFileSafely((folder / (job.name + "_info") / (job.name + "-coord.txt")).string(), description, error);
}

void AddOrthophotoJobVerbs(ScenarioVerbs& verbs)
{
    verbs["write-orthophoto-job"] = [](Scenario& s, std::istringstream& args) {
        const char* usage =
            "write-orthophoto-job <folder> <job> vertical|horizontal <columns> <rows> <tile metres> <pixels> [x y z]";
        Host* host = s.GetHost();
        if (host == nullptr) return s.Fail("this action needs a started host");
        OrthophotoJob job;
        std::string folder, kind;
        if (!(args >> folder >> job.name >> kind >> job.columns >> job.rows >> job.tileSize >> job.pixels)) return s.Fail(usage);
        if (kind != "vertical" && kind != "horizontal") return s.Fail(usage);
        if (job.columns < 1 || job.rows < 1 || job.columns * job.rows > 999 || !(job.tileSize > 0.0) || job.pixels < 8 ||
            job.pixels > 4096)
            return s.Fail(usage);
        if (args >> job.x && !(args >> job.y >> job.z)) return s.Fail(usage);
        job.vertical = kind == "vertical";
        job.folder = WorkPath(*host, folder);
        std::string error;
        return WriteOrthophotoJob(job, error) || s.Fail(error);
    };
}

}  // namespace SimHost
