// The project's libraries and their parts, as the host keeps them: folders on
// disk, parts found by index, unique id or name with their defaults, generated
// section by section and saved as files.
#include "LibraryServices.hpp"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>

#include "HostFiles.hpp"
#include "ProjectFile.hpp"
#include "ServiceTable.hpp"

namespace fs = std::filesystem;

namespace SimHost
{

namespace
{

constexpr const char* EmbeddedLibraryName = "Eingebettete Bibliothek";
constexpr const char* HostLibraryFolder = "ARCHICAD Library 22";

ProjectModel& ModelOf(HostToken token) { return Host::From(token).model_; }

std::string Normal(const std::string& path) { return fs::path(path).lexically_normal().string(); }

std::string EmbeddedLibraryPath(const Host& host) { return (fs::path(host.WorkFolder()) / "Embedded Library").string(); }

const LibraryFolder* FolderOf(const ProjectModel& model, const std::string& path)
{
    for (const LibraryFolder& folder : model.libraryFolders)
        if (folder.available && LiesIn(path, folder.path)) return &folder;
    return nullptr;
}

std::int32_t NextIndex(const ProjectModel& model)
{
    return model.libraryParts.empty() ? 1 : model.libraryParts.rbegin()->first + 1;
}

// A part loaded again from its file, or known by its unique id, keeps its index.
std::int32_t KnownIndex(const ProjectModel& model, const LibraryPartEntry& wanted)
{
    for (const auto& [index, part] : model.libraryParts)
        if (!part.path.empty() && !wanted.path.empty() && Normal(part.path) == Normal(wanted.path)) return index;
    for (const auto& [index, part] : model.libraryParts)
        if (!wanted.uniqueId.empty() && part.uniqueId == wanted.uniqueId) return index;
    return 0;
}

std::int32_t Register(ProjectModel& model, LibraryPartEntry part)
{
    std::int32_t index = KnownIndex(model, part);
    if (index == 0) index = NextIndex(model);
    model.libraryParts[index] = std::move(part);
    return index;
}

bool IsPartFile(const fs::path& path) { return path.extension() == ".gsm"; }

// Every part file of the folder and its subfolders, in path order; nothing when
// one of them cannot be read.
bool ReadFolderParts(const std::string& folder, std::vector<LibraryPartEntry>& parts, std::string& error)
{
    std::error_code ec;
    if (!fs::is_directory(folder, ec))
    {
        error = "no library folder " + folder;
        return false;
    }
    std::vector<fs::path> files;
    for (fs::recursive_directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
        if (it->is_regular_file(ec) && IsPartFile(it->path())) files.push_back(it->path());
    if (ec)
    {
        error = "cannot list " + folder + ": " + ec.message();
        return false;
    }
    std::sort(files.begin(), files.end());
    std::vector<LibraryPartEntry> read;
    for (const fs::path& file : files)
    {
        LibraryPartEntry part;
        if (!ReadLibraryPartFile(file.string(), part, error)) return false;
        read.push_back(std::move(part));
    }
    parts = std::move(read);
    return true;
}

bool LoadFolder(ProjectModel& model, const std::string& folder, std::string& error)
{
    std::vector<LibraryPartEntry> parts;
    if (!ReadFolderParts(folder, parts, error)) return false;
    for (LibraryPartEntry& part : parts) Register(model, std::move(part));
    return true;
}

void DropPartsOutside(ProjectModel& model)
{
    for (auto it = model.libraryParts.begin(); it != model.libraryParts.end();)
        it = !it->second.path.empty() && FolderOf(model, it->second.path) == nullptr ? model.libraryParts.erase(it)
                                                                                     : std::next(it);
}

std::unique_ptr<IO::Location> LocationOf(const std::string& path)
{
    return path.empty() ? nullptr : std::make_unique<IO::Location>(path);
}

void Describe(std::int32_t index, const LibraryPartEntry& part, API_LibPart& record)
{
    record.typeID = part.typeID;
    record.index = index;
    std::snprintf(record.uniqueId, sizeof record.uniqueId, "%s", part.uniqueId.c_str());
    record.name = GS::UniString(part.name);
    record.version = part.version;
    record.fileName = GS::UniString(part.path.empty() ? std::string() : fs::path(part.path).filename().string());
    record.location = LocationOf(part.path);
    std::snprintf(record.parentUniqueId, sizeof record.parentUniqueId, "%s", part.parentUniqueId.c_str());
    record.isPlaceable = part.placeable;
    record.formatVersion = part.formatVersion;
    record.platformSign = part.platformSign;
}

bool SameText(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::toupper(static_cast<unsigned char>(x)) == std::toupper(static_cast<unsigned char>(y));
           });
}

GS::UniString UniqueIdPart(ProjectModel& model) { return APIGuid2GSGuid(model.NewGuid()).ToText(true); }

// ---- Services -------------------------------------------------------------

std::string UniqueIdOf(const API_LibPart& record)
{
    return std::string(record.uniqueId, strnlen(record.uniqueId, sizeof record.uniqueId));
}

GSErrCode SearchLibraryPart(HostToken token, API_LibPart* libPart)
{
    if (libPart == nullptr) return APIERR_BADPARS;
    const ProjectModel& model = ModelOf(token);
    const std::string name = libPart->name.ToUtf8();
    const std::string uniqueId = UniqueIdOf(*libPart);
    // The host finds a part by its main GUID whatever revision the caller names.
    const std::string mainGuid = uniqueId.substr(0, uniqueId.find('-'));
    for (const bool byMainGuid : {false, true})
    {
        for (const auto& [index, part] : model.libraryParts)
        {
            const bool found = !uniqueId.empty()
                                   ? (byMainGuid ? SameText(part.uniqueId.substr(0, part.uniqueId.find('-')), mainGuid)
                                                 : SameText(part.uniqueId, uniqueId))
                                   : !name.empty() && part.name == name;
            if (found)
            {
                Describe(index, part, *libPart);
                return NoError;
            }
        }
        if (uniqueId.empty()) break;
    }
    return APIERR_BADID;
}

GSErrCode GetLibraryPart(HostToken token, API_LibPart* libPart)
{
    if (libPart == nullptr) return APIERR_BADPARS;
    const ProjectModel& model = ModelOf(token);
    const auto it = model.libraryParts.find(libPart->index);
    if (it == model.libraryParts.end()) return APIERR_BADINDEX;
    Describe(it->first, it->second, *libPart);
    return NoError;
}

// A library part file or a data file inside a loaded library becomes a part of it.
GSErrCode RegisterLibraryPart(HostToken token, API_LibPart* libPart)
{
    ProjectModel& model = ModelOf(token);
    if (libPart == nullptr || libPart->location == nullptr) return APIERR_BADPARS;
    const std::string path = libPart->location->ToPath();
    std::error_code ec;
    const bool embedded = LiesIn(path, EmbeddedLibraryPath(Host::From(token)));
    if ((FolderOf(model, path) == nullptr && !embedded) || !fs::is_regular_file(path, ec)) return APIERR_BADPARS;
    LibraryPartEntry part;
    if (IsPartFile(path))
    {
        std::string error;
        if (!ReadLibraryPartFile(path, part, error)) return APIERR_BADPARS;
    }
    else
    {
        part.typeID = libPart->typeID;
        part.name = libPart->name.ToUtf8();
        part.path = path;
        part.uniqueId = (UniqueIdPart(model) + GS::UniString("-") + UniqueIdPart(model)).ToUtf8();
    }
    libPart->index = Register(model, std::move(part));
    Host::From(token).Log("HostRegisterLibraryPart " + fs::path(path).filename().string());
    return NoError;
}

// Begins a new part; with overwriting off an existing file is refused.
GSErrCode CreateLibraryPart(HostToken token, API_LibPart* libPart)
{
    ProjectModel& model = ModelOf(token);
    if (libPart == nullptr || libPart->location == nullptr || model.libraryPartCreation) return APIERR_BADPARS;
    const std::string path = libPart->location->ToPath();
    const LibraryFolder* folder = FolderOf(model, path);
    if (folder == nullptr || folder->readOnly) return APIERR_BADPARS;
    std::error_code ec;
    if (!model.overwriteLibraryParts && fs::exists(path, ec)) return APIERR_REFUSEDCMD;
    LibraryPartCreation creation;
    LibraryPartEntry& part = creation.part;
    part.typeID = libPart->typeID;
    part.name = libPart->name.ToUtf8();
    part.path = path;
    part.uniqueId = UniqueIdOf(*libPart);
    if (part.uniqueId.empty())
    {
        part.uniqueId = (UniqueIdPart(model) + GS::UniString("-") + UniqueIdPart(model)).ToUtf8();
        std::snprintf(libPart->uniqueId, sizeof libPart->uniqueId, "%s", part.uniqueId.c_str());
    }
    part.parentUniqueId = std::string(libPart->parentUniqueId, strnlen(libPart->parentUniqueId, sizeof libPart->parentUniqueId));
    part.placeable = libPart->isPlaceable;
    part.formatVersion = libPart->formatVersion;
    part.platformSign = libPart->platformSign;
    model.libraryPartCreation = std::move(creation);
    Host::From(token).Log("HostCreateLibraryPart " + fs::path(path).filename().string());
    return NoError;
}

GSErrCode NewLibraryPartSection(HostToken token, const API_LibPartSection* section)
{
    auto& creation = ModelOf(token).libraryPartCreation;
    if (section == nullptr || !creation || creation->openSection) return APIERR_BADPARS;
    creation->openSection = LibraryPartSection {section->sectType, section->subIdent, {}};
    return NoError;
}

GSErrCode WriteLibraryPartSection(HostToken token, std::int32_t nByte, const char* data)
{
    auto& creation = ModelOf(token).libraryPartCreation;
    if (!creation || !creation->openSection || nByte < 0 || (nByte > 0 && data == nullptr)) return APIERR_BADPARS;
    creation->openSection->bytes.insert(creation->openSection->bytes.end(), data, data + nByte);
    return NoError;
}

GSErrCode EndLibraryPartSection(HostToken token, const API_LibPartSection*)
{
    auto& creation = ModelOf(token).libraryPartCreation;
    if (!creation || !creation->openSection) return APIERR_BADPARS;
    creation->part.SetSection(*creation->openSection);
    creation->openSection.reset();
    return NoError;
}

GSErrCode BuildParameterSection(HostToken, const std::vector<API_AddParType>* params, double a, double b,
                                std::vector<char>* section)
{
    if (params == nullptr || section == nullptr) return APIERR_BADPARS;
    *section = ParameterSectionBytes(ParameterList {a, b, *params});
    return NoError;
}

GSErrCode SetLibraryPartDetails(HostToken token, const API_LibPartDetails* details)
{
    auto& creation = ModelOf(token).libraryPartCreation;
    if (details == nullptr || !creation) return APIERR_BADPARS;
    creation->part.details = *details;
    return NoError;
}

LibraryPartSection SectionOf(const API_LibPartSection& section, const std::vector<char>* data, const GS::UniString* text)
{
    LibraryPartSection made {section.sectType, section.subIdent, {}};
    if (text != nullptr)
    {
        const std::string utf8 = text->ToUtf8();
        made.bytes.assign(utf8.begin(), utf8.end());
    }
    else if (data != nullptr)
    {
        made.bytes = *data;
    }
    return made;
}

GSErrCode AddLibraryPartSection(HostToken token, const API_LibPartSection* section, const std::vector<char>* data,
                                const GS::UniString* text)
{
    auto& creation = ModelOf(token).libraryPartCreation;
    if (section == nullptr || !creation || creation->openSection || (data == nullptr && text == nullptr)) return APIERR_BADPARS;
    creation->part.SetSection(SectionOf(*section, data, text));
    return NoError;
}

// Writes the new part's file and adds it to the loaded library.
GSErrCode SaveLibraryPart(HostToken token, API_LibPart* libPart)
{
    ProjectModel& model = ModelOf(token);
    auto& creation = model.libraryPartCreation;
    if (!creation || creation->openSection) return APIERR_BADPARS;
    LibraryPartEntry part = std::move(creation->part);
    creation.reset();
    std::string error;
    if (!SaveLibraryPartFile(part, error)) return APIERR_GENERAL;
    Host::From(token).Log("HostSaveLibraryPart " + fs::path(part.path).filename().string());
    const std::int32_t index = Register(model, std::move(part));
    if (libPart != nullptr) libPart->index = index;
    return NoError;
}

LibraryPartEntry* PartAt(HostToken token, std::int32_t index)
{
    auto& parts = ModelOf(token).libraryParts;
    const auto it = parts.find(index);
    return it == parts.end() ? nullptr : &it->second;
}

GSErrCode GetLibraryPartParameters(HostToken token, std::int32_t libraryIndex, double* a, double* b,
                                   std::vector<API_AddParType>* params)
{
    const LibraryPartEntry* part = PartAt(token, libraryIndex);
    if (part == nullptr) return APIERR_BADINDEX;
    if (a != nullptr) *a = part->sizeA;
    if (b != nullptr) *b = part->sizeB;
    if (params != nullptr) *params = part->params;
    return NoError;
}

// A part's section changes in its file too; a file that cannot be written changes nothing.
GSErrCode UpdateLibraryPartSection(HostToken token, std::int32_t libInd, const API_LibPartSection* section,
                                   const std::vector<char>* data, const GS::UniString* text)
{
    const ProjectModel& model = ModelOf(token);
    LibraryPartEntry* part = PartAt(token, libInd);
    if (part == nullptr) return APIERR_BADINDEX;
    if (section == nullptr || (data == nullptr && text == nullptr) || part->path.empty() || !IsPartFile(part->path))
        return APIERR_BADPARS;
    const LibraryFolder* folder = FolderOf(model, part->path);
    if (folder == nullptr || folder->readOnly) return APIERR_BADPARS;
    LibraryPartEntry changed = *part;
    changed.SetSection(SectionOf(*section, data, text));
    std::string error;
    if (!SaveLibraryPartFile(changed, error)) return APIERR_GENERAL;
    *part = std::move(changed);
    return NoError;
}

GSErrCode GetLibraryPartSection(HostToken token, std::int32_t libInd, const API_LibPartSection* section, std::vector<char>* data,
                                GS::UniString* text)
{
    const LibraryPartEntry* part = PartAt(token, libInd);
    if (part == nullptr) return APIERR_BADINDEX;
    if (section == nullptr) return APIERR_BADPARS;
    const LibraryPartSection* found = part->Section(section->sectType, section->subIdent);
    if (found == nullptr) return APIERR_BADID;
    if (data != nullptr) *data = found->bytes;
    if (text != nullptr) *text = GS::UniString(std::string(found->bytes.begin(), found->bytes.end()));
    return NoError;
}

GSErrCode GetLibraryPartSectionList(HostToken token, std::int32_t libInd, std::vector<API_LibPartSection>* sections)
{
    const LibraryPartEntry* part = PartAt(token, libInd);
    if (part == nullptr) return APIERR_BADINDEX;
    if (sections == nullptr) return APIERR_BADPARS;
    sections->clear();
    for (const LibraryPartSection& section : part->sections) sections->push_back({section.type, section.subIdent});
    return NoError;
}

// The folders given become the loaded libraries: parts of folders no longer given
// go, parts of new folders come, and every other part keeps its index.
void SetLoadedLibraries(Host& host, const std::vector<API_LibraryInfo>& libraries)
{
    ProjectModel& model = host.model_;
    const std::vector<LibraryFolder> before = model.libraryFolders;
    model.libraryFolders.clear();
    for (const API_LibraryInfo& info : libraries)
    {
        if (info.libraryType == APILibrary_Embedded) continue;
        model.libraryFolders.push_back(
            {info.location.ToPath(), info.name.ToUtf8(), info.libraryType, info.available, info.readOnly});
    }
    DropPartsOutside(model);
    for (const LibraryFolder& folder : model.libraryFolders)
    {
        const bool known = std::any_of(before.begin(), before.end(), [&](const LibraryFolder& f) {
            return Normal(f.path) == Normal(folder.path) && f.available;
        });
        std::string error;
        if (folder.available && !known && !LoadFolder(model, folder.path, error)) host.Log("library not loaded: " + error);
    }
}

}  // namespace

