// The generated point-cloud library part: its point files, and the part made from
// the template with the cloud's box, scanner and point files filled in.
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "API/AddOnInterface.hpp"
#include "frame/Survanto.hpp"
#include "framework/HostApiHelpers.hpp"
#include "pointclouds/PointCloudTemplate.hpp"
#include "pointclouds/PointFileSet.hpp"

namespace
{

constexpr std::int16_t PartFormatVersion = 1;
constexpr std::uint16_t WindowsPlatformSign = ('W' << 8) | 'W';

API_LibPartSection Section(const char (&type)[5], std::int16_t subIdent = 0) { return {FourCC(type), subIdent}; }

// The template; its type stays 0 when it is not among the loaded parts.
API_LibPart FindTemplate()
{
    API_LibPart part;
    std::snprintf(part.uniqueId, sizeof part.uniqueId, "%s", PointCloudTemplateId);
    const bool found = HostSearchLibraryPart(&part) == NoError;
    part.location.reset();
    if (!found) part.typeID = 0;
    return part;
}

void WriteTextSection(const char (&type)[5], const std::string& text)
{
    const API_LibPartSection section = Section(type);
    HostNewLibraryPartSection(&section);
    HostWriteLibraryPartSection(static_cast<std::int32_t>(text.size()), text.data());
    HostEndLibraryPartSection(&section);
}

API_AddParType Parameter(const char* name, std::int32_t type, const char* description, double value)
{
    API_AddParType parameter;
    std::strncpy(parameter.name, name, sizeof parameter.name - 1);
    parameter.typeID = type;
    parameter.description = GS::UniString(description);
    parameter.value = value;
    return parameter;
}

// A 3 x 4 array of reals, 1.1 on its diagonal.
API_AddParType MatrixParameter()
{
    API_AddParType matrix = Parameter("matrix", APIParT_Real, "Array parameter with real numbers", 0.0);
    matrix.flags = 2;
    matrix.dim1 = 3;
    matrix.dim2 = 4;
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 4; ++column) matrix.arrayValues.push_back(row == column ? 1.1 : 0.0);
    return matrix;
}

// The content a new part receives while it is created; all but its name are replaced later.
void WriteFirstContent()
{
    const std::string eol = GS::EOL;
    WriteTextSection("1DSC", "");
    WriteTextSection("3DSC", "MATERIAL mat" + eol + eol + "BLOCK a, b, 1" + eol + "ADD a * 0.5, b* 0.5, 1" + eol +
                                 "CYLIND zzyzx - 3, MIN (a, b) * 0.5" + eol + "ADDZ zzyzx - 3" + eol +
                                 "CONE 2, MIN (a, b) * 0.5, 0.0, 90, 90" + eol);
    WriteTextSection("2DSC", "PROJECT2 3, 270, 2" + eol);
    WriteTextSection("VLSC", "VALUES \"zzyzx\" RANGE [6,]" + eol);
    std::vector<API_AddParType> parameters {Parameter("mat", APIParT_Material, "Material", 1.0),
                                            Parameter("len", APIParT_Length, "Length", 2.5),
                                            Parameter("myStr", APIParT_String, "String parameter", 0.0), MatrixParameter()};
    parameters[2].text = GS::UniString("this is a string");
    std::vector<char> parameterSection;
    HostBuildParameterSection(&parameters, 1.0, 1.0, &parameterSection);
    API_LibPartDetails details;
    details.autoHotspot = true;
    details.fixSize = false;
    HostSetLibraryPartDetails(&details);
    const API_LibPartSection pard = Section("PARD");
    HostAddLibraryPartSection(&pard, &parameterSection, nullptr);
}

void SetParameter(std::vector<API_AddParType>& parameters, const char* name, double value)
{
    const std::int32_t index = FindParamIndex(name, &parameters);
    if (index >= 0) parameters[static_cast<std::size_t>(index)].value = value;
}

