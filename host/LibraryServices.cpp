// The project's library parts as the add-on reaches them: found by unique id,
// with their default sizes and GDL parameters; and the part files of a library
// folder that the host loads.
#include "LibraryServices.hpp"

#include <strings.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <locale>
#include <sstream>

#include "GS/Guid.hpp"
#include "HostFiles.hpp"
#include "ProjectFile.hpp"
#include "ServiceTable.hpp"

namespace fs = std::filesystem;

namespace SimHost {

namespace {

constexpr const char* PartExtension = ".gsm";

// "{main GUID}-{revision GUID}", each GUID in braces.
bool IsLibraryPartUniqueId(const std::string& text)
{
    const auto bracedGuid = [](const std::string& part) {
        GS::Guid guid;
        return part.size() == 38 && part.front() == '{' && part.back() == '}' && guid.FromText(part.substr(1, 36));
    };
    return text.size() == 77 && text[38] == '-' && bracedGuid(text.substr(0, 38)) && bracedGuid(text.substr(39));
}

struct ParameterKind {
    const char* word;
    std::int32_t type;
};

constexpr ParameterKind ParameterKinds[] = {
    {"length", APIParT_Length},   {"real", APIParT_Real}, {"angle", APIParT_Angle},       {"integer", APIParT_Integer},
    {"boolean", APIParT_Boolean}, {"pen", APIParT_PenColor}, {"string", APIParT_String},
};

// Words of a line; a quoted text is one word without its quotes. False when a
// quote is left open.
bool SplitWords(const std::string& line, std::vector<std::string>& words, std::vector<bool>& quoted)
{
    std::size_t i = 0;
    while (i < line.size()) {
        if (std::isspace(static_cast<unsigned char>(line[i]))) {
            ++i;
            continue;
        }
        if (line[i] == '"') {
            const std::size_t end = line.find('"', i + 1);
            if (end == std::string::npos) return false;
            words.push_back(line.substr(i + 1, end - i - 1));
            quoted.push_back(true);
            i = end + 1;
            continue;
        }
        std::size_t end = i;
        while (end < line.size() && !std::isspace(static_cast<unsigned char>(line[end]))) ++end;
        words.push_back(line.substr(i, end - i));
        quoted.push_back(false);
        i = end;
    }
    return true;
}

bool ReadNumber(const std::string& word, double& value)
{
    std::istringstream in(word);
    in.imbue(std::locale::classic());
    return static_cast<bool>(in >> value) && in.peek() == std::char_traits<char>::eof();
}

// One parameter line: name, quoted description, kind, value.
bool ReadParameter(const std::vector<std::string>& words, const std::vector<bool>& quoted, API_AddParType& parameter,
                   std::string& error)
{
    if (words.size() != 4 || quoted[0] || !quoted[1] || quoted[2]) {
        error = "a parameter is <name> \"<description>\" <kind> <value>";
        return false;
    }
    if (words[0].empty() || words[0].size() >= sizeof parameter.name) {
        error = "a parameter name has 1 to " + std::to_string(sizeof parameter.name - 1) + " characters";
        return false;
    }
    const auto kind = std::find_if(std::begin(ParameterKinds), std::end(ParameterKinds),
                                   [&](const ParameterKind& k) { return words[2] == k.word; });
    if (kind == std::end(ParameterKinds)) {
        error = "unknown parameter kind '" + words[2] + "'";
        return false;
    }
    std::memcpy(parameter.name, words[0].data(), words[0].size());
    parameter.typeID = kind->type;
    if (kind->type == APIParT_String) {
        if (!quoted[3]) {
            error = "a string parameter's value is quoted";
            return false;
        }
        parameter.text = GS::UniString(words[3]);
        return true;
    }
    if (quoted[3] || !ReadNumber(words[3], parameter.value)) {
        error = "'" + words[3] + "' is no number";
        return false;
    }
    return true;
}

enum class Section { Head, Parameters, Done };

bool ReadPartLine(const std::string& line, Section& section, LibraryPartEntry& part, std::string& error)
{
    std::vector<std::string> words;
    std::vector<bool> quoted;
    if (!SplitWords(line, words, quoted)) {
        error = "a quote is not closed";
        return false;
    }
    if (words.empty() || words[0].front() == '!') return true;
    if (section == Section::Done) {
        error = "nothing may follow 'end'";
        return false;
    }
    if (section == Section::Parameters) {
        if (words.size() == 1 && words[0] == "end") {
            section = Section::Done;
            return true;
        }
        API_AddParType parameter;
        if (!ReadParameter(words, quoted, parameter, error)) return false;
        part.params.push_back(parameter);
        return true;
    }
    if (words.size() == 3 && words[0] == "GDL" && words[1] == "object" && quoted[2]) {
        part.name = words[2];
    } else if (words.size() == 2 && words[0] == "unique-id") {
        if (!IsLibraryPartUniqueId(words[1])) {
            error = "'" + words[1] + "' is no {main GUID}-{revision GUID}";
            return false;
        }
        part.uniqueId = words[1];
    } else if (words.size() == 1 && words[0] == "parameters") {
        section = Section::Parameters;
    } else {
        error = "unexpected '" + line + "'";
        return false;
    }
    return true;
}

double NumberOf(const LibraryPartEntry& part, const char* name)
{
    for (const API_AddParType& p : part.params)
        if (strncasecmp(p.name, name, sizeof p.name) == 0) return p.value;
    return 0.0;
}

bool ReadPartFile(const fs::path& path, LibraryPartEntry& part, std::string& error)
{
    std::string text;
    if (!ReadWholeFile(path.string(), text)) {
        error = path.string() + ": cannot be read";
        return false;
    }
    std::istringstream lines(text);
    std::string line;
    Section section = Section::Head;
    for (int number = 1; std::getline(lines, line); ++number) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!ReadPartLine(line, section, part, error)) {
            error = path.string() + ":" + std::to_string(number) + ": " + error;
            return false;
        }
    }
    if (part.name.empty() || part.uniqueId.empty() || section != Section::Done) {
        error = path.string() + ": a part needs its name, its unique-id and its parameters up to 'end'";
        return false;
    }
    part.sizeA = NumberOf(part, "A");
    part.sizeB = NumberOf(part, "B");
    return true;
}

