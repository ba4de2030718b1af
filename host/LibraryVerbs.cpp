// What scenarios read of the libraries, their parts and the placed markers, and
// the verbs that load libraries, add parts, place objects and copy files in.
#include "LibraryServices.hpp"

#include <strings.h>

#include <algorithm>
#include <filesystem>
#include <sstream>

#include "LibraryParts.hpp"
#include "NumberText.hpp"
#include "ProjectFile.hpp"

namespace fs = std::filesystem;

namespace SimHost
{

namespace
{

std::string Shown(const Host& host, const std::string& path)
{
    if (path.empty()) return "-";
    return LiesIn(path, host.WorkFolder()) ? fs::path(path).lexically_relative(host.WorkFolder()).string() : path;
}

std::int32_t CodeOf(const std::string& text)
{
    std::uint32_t code = 0;
    for (std::size_t i = 0; i < 4; ++i) code = (code << 8) | static_cast<unsigned char>(i < text.size() ? text[i] : ' ');
    return static_cast<std::int32_t>(code);
}

std::string OneLine(const std::vector<char>& bytes)
{
    std::string text;
    for (const char c : bytes) text += c == '\n' ? std::string("\\n") : std::string(1, c);
    return text;
}

std::string PartText(const Host& host, std::int32_t index, const LibraryPartEntry& part)
{
    std::ostringstream out;
    out << index << ": type " << part.typeID << " \"" << part.name << "\" " << part.uniqueId;
    if (!part.parentUniqueId.empty()) out << " parent " << part.parentUniqueId;
    out << " file " << Shown(host, part.path);
    if (!part.sections.empty())
    {
        out << " sections";
        for (const LibraryPartSection& section : part.sections) out << " " << FourCCText(section.type);
    }
    return out.str();
}

std::optional<std::string> ParameterText(const LibraryPartEntry& part, const std::string& name)
{
    const LibraryPartSection* section = part.Section(FourCC("PARD"), 0);
    ParameterList list;
    if (section == nullptr || !ReadParameterSection(section->bytes, list)) return "<no parameters>";
    if (name == "a" || name == "b") return NumberText(name == "a" ? list.a : list.b, 6, NearZero::AsIs);
    for (const API_AddParType& p : list.parameters)
        if (std::string(p.name) == name)
        {
            if (p.typeID == APIParT_String) return p.text.ToUtf8();
            return NumberText(p.value, 12, NearZero::AsIs);
        }
    return "<no parameter " + name + ">";
}

ScenarioVerb WithHost(std::function<bool(Scenario&, Host&, std::istringstream&)> body)
{
    return [body](Scenario& scenario, std::istringstream& args) {
        Host* host = scenario.GetHost();
        return host != nullptr ? body(scenario, *host, args) : scenario.Fail("this action needs a started host");
    };
}

// ---- Markers ------------------------------------------------------------------

const API_AddParType* Parameter(const StoredElement& element, const char* name)
{
    for (const API_AddParType& p : element.memo.params)
        if (strncasecmp(p.name, name, sizeof p.name) == 0) return &p;
    return nullptr;
}

std::string NumberParameter(const StoredElement& element, const char* name)
{
    const API_AddParType* p = Parameter(element, name);
    return p == nullptr ? "-" : NumberText(p->value, 6);
}

std::string TextParameter(const StoredElement& element, const char* name)
{
    const API_AddParType* p = Parameter(element, name);
    return p == nullptr ? "-" : "\"" + p->text.ToUtf8() + "\"";
}

bool IsStationMarker(const StoredElement& element) { return Parameter(element, "strStandortID") != nullptr; }
bool IsPointMarker(const StoredElement& element)
{
    return !IsStationMarker(element) && Parameter(element, "penHotPoint") != nullptr;
}

std::string Place(const API_ObjectType& object, std::int16_t storey)
{
    return "(" + NumberText(object.position.x, 6) + "," + NumberText(object.position.y, 6) + ") elevation " +
           NumberText(object.elevation, 6) + " storey " + std::to_string(storey);
}

std::string DescribeMarker(const StoredElement& element)
{
    const API_Element& e = element.record;
    const std::string place =
        Place(e.object, e.header.floorInd) + " layer " + std::to_string(e.header.layer) + " pen " + std::to_string(e.object.pen);
    if (IsStationMarker(element))
        return "station " + TextParameter(element, "strStandortID") + " " + place + " standort-pen " +
               NumberParameter(element, "penStandort") + " active " + NumberParameter(element, "bIsActual") + " order " +
               std::to_string(e.header.drawIndex);
    return "point " + place + " pens " + NumberParameter(element, "penHotPoint") + "/" +
           NumberParameter(element, "penHotPointGER") + "/" + NumberParameter(element, "penHotPointFRA") + " idvisible " +
           NumberParameter(element, "idvisible") + " from " + TextParameter(element, "strMeasuredfromStdID");
}

}  // namespace

void AddLibraryFacts(const Host& host, Facts& facts)
{
    std::string kinds, active;
    int count = 0;
    for (const StoredElement& element : host.model_.content.elements)
    {
        if (element.record.header.typeID != API_ObjectID || (!IsStationMarker(element) && !IsPointMarker(element))) continue;
        ++count;
        kinds += std::string(kinds.empty() ? "" : " ") + (IsStationMarker(element) ? "station" : "point");
        facts["marker " + std::to_string(count)] = DescribeMarker(element);
        const API_AddParType* flag = Parameter(element, "bIsActual");
        if (IsStationMarker(element) && flag != nullptr && flag->value != 0.0)
            active += (active.empty() ? "" : " ") + TextParameter(element, "strStandortID");
    }
    facts["markers"] = kinds.empty() ? "none" : kinds;
    facts["active-stations"] = active.empty() ? "none" : active;
    std::string parts;
    for (const auto& [index, part] : host.model_.libraryParts)
        parts += (parts.empty() ? "" : " ") + std::to_string(index) + ":" + part.uniqueId +
                 (part.version != 0 ? " version " + std::to_string(part.version) : "");
    facts["library-parts"] = parts.empty() ? "none" : parts;
    std::string libraries;
    for (const API_LibraryInfo& info : LoadedLibraries(host))
    {
        libraries += (libraries.empty() ? "" : " | ") + info.name.ToUtf8() + "=" + Shown(host, info.location.ToPath());
        if (info.libraryType == APILibrary_Embedded) libraries += " (embedded)";
        if (info.readOnly) libraries += " (read-only)";
        if (!info.available) libraries += " (unavailable)";
    }
    facts["libraries"] = libraries;
    facts["library-overwrite"] = host.model_.overwriteLibraryParts ? "on" : "off";
}

std::optional<std::string> LibraryFact(const Host& host, const std::string& name)
{
    std::istringstream words(name);
    std::string kind;
    words >> kind;
    const auto& parts = host.model_.libraryParts;
    if (kind == "library-part-named")
    {
        const std::string wanted = Scenario::Rest(words);
        for (const auto& [index, part] : parts)
            if (part.name == wanted) return std::to_string(index);
        return "<no library part named " + wanted + ">";
    }
    std::int32_t index = 0;
    if (kind != "library-part" || !(words >> index)) return std::nullopt;
    const auto it = parts.find(index);
    if (it == parts.end()) return "<no library part " + std::to_string(index) + ">";
    std::string detail, which;
    if (!(words >> detail)) return PartText(host, index, it->second);
    std::getline(words >> std::ws, which);
    if (detail == "parameter") return ParameterText(it->second, which);
    if (detail != "section" || which.size() < 4) return "<library-part <index> section <type> | parameter <name>>";
    std::istringstream sectionWords(which);
    std::string type;
    int subIdent = 0;
    sectionWords >> type >> subIdent;
    const LibraryPartSection* section = it->second.Section(CodeOf(type), static_cast<std::int16_t>(subIdent));
    return section == nullptr ? "<no section " + which + ">" : OneLine(section->bytes);
}

void AddLibraryVerbs(ScenarioVerbs& verbs)
{
    verbs["load-library"] = WithHost([](Scenario& s, Host& host, std::istringstream& args) {
        bool readOnly = false, available = true;
        std::string path = Scenario::Rest(args);
        const auto takeFlag = [&path](const std::string& flag) {
            if (path != flag && path.compare(0, flag.size() + 1, flag + " ") != 0) return false;
            path.erase(0, std::min(path.size(), flag.size() + 1));
            return true;
        };
        for (bool taken = true; taken;)
        {
            taken = false;
            if (takeFlag("read-only")) readOnly = taken = true;
            if (takeFlag("unavailable"))
            {
                available = false;
                taken = true;
            }
        }
        const std::string folder = path.empty() ? host.InstalledLibraryFolder() : WorkPath(host, path);
        std::string error;
        return LoadLibraryFolder(host, folder, error, readOnly, available) || s.Fail(error);
    });
    verbs["add-library-part"] = WithHost([](Scenario& s, Host& host, std::istringstream& args) {
        std::int32_t index = 0;
        LibraryPartEntry part;
        if (!(args >> index >> part.uniqueId) || index < 1 || !IsLibraryPartUniqueId(part.uniqueId) ||
            !Scenario::OptionalNumber(args, part.version))
            return s.Fail("add-library-part <index from 1> <{main GUID}-{revision GUID}> [version]");
        host.model_.libraryParts[index] = std::move(part);
        return true;
    });
    verbs["place-object"] = WithHost([](Scenario& s, Host& host, std::istringstream& args) {
        ProjectModel& model = host.model_;
        std::int32_t index = 0;
        API_Coord position;
        double elevation = 0.0;
        std::int16_t storey = 0;
        if (!(args >> index >> position.x >> position.y >> elevation) || !Scenario::OptionalNumber(args, storey) ||
            !Scenario::Rest(args).empty())
            return s.Fail("place-object <library index> <x> <y> <elevation> [storey]");
        if (model.libraryParts.count(index) == 0) return s.Fail("no library part " + std::to_string(index));
        if (model.content.storeyLevels.count(storey) == 0) return s.Fail("no storey " + std::to_string(storey));
        const GSErrCode result = model.RunUndoable([&] {
            StoredElement placed;
            placed.record = model.DefaultsFor(API_ObjectID, 0).record;
            placed.record.header.guid = model.NewGuid();
            placed.record.header.floorInd = storey;
            placed.record.object.libraryPartIndex = index;
            placed.record.object.position = position;
            placed.record.object.elevation = elevation;
            model.content.elements.push_back(std::move(placed));
            model.MarkChanged();
            return NoError;
        });
        return result == NoError || s.Fail("the host refused the object");
    });
    verbs["copy-in"] = WithHost([](Scenario& s, Host& host, std::istringstream& args) {
        std::string source, target;
        if (!(args >> source >> target)) return s.Fail("copy-in <source> <target>");
        const fs::path from = fs::path(source).is_absolute() ? fs::path(source) : fs::path(s.Origin()).parent_path() / source;
        const fs::path to = WorkPath(host, target);
        std::error_code ec;
        fs::create_directories(to.parent_path(), ec);
        fs::copy(from, to, fs::copy_options::recursive | fs::copy_options::overwrite_existing, ec);
        return !ec || s.Fail("cannot copy " + from.string() + ": " + ec.message());
    });
}

}  // namespace SimHost
