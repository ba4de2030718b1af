#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "GS/ValueConversion.hpp"
#include "framework/CDataRecorder.hpp"
#include "framework/FiniteCoord.hpp"
#include "pointclouds/OrtophotoData.hpp"

// The tile description file: per tile a "Tile Name = path" line and four corner
// lines "Left Bottom ... x = 1.0; y = 2.0; z = 3.0". The "Right Bottom" line
// closes a tile. One pending tile and point serve the whole file, so a field a
// tile does not set keeps the value of the tile before. A tile whose image lies
// outside the job's folder, or with a corner that is not a finite number, is
// passed over.

namespace
{

constexpr unsigned LongestLine = 2800;

bool StartsWith(const std::string& line, const char* key) { return line.compare(0, std::strlen(key), key) == 0; }

// True for a path that stays below the folder it is relative to: not absolute,
// no drive, no step up.
bool StaysInside(const std::string& relative)
{
    if ((!relative.empty() && relative[0] == '\\') || relative.find(':') != std::string::npos) return false;
    std::size_t from = 0;
    for (;;)
    {
        const std::size_t to = relative.find('\\', from);
        if (relative.compare(from, to == std::string::npos ? std::string::npos : to - from, "..") == 0) return false;
        if (to == std::string::npos) return true;
        from = to + 1;
    }
}

// The location of the image: the path is relative to the folder holding the
// job's "_info" folder.
GS::UniString ImagePath(const IO::Location& file, const std::string& relative)
{
    IO::Location image = file;
    image.DeleteLastLocalName();
    image.DeleteLastLocalName();
    image.AppendToLocal(IO::RelativeLocation(relative));
    return GS::UniString(image.ToPath());
}

// Text that names no finite number ("nan", "inf", 1e999) where the host's
// conversion would give 0.
bool NamesNonFinite(const std::string& text)
{
    const double read = std::strtod(text.c_str(), nullptr);
    return !std::isfinite(read);
}

// Sets one coordinate from the text behind key, up to the next ";"; false when
// the line lacks the key. An unconvertible value is read as 0, a value that is
// not finite as NaN, so that the tile holding it is refused.
bool ReadValue(const std::string& line, const char* key, double& value)
{
    const std::size_t at = line.find(key);
    if (at == std::string::npos) return false;
    const std::size_t from = at + std::strlen(key);
    const std::size_t to = line.find(';', from);
    const std::string text = line.substr(from, to == std::string::npos ? std::string::npos : to - from);
    GS::strtovalue(text.c_str(), value, false);
    if (NamesNonFinite(text)) value = std::numeric_limits<double>::quiet_NaN();
    return true;
}

struct PendingTile
{
    OrtophotoDataPart tile;
    API_Coord3D point;
    bool imageOutside = false;
};

bool IsSound(const PendingTile& pending)
{
    const OrtophotoDataPart& t = pending.tile;
    return !pending.imageOutside && IsFinite(t.leftBottom) && IsFinite(t.rightBottom) && IsFinite(t.leftUpper) &&
           IsFinite(t.rightUpper);
}

void TakeCorners(const std::string& line, PendingTile& pending)
{
    int found = 0;
    found += ReadValue(line, "x = ", pending.point.x) ? 1 : 0;
    found += ReadValue(line, "y = ", pending.point.y) ? 1 : 0;
    found += ReadValue(line, "z = ", pending.point.z) ? 1 : 0;
    if (found != 3) return;
    if (StartsWith(line, "Left Bottom"))
        pending.tile.leftBottom = pending.point;
    else if (StartsWith(line, "Right Upper"))
        pending.tile.rightUpper = pending.point;
    else if (StartsWith(line, "Left Upper"))
        pending.tile.leftUpper = pending.point;
    else if (StartsWith(line, "Right Bottom"))
        pending.tile.rightBottom = pending.point;
}

// Either separator may be used in the tile's path.
void TakeImagePath(const IO::Location& file, std::string relative, PendingTile& pending)
{
    std::replace(relative.begin(), relative.end(), '/', '\\');
    pending.imageOutside = !StaysInside(relative);
    pending.tile.imagePath = pending.imageOutside ? GS::UniString() : ImagePath(file, relative);
}

void TakeLine(const std::string& line, const IO::Location& file, PendingTile& pending, OrtophotoData& job)
{
    if (StartsWith(line, "Tile Name"))
    {
        const std::size_t equals = line.find("= ");
        if (equals != std::string::npos) TakeImagePath(file, line.substr(equals + 2), pending);
    }
    else
    {
        TakeCorners(line, pending);
    }
    if (StartsWith(line, "Right Bottom") && IsSound(pending)) job.tiles.Add(pending.tile);
}

}  // namespace

void OrtophotoData::ReadTileFile(OrtophotoData& job, const IO::Location& file)
{
    CDataRecorder recorder(CDataRecorder::EncodingUtf8);
    recorder.SetMode(CDataRecorder::ModeHostFileText);
    recorder.SetPath(file.ToPath().c_str());
    if (recorder.OpenRead() != 0) return;
    std::vector<char> buffer(LongestLine + 2);
    PendingTile pending;
    for (;;)
    {
        const int result = recorder.ReadLine(buffer.data(), LongestLine);
        TakeLine(std::string(buffer.data()), file, pending, job);
        if (result == CDataRecorder::LineLast) break;
    }
    recorder.Close();
}