// ---- Services ----------------------------------------------------------------

ProjectModel& ModelOf(HostToken token) { return Host::From(token).model_; }

// Fills in everything but the index.
void DescribePart(const LibraryPartEntry& entry, API_LibPart& part)
{
    std::snprintf(part.uniqueId, sizeof part.uniqueId, "%s", entry.uniqueId.c_str());
    part.name = GS::UniString(entry.name);
    part.version = entry.version;
}

GSErrCode SearchLibraryPart(HostToken token, API_LibPart* part)
{
    if (part == nullptr) return APIERR_BADPARS;
    const std::string wanted(part->uniqueId, strnlen(part->uniqueId, sizeof part->uniqueId));
    for (const auto& [index, entry] : ModelOf(token).libraryParts) {
        if (entry.uniqueId != wanted) continue;
        part->index = index;
        DescribePart(entry, *part);
        return NoError;
    }
    return APIERR_BADID;
}

GSErrCode GetLibraryPart(HostToken token, API_LibPart* part)
{
    if (part == nullptr) return APIERR_BADPARS;
    const auto& parts = ModelOf(token).libraryParts;
    const auto found = parts.find(part->index);
    if (found == parts.end()) return APIERR_BADINDEX;
    DescribePart(found->second, *part);
    return NoError;
}

GSErrCode GetLibraryPartParameters(HostToken token, std::int32_t libraryIndex, double* a, double* b,
                                   std::vector<API_AddParType>* params)
{
    const auto& parts = ModelOf(token).libraryParts;
    const auto it = parts.find(libraryIndex);
    if (it == parts.end()) return APIERR_BADINDEX;
    if (a != nullptr) *a = it->second.sizeA;
    if (b != nullptr) *b = it->second.sizeB;
    if (params != nullptr) *params = it->second.params;
    return NoError;
}

// ---- Facts ---------------------------------------------------------------------

std::string Number(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.6g", std::fabs(value) < 5e-10 ? 0.0 : value);
    return text;
}

const API_AddParType* Parameter(const StoredElement& element, const char* name)
{
    for (const API_AddParType& p : element.memo.params)
        if (strncasecmp(p.name, name, sizeof p.name) == 0) return &p;
    return nullptr;
}

std::string NumberParameter(const StoredElement& element, const char* name)
{
    const API_AddParType* p = Parameter(element, name);
    return p == nullptr ? "-" : Number(p->value);
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
    return "(" + Number(object.position.x) + "," + Number(object.position.y) + ") elevation " + Number(object.elevation) +
           " storey " + std::to_string(storey);
}

std::string DescribeMarker(const StoredElement& element)
{
    const API_Element& e = element.record;
    const std::string place = Place(e.object, e.header.floorInd) + " layer " + std::to_string(e.header.layer) + " pen " +
                              std::to_string(e.object.pen);
    if (IsStationMarker(element))
        return "station " + TextParameter(element, "strStandortID") + " " + place + " standort-pen " +
               NumberParameter(element, "penStandort") + " active " + NumberParameter(element, "bIsActual") + " order " +
               std::to_string(e.header.drawIndex);
    return "point " + place + " pens " + NumberParameter(element, "penHotPoint") + "/" +
           NumberParameter(element, "penHotPointGER") + "/" + NumberParameter(element, "penHotPointFRA") + " idvisible " +
           NumberParameter(element, "idvisible") + " from " + TextParameter(element, "strMeasuredfromStdID");
}

}  // namespace