bool LiesIn(const std::string& path, const std::string& folder)
{
    const std::string inner = Normal(path);
    std::string outer = Normal(folder);
    if (!outer.empty() && outer.back() != '/') outer += '/';
    return inner.compare(0, outer.size(), outer) == 0;
}

std::vector<API_LibraryInfo> LoadedLibraries(const Host& host)
{
    std::vector<API_LibraryInfo> list;
    API_LibraryInfo embedded;
    embedded.location = IO::Location(EmbeddedLibraryPath(host));
    embedded.name = GS::UniString(EmbeddedLibraryName);
    embedded.libraryType = APILibrary_Embedded;
    list.push_back(embedded);
    for (const LibraryFolder& folder : host.model_.libraryFolders)
        list.push_back({IO::Location(folder.path), GS::UniString(folder.name), folder.type, folder.available, folder.readOnly});
    return list;
}

bool LoadLibraryFolder(Host& host, const std::string& path, std::string& error, bool readOnly, bool available)
{
    const std::string folder = Normal(path);
    std::error_code ec;
    if (!fs::is_directory(folder, ec))
    {
        error = "no library folder " + path;
        return false;
    }
    std::vector<LibraryPartEntry> parts;
    if (available && !ReadFolderParts(folder, parts, error)) return false;
    // The add-ons' folder is the installation's, not the user's to write into.
    readOnly = readOnly || (!host.InstalledAddOnFolder().empty() && LiesIn(folder, host.InstalledAddOnFolder()));
    ProjectModel& model = host.model_;
    const auto known = std::find_if(model.libraryFolders.begin(), model.libraryFolders.end(),
                                    [&](const LibraryFolder& f) { return Normal(f.path) == folder; });
    if (known == model.libraryFolders.end())
        model.libraryFolders.push_back({folder, fs::path(folder).filename().string(), APILibrary_Local, available, readOnly});
    for (LibraryPartEntry& part : parts) Register(model, std::move(part));
    host.Log("library loaded " + path);
    host.FireProjectEvent(APINotify_ChangeLibrary);
    return true;
}

