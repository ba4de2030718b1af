// The E57 import command: the file dialog with its panel, the target folder as a
// loaded library, and every chosen file read into parts inside one undoable command
// under the progress window.
#include <memory>
#include <vector>

#include "API/AddOnInterface.hpp"
#include "DG/FileDialog.hpp"
#include "FTM/FileTypeManager.hpp"
#include "IO/Folder.hpp"
#include "RS/ResourceModule.hpp"
#include "e57/E57Exception.hpp"
#include "frame/Survanto.hpp"
#include "frame/UInterface.hpp"
#include "framework/OwnChangeScope.hpp"
#include "pointclouds/E57FileImport.hpp"
#include "pointclouds/E57OpenFilePanel.hpp"
#include "pointclouds/ImportLibraries.hpp"

namespace
{

constexpr std::int16_t DialogStrings = 32580;
constexpr std::int16_t FileTypeText = 18;
constexpr std::int16_t TitleText = 19;
constexpr std::int16_t ProgressTitle = 108;
constexpr std::int32_t ErrorTitle = AlertErrorTitle;
constexpr std::int32_t NoPointCloudText = 96;
constexpr std::int32_t OkButton = AlertOkButton;

// The host's own library folder, else the project's "Point Cloud" folder, else the
// first usable library.
IO::Location DefaultTargetFolder()
{
    API_SpecFolderRequest hostLibrary;
    hostLibrary.folderId = API_DefaultLibraryFolderID;
    const bool hostLibraryKnown = HostEnvironmentRequest(FourCC("GSPF"), &hostLibrary, nullptr) == NoError;
    if (const std::optional<IO::Location> projectFolder = ImportLibraries::ProjectPointCloudFolder()) return *projectFolder;
    const ImportLibraries libraries = ImportLibraries::Read();
    for (std::size_t i = 0; i < libraries.list.size(); ++i)
        if (libraries.IsUsable(i)) return libraries.list[i].location;
    return hostLibraryKnown ? hostLibrary.location : IO::Location();
}

// A folder that is not there is made inside its parent; false when there is none afterwards.
bool MakeTargetFolder(const IO::Location& folder)
{
    if (IO::Folder(folder).GetStatus() == 0) return true;
    IO::Location parent = folder;
    parent.DeleteLastLocalName();
    IO::Folder(parent).CreateFolder(IO::Name(folder.GetLastLocalName()));
    return IO::Folder(folder).GetStatus() == 0;
}

// A folder outside the usable libraries becomes a loaded library before parts go into it.
void LoadTargetFolder(const IO::Location& folder)
{
    ImportLibraries libraries = ImportLibraries::Read();
    if (libraries.HoldsFolder(folder)) return;
    API_LibraryInfo library;
    library.location = folder;
    library.name = GS::UniString(folder.GetLastLocalName());
    library.libraryType = APILibrary_Local;
    library.available = true;
    library.readOnly = false;
    libraries.list.push_back(library);
    HostEnvironmentRequest(FourCC("SLIB"), &libraries.list, nullptr);
}

void LockElements(const std::vector<API_Guid>& made)
{
    std::vector<API_Elem_Head> headers;
    for (const API_Guid& guid : made)
    {
        API_Elem_Head header {};
        header.guid = guid;
        headers.push_back(header);
    }
    HostApplyElementTool(headers.data(), static_cast<std::int32_t>(headers.size()), APITool_Lock);
}

E57ImportOptions OptionsOf(const E57OpenFilePanel& panel, std::size_t selectedFiles)
{
    E57ImportOptions options;
    options.targetFolder = panel.targetFolder;
    options.partName = panel.partName;
    options.selectedFiles = selectedFiles;
    options.storeyIndex = panel.storeyIndex;
    options.thinOut = panel.thinOut;
    options.thinByDistance = panel.thinByDistance;
    options.distance75 = panel.distance75;
    options.distance50 = panel.distance50;
    options.distance25 = panel.distance25;
    return options;
}

// The progress window from the opening to the end of the command, also when it throws.
class ProgressWindow
{
public:
    ProgressWindow(GS::UniString title, std::int16_t phases) : title_(std::move(title)), phases_(phases)
    {
        HostInterfaceRequest(FourCC("IPWD"), &title_, &phases_);
    }
    ProgressWindow(const ProgressWindow&) = delete;
    ProgressWindow& operator=(const ProgressWindow&) = delete;
    ~ProgressWindow() { HostInterfaceRequest(FourCC("CPWD"), nullptr, nullptr); }

private:
    GS::UniString title_;
    std::int16_t phases_;
};

// The command's body: each chosen file in the dialog's order until the user cancels.
GSErrCode ImportE57Scans(Survanto& survanto, const DG::FileDialog& dialog, const E57OpenFilePanel& panel)
{
    const OwnChangeScope own("ImportE57Scans");
    bool cancelled = false, failed = false;
    const E57ImportOptions options = OptionsOf(panel, dialog.GetSelectionCount());
    for (std::size_t i = 0; i < dialog.GetSelectionCount() && !cancelled; ++i)
    {
        LoadTargetFolder(panel.targetFolder);
        std::vector<API_Guid> made;
        try
        {
            E57FileImport(survanto, options, cancelled, failed).Run(dialog.GetSelectedFile(i), made);
        }
        catch (const e57::E57Exception&)
        {
            failed = true;
        }
        if (cancelled) break;
        if (panel.lockElements && !made.empty()) LockElements(made);
    }
    if (failed)
        ShowAlert(AlertError, AlertStringListId, ErrorTitle, NoPointCloudText, NoAlertText, OkButton, NoAlertText, NoAlertText,
                  CurrentResourceModule(), AlertStringType);
    return NoError;
}

}  // namespace

void Survanto::ImportE57File()
{
    const GSResModule texts = CurrentResourceModule();
    const GS::UniString fileType = RS::GetIndString(DialogStrings, FileTypeText, texts);
    DG::FileDialog dialog(DG::FileDialog::OpenMultiFile);
    dialog.EnablePreview();
    E57OpenFilePanel panel(dialog, E57OpenFilePanel::PanelId);
    panel.targetFolder = DefaultTargetFolder();
    FTM::FileTypeManager manager("MyManager");
    const FTM::GroupID group = manager.AddGroup(fileType, FTM::RootGroup);
    manager.AddType(FTM::FileType(fileType, "e57"), group);
    dialog.AddFilterGroups(manager, FTM::UnknownGroup);
    dialog.AddFilterTypes(manager, FTM::UnknownGroup);
    dialog.AddFilter(manager, group);
    dialog.SetTitle(RS::GetIndString(DialogStrings, TitleText, texts));
    dialog.SelectFilter(1);
    if (!dialog.Invoke()) return;
    if (!MakeTargetFolder(panel.targetFolder)) return;
    {
        const ProgressWindow progress(RS::GetIndString(AlertStringListId, ProgressTitle, texts),
                                      static_cast<std::int16_t>(dialog.GetSelectionCount()));
        // Nothing thrown may reach the host: an unforeseen error takes the command back.
        HostCallUndoableCommand(GS::UniString(), [this, &dialog, &panel]() noexcept {
            try
            {
                return ImportE57Scans(*this, dialog, panel);
            }
            catch (...)
            {
                return APIERR_GENERAL;
            }
        });
    }
    navigatorPalette.Refresh();
}