// The template's parameters with the cloud's values, each where the template has it.
std::vector<API_AddParType> PartParameters(std::vector<API_AddParType> parameters, const PointCloudBox& box,
                                           const API_Coord3D& scanner, bool hasPosition, std::uint32_t levelCount)
{
    const double width = box.xMax - box.xMin, depth = box.yMax - box.yMin, height = box.zMax - box.zMin;
    if (!parameters.empty()) parameters[0].value = width;
    if (parameters.size() > 1) parameters[1].value = depth;
    const std::pair<const char*, double> values[] = {
        {"zzyzx", height},
        {"originalXSize", width},
        {"originalYSize", depth},
        {"originalZSize", height},
        {"scannerX", scanner.x - box.xMin},
        {"scannerY", scanner.y - box.yMin},
        {"scannerZ", scanner.z - box.zMin},
        {"bOverrideCutplane", 1.0},
        {"upperPlaneHeight", height + 1.0},
        {"lowerPlaneHeight", -1.0},
        {"project0X", box.xMin},
        {"project0Y", box.yMin},
        {"project0Z", box.zMin},
        {"hasScannerPos", hasPosition ? 1.0 : 0.0},
        {"hideReduction", levelCount == 1 ? 1.0 : 0.0},
        {"cameraReduction", levelCount == 2 ? 1.0 : 0.0},
    };
    for (const auto& [name, value] : values) SetParameter(parameters, name, value);
    return parameters;
}

void ReplaceAll(std::string& text, const std::string& from, const std::string& to)
{
    for (auto at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
}

// Nothing when the host does not hand the section out.
std::optional<std::string> SectionText(std::int32_t libIndex, const API_LibPartSection& section)
{
    GS::UniString text;
    if (HostGetLibraryPartSection(libIndex, &section, nullptr, &text) != NoError) return std::nullopt;
    return text.ToUtf8();
}

void UpdateTextSection(std::int32_t libIndex, const API_LibPartSection& section, const std::string& text)
{
    const GS::UniString unicode(text);
    HostUpdateLibraryPartSection(libIndex, &section, nullptr, &unicode);
}

// Every placeholder of the level count in its order: its commented calls become
// calls, then the placeholder becomes the level's point file.
std::string PointCloudScript(std::string script, const PointFileSet& files, std::uint32_t levelCount)
{
    for (const PointCloudPlaceholder& placeholder : PointCloudPlaceholders(levelCount))
    {
        const std::string quoted = "\"" + placeholder.text + "\"";
        ReplaceAll(script, "!POINTCLOUD " + quoted, "POINTCLOUD " + quoted);
        ReplaceAll(script, placeholder.text, files.FileName(placeholder.level).ToUtf8());
    }
    return script;
}

void CopyRawSection(std::int32_t templateIndex, std::int32_t libIndex, const API_LibPartSection& section)
{
    std::vector<char> data;
    if (HostGetLibraryPartSection(templateIndex, &section, &data, nullptr) == NoError)
        HostUpdateLibraryPartSection(libIndex, &section, &data, nullptr);
}

void CopyPictures(std::int32_t templateIndex, std::int32_t libIndex)
{
    CopyRawSection(templateIndex, libIndex, Section("GIFF"));
    CopyRawSection(templateIndex, libIndex, Section("PICT"));
    std::vector<API_LibPartSection> sections;
    HostGetLibraryPartSectionList(templateIndex, &sections);
    for (const API_LibPartSection& section : sections)
        if (section.sectType == FourCC("GDLP")) CopyRawSection(templateIndex, libIndex, section);
}

// Writes and registers the point files; false unless every one is whole.
bool WritePointFiles(PointFileSet& files, CloudPointSource& points, const PointCloudBox& box, const GS::UniString& name,
                     std::uint32_t levelCount)
{
    const bool opened = files.Open(box);
    if (opened) points.Deliver(files);
    if (!files.Close() || !opened) return false;
    for (std::uint32_t level = 0; level < levelCount; ++level)
    {
        API_LibPart file;
        file.typeID = APILib_DataFileID;
        file.name = name + GS::UniString("_data");
        file.fileName = files.FileName(level);
        file.location = std::make_unique<IO::Location>(files.FileLocation(level));
        if (HostRegisterLibraryPart(&file) != NoError) return false;
    }
    return true;
}

// Creates the part's file with its first content; 0 when the host refuses.
std::int32_t CreatePart(const GS::UniString& name, const IO::Location& folder)
{
    API_LibPart part;
    part.typeID = APILib_ObjectID;
    part.name = name;
    part.fileName = name + GS::UniString(".gsm");
    part.location = std::make_unique<IO::Location>(folder);
    part.location->AppendToLocal(part.fileName.ToUtf8());
    std::snprintf(part.parentUniqueId, sizeof part.parentUniqueId, "%s", PointCloudTemplateId);
    part.isPlaceable = true;
    part.formatVersion = PartFormatVersion;
    part.platformSign = WindowsPlatformSign;
    bool overwrite = true;
    HostEnvironmentRequest(FourCC("OWLP"), &overwrite, nullptr);
    const GSErrCode created = HostCreateLibraryPart(&part);
    overwrite = false;
    HostEnvironmentRequest(FourCC("OWLP"), &overwrite, nullptr);
    if (created != NoError) return 0;
    WriteFirstContent();
    if (HostSaveLibraryPart(&part) != NoError) return 0;
    return part.index;
}

}  // namespace