GSErrCode LibraryEnvironmentRequest(Host& host, std::int32_t code, void* par1, void* par2)
{
    if (par1 == nullptr) return APIERR_BADPARS;
    if (code == FourCC("GLIB"))
    {
        *static_cast<std::vector<API_LibraryInfo>*>(par1) = LoadedLibraries(host);
        if (par2 != nullptr) *static_cast<std::int32_t*>(par2) = 0;
        return NoError;
    }
    if (code == FourCC("SLIB"))
    {
        SetLoadedLibraries(host, *static_cast<const std::vector<API_LibraryInfo>*>(par1));
        return NoError;
    }
    if (code == FourCC("OWLP"))
    {
        host.model_.overwriteLibraryParts = *static_cast<const bool*>(par1);
        return NoError;
    }
    if (code == FourCC("CFOL") || code == FourCC("CFIL"))
    {
        const std::string folder = static_cast<const IO::Location*>(par1)->ToPath();
        std::error_code ec;
        if (!LiesIn(folder, EmbeddedLibraryPath(host))) return APIERR_BADPARS;
        if (code == FourCC("CFOL"))
            return fs::create_directories(folder, ec) || fs::is_directory(folder, ec) ? NoError : APIERR_GENERAL;
        const auto* request = static_cast<const API_FileCopyRequest*>(par2);
        if (request == nullptr || !fs::is_directory(folder, ec)) return APIERR_BADPARS;
        const auto options = request->overwrite ? fs::copy_options::overwrite_existing : fs::copy_options::skip_existing;
        for (const IO::Location& file : request->files)
        {
            const fs::path source(file.ToPath());
            if (!fs::copy_file(source, fs::path(folder) / source.filename(), options, ec) && ec) return APIERR_GENERAL;
            host.Log("embedded " + source.filename().string());
        }
        return NoError;
    }
    std::string error;
    const bool loaded = host.project_.open && LoadLibraryFolder(host, static_cast<const IO::Location*>(par1)->ToPath(), error);
    if (!loaded) host.Log("library not added: " + error);
    return loaded ? NoError : APIERR_GENERAL;
}

