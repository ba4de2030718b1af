#include <cstdint>
#include <cstdio>
#include <vector>

#include "API/AddOnInterface.hpp"
#include "frame/Survanto.hpp"
#include "frame/UInterface.hpp"
#include "framework/HostApiHelpers.hpp"
#include "persistence/ProjectUser.hpp"

namespace
{

constexpr const char* VersionPartId = "{2B4469A5-2D30-426D-B5E1-C290A9528079}-{CE7708ED-B319-4A93-9422-0E3411D692F7}";
constexpr std::int32_t ExpectedLibraryVersion = 6;
constexpr const char* LibraryFolderName = "Survanto Library";

constexpr std::int32_t TextOutdatedTeamwork = 64;
constexpr std::int32_t TextNewer = 66;
constexpr std::int32_t TextOutdatedSolo = 67;

IO::Location LibraryFolderBesideAddOn()
{
    IO::Location folder = HostGetOwnLocation();
    folder.SetLastLocalName(LibraryFolderName);
    return folder;
}

bool LibraryFolderLoaded()
{
    std::vector<API_LibraryInfo> libraries;
    if (HostEnvironmentRequest(FourCC("GLIB"), &libraries, nullptr) != NoError) return false;
    for (const API_LibraryInfo& library : libraries)
        if (!library.location.IsEmpty() && library.location.GetLastLocalName() == LibraryFolderName) return true;
    return false;
}

struct VersionPart
{
    bool found = false;
    bool outdated = true;
    bool newer = false;
};

VersionPart ReadVersionPart()
{
    VersionPart result;
    API_LibPart part;
    std::snprintf(part.uniqueId, sizeof part.uniqueId, "%s", VersionPartId);
    if (HostSearchLibraryPart(&part) != NoError) return result;
    double a = 0.0;
    double b = 0.0;
    std::vector<API_AddParType> params;
    if (HostGetLibraryPartParameters(part.index, &a, &b, &params) != NoError) return result;
    result.found = true;
    const std::int32_t index = FindParamIndex("version", &params);
    if (index < 0) return result;
    const auto version = static_cast<std::int32_t>(params[static_cast<std::size_t>(index)].value);
    result.outdated = version != ExpectedLibraryVersion;
    result.newer = version > ExpectedLibraryVersion;
    return result;
}

std::int32_t LibraryAlertText(std::int16_t blockedState)
{
    switch (blockedState)
    {
        case 1: return TextNewer;
        case 2: return TextOutdatedTeamwork;
        case 3: return TextOutdatedSolo;
        default: return NoAlertText;
    }
}

}  // namespace

void Survanto::CheckLibrary()
{
    blockedState = 0;
    const bool teamwork = ProjectUser::InTeamworkProject();
    const bool folderFound = LibraryFolderLoaded();
    const VersionPart versionPart = ReadVersionPart();
    const bool found = folderFound || versionPart.found;

    if (found && versionPart.outdated)
    {
        blockedState = versionPart.newer ? 1 : (teamwork ? 2 : 3);
        ShowLibraryAlert();
        for (CDialogBase* palette :
             {static_cast<CDialogBase*>(this), static_cast<CDialogBase*>(&debugPalette), static_cast<CDialogBase*>(&infoPalette)})
            if (palette->GetOpenMode() != CDialogBase::Closed) palette->Close();
    }
    if (!found)
    {
        const IO::Location folder = LibraryFolderBesideAddOn();
        HostEnvironmentRequest(FourCC("ALIB"), const_cast<IO::Location*>(&folder), nullptr);
    }
}

void Survanto::ShowLibraryAlert()
{
    ShowAlert(AlertWarning, AlertStringListId, AlertWarningTitle, LibraryAlertText(blockedState), NoAlertText, AlertOkButton,
              NoAlertText, NoAlertText, CurrentResourceModule(), AlertStringType);
}