bool ReadLibraryFolder(const std::string& folder, std::vector<LibraryPartEntry>& parts, std::string& error)
{
    std::error_code ec;
    if (!fs::is_directory(folder, ec)) {
        error = "no library folder " + folder;
        return false;
    }
    std::vector<fs::path> files;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder, ec))
        if (entry.is_regular_file() && entry.path().extension() == PartExtension) files.push_back(entry.path());
    if (ec) {
        error = "cannot list " + folder + ": " + ec.message();
        return false;
    }
    std::sort(files.begin(), files.end());
    std::vector<LibraryPartEntry> read;
    for (const fs::path& file : files) {
        LibraryPartEntry part;
        if (!ReadPartFile(file, part, error)) return false;
        read.push_back(std::move(part));
    }
    parts = std::move(read);
    return true;
}

bool LoadLibraryFolder(Host& host, const std::string& folder, std::string& error)
{
    std::vector<LibraryPartEntry> parts;
    if (!ReadLibraryFolder(folder, parts, error)) return false;
    auto& loaded = host.model_.libraryParts;
    for (LibraryPartEntry& part : parts) {
        const bool known = std::any_of(loaded.begin(), loaded.end(), [&](const auto& p) { return p.second.uniqueId == part.uniqueId; });
        if (known) continue;
        const std::int32_t index = loaded.empty() ? 1 : loaded.rbegin()->first + 1;
        loaded[index] = std::move(part);
    }
    if (std::find(host.model_.libraryFolders.begin(), host.model_.libraryFolders.end(), folder) == host.model_.libraryFolders.end())
        host.model_.libraryFolders.push_back(folder);
    host.Log("library loaded " + folder);
    host.FireProjectEvent(APINotify_ChangeLibrary);
    return true;
}

GSErrCode LibraryEnvironmentRequest(Host& host, std::int32_t code, void* par1)
{
    if (par1 == nullptr) return APIERR_BADPARS;
    if (code == FourCC("GLIB")) {
        auto& libraries = *static_cast<std::vector<API_LibraryInfo>*>(par1);
        libraries.clear();
        for (const std::string& folder : host.model_.libraryFolders) libraries.push_back({IO::Location(folder)});
        return NoError;
    }
    std::string error;
    const bool loaded = host.project_.open && LoadLibraryFolder(host, static_cast<const IO::Location*>(par1)->ToPath(), error);
    if (!loaded) host.Log("library not added: " + error);
    return loaded ? NoError : APIERR_GENERAL;
}

void FillLibraryServices(HostServiceTable& table)
{
    SIMHOST_SET_SERVICE(table, HostGetLibraryPart, GetLibraryPart);
    SIMHOST_SET_SERVICE(table, HostSearchLibraryPart, SearchLibraryPart);
    SIMHOST_SET_SERVICE(table, HostGetLibraryPartParameters, GetLibraryPartParameters);
}

void AddLibraryFacts(const Host& host, Facts& facts)
{
    std::string kinds, active;
    int count = 0;
    for (const StoredElement& element : host.model_.content.elements) {
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
}

void AddLibraryVerbs(ScenarioVerbs& verbs)
{
    verbs["load-library"] = [](Scenario& s, std::istringstream& args) {
        Host* host = s.GetHost();
        if (host == nullptr) return s.Fail("this action needs a started host");
        const std::string named = Scenario::Rest(args);
        const std::string folder = named.empty() ? host->InstalledLibraryFolder() : WorkPath(*host, named);
        std::string error;
        return LoadLibraryFolder(*host, folder, error) || s.Fail(error);
    };
    verbs["add-library-part"] = [](Scenario& s, std::istringstream& args) {
        Host* host = s.GetHost();
        if (host == nullptr) return s.Fail("this action needs a started host");
        std::int32_t index = 0;
        LibraryPartEntry part;
        if (!(args >> index >> part.uniqueId) || index < 1 || !IsLibraryPartUniqueId(part.uniqueId) ||
            !Scenario::OptionalNumber(args, part.version))
            return s.Fail("add-library-part <index from 1> <{main GUID}-{revision GUID}> [version]");
        host->model_.libraryParts[index] = std::move(part);
        return true;
    };
}

}  // namespace SimHost