std::string EmbeddedLibraryFolderPath(const Host& host) { return EmbeddedLibraryPath(host); }

std::string HostLibraryFolderPath(const Host& host) { return (fs::path(host.WorkFolder()) / HostLibraryFolder).string(); }

void FillLibraryServices(HostServiceTable& table)
{
    SIMHOST_SET_SERVICE(table, HostSearchLibraryPart, SearchLibraryPart);
    SIMHOST_SET_SERVICE(table, HostGetLibraryPart, GetLibraryPart);
    SIMHOST_SET_SERVICE(table, HostRegisterLibraryPart, RegisterLibraryPart);
    SIMHOST_SET_SERVICE(table, HostCreateLibraryPart, CreateLibraryPart);
    SIMHOST_SET_SERVICE(table, HostNewLibraryPartSection, NewLibraryPartSection);
    SIMHOST_SET_SERVICE(table, HostWriteLibraryPartSection, WriteLibraryPartSection);
    SIMHOST_SET_SERVICE(table, HostEndLibraryPartSection, EndLibraryPartSection);
    SIMHOST_SET_SERVICE(table, HostBuildParameterSection, BuildParameterSection);
    SIMHOST_SET_SERVICE(table, HostSetLibraryPartDetails, SetLibraryPartDetails);
    SIMHOST_SET_SERVICE(table, HostAddLibraryPartSection, AddLibraryPartSection);
    SIMHOST_SET_SERVICE(table, HostSaveLibraryPart, SaveLibraryPart);
    SIMHOST_SET_SERVICE(table, HostGetLibraryPartParameters, GetLibraryPartParameters);
    SIMHOST_SET_SERVICE(table, HostUpdateLibraryPartSection, UpdateLibraryPartSection);
    SIMHOST_SET_SERVICE(table, HostGetLibraryPartSection, GetLibraryPartSection);
    SIMHOST_SET_SERVICE(table, HostGetLibraryPartSectionList, GetLibraryPartSectionList);
}

// A part the project file names keeps what the file stored and takes its sections
// from its own file again; the folders' parts that are new come after.
void ReloadLibraryParts(ProjectModel& model)
{
    for (auto& [index, part] : model.libraryParts)
    {
        if (part.path.empty() || !IsPartFile(part.path)) continue;
        LibraryPartEntry read;
        std::string error;
        if (!ReadLibraryPartFile(part.path, read, error)) continue;
        part.sections = std::move(read.sections);
        part.details = read.details;
        part.placeable = read.placeable;
        part.formatVersion = read.formatVersion;
        part.platformSign = read.platformSign;
        part.parentUniqueId = read.parentUniqueId;
    }
    for (const LibraryFolder& folder : model.libraryFolders)
    {
        std::vector<LibraryPartEntry> parts;
        std::string error;
        if (!folder.available || !ReadFolderParts(folder.path, parts, error)) continue;
        for (LibraryPartEntry& part : parts)
            if (KnownIndex(model, part) == 0) Register(model, std::move(part));
    }
}

}  // namespace SimHost
