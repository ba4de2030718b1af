#pragma once
#include <cstddef>
#include <string>
#include <vector>

#include "FTM/FileTypeManager.hpp"
#include "GS/UniString.hpp"
#include "IO/Location.hpp"
#include "RS/ResourceModule.hpp"

// The host's system file dialog with an add-on's panel in it, and the folder
// browser. Headless: whoever drives the host queues the user's answer before the
// dialog opens, as the selected files and then the user's actions on the panel.
namespace DG
{

class FileDialog;
class SystemDialogPanel;
struct PanelAction;

class PanelObserver
{
public:
    virtual ~PanelObserver();
    virtual void OnPanelOpened();
    virtual void OnPanelResized(short dx, short dy);
};

class FileDialogObserver
{
public:
    virtual ~FileDialogObserver();
    virtual void OnFileSelectionChanged(const FileDialog& dialog);
};

// An observer of every item of a compound item such as a panel.
class CompoundItemObserver
{
public:
    virtual ~CompoundItemObserver();
};

class TextEditBaseObserver
{
public:
    virtual ~TextEditBaseObserver();
    virtual void OnTextEditChanged(short item);
};

class ButtonItemObserver
{
public:
    virtual ~ButtonItemObserver();
    virtual void OnButtonClicked(short item);
};

class PopUpObserver
{
public:
    virtual ~PopUpObserver();
    virtual void OnPopUpChanged(short item);
};

class CheckItemObserver
{
public:
    virtual ~CheckItemObserver();
    virtual void OnCheckItemChanged(short item);
};

class RadioItemObserver
{
public:
    virtual ~RadioItemObserver();
    virtual void OnRadioItemChanged(short item);
};

class UserControlObserver
{
public:
    virtual ~UserControlObserver();
    virtual void OnUserControlChanged(short item);
};

class RealEditObserver
{
public:
    virtual ~RealEditObserver();
    virtual void OnRealEditChanged(short item);
};

class FileDialog
{
public:
    enum Type
    {
        OpenFile = 0,
        OpenMultiFile = 1,
        Save = 2,
        OpenFolder = 3
    };

    explicit FileDialog(Type type);
    FileDialog(const FileDialog&) = delete;
    FileDialog& operator=(const FileDialog&) = delete;
    ~FileDialog();

    void SetTitle(const GS::UniString& title) { title_ = title; }
    void EnablePreview() { preview_ = true; }
    // Filters offered in the type pop-up, in the order added.
    void AddFilterGroups(const FTM::FileTypeManager& manager, FTM::GroupID parent);
    void AddFilterTypes(const FTM::FileTypeManager& manager, FTM::GroupID parent);
    void AddFilter(const FTM::FileTypeManager& manager, FTM::GroupID group);
    void SelectFilter(std::size_t index) { selectedFilter_ = index; }

    // Shows the dialog: true when the user chose files.
    bool Invoke();
    std::size_t GetSelectionCount() const { return selection_.size(); }
    IO::Location GetSelectedFile(std::size_t index) const;

    void Attach(FileDialogObserver& observer);
    void Detach(FileDialogObserver& observer);

private:
    friend class SystemDialogPanel;

    void SelectFiles(const std::vector<IO::Location>& files);

    Type type_;
    GS::UniString title_;
    bool preview_ = false;
    std::vector<GS::UniString> filters_;
    std::size_t selectedFilter_ = 0;
    std::vector<IO::Location> selection_;
    std::vector<FileDialogObserver*> observers_;
    SystemDialogPanel* panel_ = nullptr;
};

// An add-on's panel inside a file dialog: a dialog of its own resource whose items
// the dialog manager keeps under the resource id, readable and writable as any
// other dialog's. The user's actions reach the attached observers.
class SystemDialogPanel
{
public:
    SystemDialogPanel(FileDialog& dialog, RS::ResModule module, short resourceId);
    SystemDialogPanel(const SystemDialogPanel&) = delete;
    SystemDialogPanel& operator=(const SystemDialogPanel&) = delete;
    virtual ~SystemDialogPanel();

    short GetId() const { return resourceId_; }
    FileDialog& GetDialog() const { return dialog_; }

    void Attach(PanelObserver& observer) { panelObserver_ = &observer; }
    void Attach(TextEditBaseObserver& observer) { textObserver_ = &observer; }
    void Attach(ButtonItemObserver& observer) { buttonObserver_ = &observer; }
    void Attach(PopUpObserver& observer) { popUpObserver_ = &observer; }
    void Attach(CheckItemObserver& observer) { checkObserver_ = &observer; }
    void Attach(RadioItemObserver& observer) { radioObserver_ = &observer; }
    void Attach(UserControlObserver& observer) { userControlObserver_ = &observer; }
    void Attach(RealEditObserver& observer) { realObserver_ = &observer; }

private:
    friend class FileDialog;

    void Open();
    void Close();
    // False when the item cannot take the action: unknown, hidden or disabled.
    bool Apply(const PanelAction& action);
    void Notify(const std::string& type, short item);

    FileDialog& dialog_;
    RS::ResModule module_;
    short resourceId_;
    PanelObserver* panelObserver_ = nullptr;
    TextEditBaseObserver* textObserver_ = nullptr;
    ButtonItemObserver* buttonObserver_ = nullptr;
    PopUpObserver* popUpObserver_ = nullptr;
    CheckItemObserver* checkObserver_ = nullptr;
    RadioItemObserver* radioObserver_ = nullptr;
    UserControlObserver* userControlObserver_ = nullptr;
    RealEditObserver* realObserver_ = nullptr;
};

// One action of the user inside an open file dialog: choosing files, setting an
// item's value (a check, radio, real edit or pop-up entry), typing an item's text,
// clicking a button, or widening and heightening the panel.
struct PanelAction
{
    enum Kind
    {
        Select,
        Value,
        Text,
        Click,
        Resize
    };
    Kind kind = Select;
    short item = 0;
    double value = 0.0;
    GS::UniString text;
    std::vector<IO::Location> files;
    short dx = 0;
    short dy = 0;
};

// The answer to the next file dialog: its actions in order, then OK or Cancel.
void QueueOpenAnswer(bool accept, const std::vector<IO::Location>& files);
// Adds an action to the answer queued last; false when none is queued.
bool AddPanelAction(const PanelAction& action);

struct FileDialogShown
{
    int type = 0;
    GS::UniString title;
    bool preview = false;
    std::vector<GS::UniString> filters;
    std::size_t selectedFilter = 0;
    short panel = 0;
    std::vector<IO::Location> selection;
    bool accepted = false;
    std::vector<std::string> refused;  // actions on items the user could not reach
};
const std::vector<FileDialogShown>& RecordedOpenDialogs();

}  // namespace DG
