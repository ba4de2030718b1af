#include "ProfileLibrary.hpp"

#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "FillElements.hpp"
#include "ServiceTable.hpp"

namespace SimHost
{

namespace
{

using Corner = Geometry::Point2<double>;

constexpr double HalfTurn = 3.14159265358979323846;

// One hatch: the outline closed by its first corner, black contour, solid fill of pen 5.
void AddOutline(VectorImage& drawing, const std::vector<Corner>& corners, const std::vector<Geometry::PolyArcRec>& arcs = {})
{
    std::vector<Corner> coords {{}};
    coords.insert(coords.end(), corners.begin(), corners.end());
    coords.push_back(corners.front());
    HatchObject hatch;
    hatch.SetContPen(VBAttr::ExtendedPen(1, 1));
    hatch.SetExtendedFillFgPen(VBAttr::ExtendedPen(5, 5));
    hatch.SetContLType(1);
    hatch.SetFillIdx(2);
    if (hatch.SetPolygonGeometry(coords, arcs, {0, static_cast<std::uint32_t>(coords.size() - 1)}) != NoError) return;
    drawing.AddHatchRec(Sy_HatchType {}, hatch);
}

void AddDrawingLine(VectorImage& drawing, Corner from, Corner to)
{
    Sy_LinType line;
    line.sy_pen = VBAttr::ExtendedPen(2);
    line.begC = from;
    line.endC = to;
    drawing.AddLine(line);
}

void AddProfile(ProjectContent& content, std::int16_t index, const std::string& name, const VectorImage* drawing)
{
    API_Attribute profile;
    std::memset(&profile, 0, sizeof profile);
    profile.header.typeID = API_ProfileID;
    profile.header.index = index;
    std::strncpy(profile.header.name, name.c_str(), API_AttrNameLen - 1);
    content.attributes[{API_ProfileID, index}] = profile;
    if (drawing != nullptr) content.profileDrawings[index] = *drawing;
}

std::int16_t HighestIndex(const ProjectContent& content, std::int32_t type)
{
    std::int16_t highest = 0;
    for (const auto& [key, attribute] : content.attributes)
        if (key.first == type && key.second > highest) highest = key.second;
    return highest;
}

GSErrCode GetAttributeCount(HostToken token, std::int32_t typeID, std::int32_t* count)
{
    if (count == nullptr) return APIERR_BADPARS;
    *count = HighestIndex(Host::From(token).model_.content, typeID);
    return NoError;
}

GSErrCode GetAttributeDefinitions(HostToken token, std::int32_t typeID, std::int16_t index, API_AttributeDef* defs)
{
    if (defs == nullptr) return APIERR_BADPARS;
    defs->profile_vectorImageItems = nullptr;
    if (typeID != API_ProfileID) return APIERR_BADID;
    const auto& drawings = Host::From(token).model_.content.profileDrawings;
    const auto found = drawings.find(index);
    if (found == drawings.end()) return APIERR_DELETED;
    defs->profile_vectorImageItems = new ProfileVectorImage(found->second);
    return NoError;
}

GSErrCode DisposeAttributeDefinitions(HostToken, API_AttributeDef* defs)
{
    if (defs == nullptr) return APIERR_BADPARS;
    delete defs->profile_vectorImageItems;
    defs->profile_vectorImageItems = nullptr;
    return NoError;
}

// Corners, then lines of four numbers each after the word "line".
bool ReadDrawing(std::istringstream& args, std::vector<Corner>& corners, VectorImage& drawing)
{
    std::vector<double> numbers;
    std::vector<std::vector<double>> lines;
    for (std::string word; args >> word;)
    {
        double value = 0.0;
        if (word == "line")
            lines.emplace_back();
        else if (!ReadNumberWord(word, value))
            return false;
        else
            (lines.empty() ? numbers : lines.back()).push_back(value);
    }
    if (numbers.size() % 2 != 0 || (!numbers.empty() && numbers.size() < 6)) return false;
    for (std::size_t i = 0; i < numbers.size(); i += 2) corners.push_back({numbers[i], numbers[i + 1]});
    if (!corners.empty()) AddOutline(drawing, corners);
    for (const auto& line : lines)
    {
        if (line.size() != 4) return false;
        AddDrawingLine(drawing, {line[0], line[1]}, {line[2], line[3]});
    }
    return true;
}

}  // namespace

void AddStandardProfiles(ProjectContent& content)
{
    VectorImage cornice;
    AddOutline(cornice, {{0, 0}, {0.4, 0}, {0.4, 0.1}, {0.2, 0.3}, {0, 0.3}}, {{3, 4, HalfTurn / 2}});
    AddDrawingLine(cornice, {0, 0.15}, {0.4, 0.15});
    AddProfile(content, 1, "Gesims", &cornice);
    VectorImage plinth;
    AddOutline(plinth, {{0, 0}, {0.2, 0}, {0.2, 0.5}, {0, 0.5}});
    AddProfile(content, 2, "Sockel", &plinth);
}

void FillProfileLibraryServices(HostServiceTable& table)
{
    SIMHOST_SET_SERVICE(table, HostGetAttributeCount, GetAttributeCount);
    SIMHOST_SET_SERVICE(table, HostGetAttributeDefinitions, GetAttributeDefinitions);
    SIMHOST_SET_SERVICE(table, HostDisposeAttributeDefinitions, DisposeAttributeDefinitions);
}

void AddProfileLibraryVerbs(ScenarioVerbs& verbs)
{
    verbs["add-profile-attribute"] = [](Scenario& s, std::istringstream& args) {
        Host* host = s.GetHost();
        if (host == nullptr) return s.Fail("this action needs a started host");
        std::string name;
        std::vector<Corner> corners;
        VectorImage drawing;
        if (!(args >> name) || name.size() >= API_AttrNameLen || !ReadDrawing(args, corners, drawing))
            return s.Fail("add-profile-attribute <name> [<x1> <y1> <x2> <y2> <x3> <y3> ... [line <x1> <y1> <x2> <y2>]...]");
        ProjectContent& content = host->model_.content;
        const auto index = static_cast<std::int16_t>(HighestIndex(content, API_ProfileID) + 1);
        AddProfile(content, index, name, corners.empty() ? nullptr : &drawing);
        return true;
    };
}

void AddProfileLibraryFacts(const Host& host, Facts& facts)
{
    std::string profiles;
    for (const auto& [key, attribute] : host.model_.content.attributes)
        if (key.first == API_ProfileID)
            profiles += (profiles.empty() ? "" : " ") + std::to_string(key.second) + ":" + attribute.header.name;
    facts["profile-attributes"] = profiles.empty() ? "none" : profiles;
}

}  // namespace SimHost