std::int32_t Survanto::WritePointCloudPart(const GS::UniString& name, const IO::Location& folder, CloudPointSource& points,
                                           const PointCloudBox& box, const API_Coord3D& scannerPosition, bool hasPosition,
                                           std::uint32_t levelCount)
{
    const API_LibPart pointCloudTemplate = FindTemplate();
    if (pointCloudTemplate.typeID == 0) return 0;
    const std::int32_t templateIndex = pointCloudTemplate.index;
    PointFileSet files(folder, name, levelCount);
    if (!WritePointFiles(files, points, box, name, levelCount)) return 0;
    const std::int32_t libIndex = CreatePart(name, folder);
    if (libIndex <= 0) return 0;

    double a = 0.0, b = 0.0;
    std::vector<API_AddParType> parameters;
    if (HostGetLibraryPartParameters(templateIndex, &a, &b, &parameters) != NoError) return 0;
    parameters = PartParameters(std::move(parameters), box, scannerPosition, hasPosition, levelCount);
    std::vector<char> parameterSection;
    HostBuildParameterSection(&parameters, box.xMax - box.xMin, box.yMax - box.yMin, &parameterSection);
    const API_LibPartSection pard = Section("PARD");
    HostUpdateLibraryPartSection(libIndex, &pard, &parameterSection, nullptr);
    API_LibPart registered;
    registered.location = std::make_unique<IO::Location>(folder);
    registered.location->AppendToLocal(name.ToUtf8() + ".gsm");
    HostRegisterLibraryPart(&registered);

    // A script the template does not hand out keeps the part's first content.
    for (const API_LibPartSection& script : {Section("1DSC"), Section("2DSC")})
        if (const std::optional<std::string> text = SectionText(templateIndex, script))
            UpdateTextSection(libIndex, script, *text);
    const API_LibPartSection script3D = Section("3DSC");
    if (const std::optional<std::string> text = SectionText(templateIndex, script3D))
        UpdateTextSection(libIndex, script3D, PointCloudScript(*text, files, levelCount));
    CopyPictures(templateIndex, libIndex);
    for (const API_LibPartSection& script : {Section("VLSC"), Section("UISC")})
        if (const std::optional<std::string> text = SectionText(templateIndex, script))
            UpdateTextSection(libIndex, script, *text);
    return libIndex;
}
