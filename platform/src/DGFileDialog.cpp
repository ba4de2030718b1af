#include <algorithm>
#include <deque>

#include "DG/FileDialog.hpp"
#include "DGModel.hpp"

namespace DG
{

namespace
{

struct OpenAnswer
{
    bool accept = false;
    std::vector<PanelAction> actions;
};

struct FileDialogState
{
    std::deque<OpenAnswer> openAnswers;
    std::vector<FileDialogShown> openDialogs;
};

FileDialogState& State()
{
    static FileDialogState state;
    return state;
}

std::string ActionText(const PanelAction& action)
{
    switch (action.kind)
    {
        case PanelAction::Value: return "value of item " + std::to_string(action.item);
        case PanelAction::Text: return "text of item " + std::to_string(action.item);
        case PanelAction::Click: return "click on item " + std::to_string(action.item);
        default: return "action on item " + std::to_string(action.item);
    }
}

}  // namespace

PanelObserver::~PanelObserver() = default;
void PanelObserver::OnPanelOpened() {}
void PanelObserver::OnPanelResized(short, short) {}
FileDialogObserver::~FileDialogObserver() = default;
void FileDialogObserver::OnFileSelectionChanged(const FileDialog&) {}
CompoundItemObserver::~CompoundItemObserver() = default;
TextEditBaseObserver::~TextEditBaseObserver() = default;
void TextEditBaseObserver::OnTextEditChanged(short) {}
ButtonItemObserver::~ButtonItemObserver() = default;
void ButtonItemObserver::OnButtonClicked(short) {}
PopUpObserver::~PopUpObserver() = default;
void PopUpObserver::OnPopUpChanged(short) {}
CheckItemObserver::~CheckItemObserver() = default;
void CheckItemObserver::OnCheckItemChanged(short) {}
RadioItemObserver::~RadioItemObserver() = default;
void RadioItemObserver::OnRadioItemChanged(short) {}
UserControlObserver::~UserControlObserver() = default;
void UserControlObserver::OnUserControlChanged(short) {}
RealEditObserver::~RealEditObserver() = default;
void RealEditObserver::OnRealEditChanged(short) {}

FileDialog::FileDialog(Type type) : type_(type) {}
FileDialog::~FileDialog() = default;

void FileDialog::AddFilterGroups(const FTM::FileTypeManager& manager, FTM::GroupID parent)
{
    for (const FTM::GroupID group : manager.ChildGroups(parent)) filters_.push_back(manager.GroupName(group));
}

void FileDialog::AddFilterTypes(const FTM::FileTypeManager& manager, FTM::GroupID parent)
{
    for (const FTM::TypeID type : manager.ChildTypes(parent)) filters_.push_back(manager.TypeText(type));
}

void FileDialog::AddFilter(const FTM::FileTypeManager& manager, FTM::GroupID group)
{
    GS::UniString text = manager.GroupName(group);
    for (const FTM::TypeID type : manager.ChildTypes(group)) text += GS::UniString(": ") + manager.TypeText(type);
    filters_.push_back(text);
}

IO::Location FileDialog::GetSelectedFile(std::size_t index) const
{
    return index < selection_.size() ? selection_[index] : IO::Location();
}

void FileDialog::Attach(FileDialogObserver& observer) { observers_.push_back(&observer); }

void FileDialog::Detach(FileDialogObserver& observer)
{
    observers_.erase(std::remove(observers_.begin(), observers_.end(), &observer), observers_.end());
}

void FileDialog::SelectFiles(const std::vector<IO::Location>& files)
{
    selection_ = type_ == OpenMultiFile || files.size() <= 1 ? files : std::vector<IO::Location> {files.front()};
    for (FileDialogObserver* observer : std::vector<FileDialogObserver*>(observers_)) observer->OnFileSelectionChanged(*this);
}

bool FileDialog::Invoke()
{
    FileDialogState& state = State();
    OpenAnswer answer;
    if (!state.openAnswers.empty())
    {
        answer = state.openAnswers.front();
        state.openAnswers.pop_front();
    }
    FileDialogShown shown {type_, title_, preview_, filters_, selectedFilter_, panel_ == nullptr ? short(0) : panel_->GetId(),
                           {},    false,  {}};
    selection_.clear();
    if (panel_ != nullptr) panel_->Open();
    for (const PanelAction& action : answer.actions)
    {
        if (action.kind == PanelAction::Select)
        {
            SelectFiles(action.files);
            continue;
        }
        if (panel_ == nullptr || !panel_->Apply(action)) shown.refused.push_back(ActionText(action));
    }
    if (panel_ != nullptr) panel_->Close();
    if (!answer.accept) selection_.clear();
    shown.selection = selection_;
    shown.accepted = answer.accept && !selection_.empty();
    state.openDialogs.push_back(shown);
    return shown.accepted;
}

SystemDialogPanel::SystemDialogPanel(FileDialog& dialog, RS::ResModule module, short resourceId)
    : dialog_(dialog), module_(module), resourceId_(resourceId)
{
    DG::GetDialog(resourceId, module);
    dialog_.panel_ = this;
}

SystemDialogPanel::~SystemDialogPanel()
{
    if (dialog_.panel_ == this) dialog_.panel_ = nullptr;
    if (Dialog* panel = Model::Lookup(resourceId_)) panel->open = false;
}

void SystemDialogPanel::Open()
{
    if (Dialog* panel = DG::GetDialog(resourceId_, module_)) panel->open = true;
    if (panelObserver_ != nullptr) panelObserver_->OnPanelOpened();
}

void SystemDialogPanel::Close()
{
    if (Dialog* panel = Model::Lookup(resourceId_)) panel->open = false;
}

bool SystemDialogPanel::Apply(const PanelAction& action)
{
    if (action.kind == PanelAction::Resize)
    {
        Size size = GetClientSize(resourceId_);
        SetClientSize(resourceId_, static_cast<short>(size.width + action.dx), static_cast<short>(size.height + action.dy));
        if (panelObserver_ != nullptr) panelObserver_->OnPanelResized(action.dx, action.dy);
        return true;
    }
    const Item* item = Model::LookupItem(resourceId_, action.item);
    if (item == nullptr || !item->visible || !item->enabled) return false;
    const std::string type = item->type;
    if (action.kind == PanelAction::Text)
    {
        if (type != "edit") return false;
        SetItemText(resourceId_, action.item, action.text);
    }
    else if (action.kind == PanelAction::Value)
    {
        if (type == "button" || type == "edit" || type == "text") return false;
        SetItemValue(resourceId_, action.item, action.value);
    }
    else if (action.kind == PanelAction::Click && type == "check")
    {
        SetItemValue(resourceId_, action.item, item->value != 0.0 ? 0.0 : 1.0);
    }
    else if (action.kind == PanelAction::Click && type == "radio")
    {
        SetItemValue(resourceId_, action.item, 1.0);
    }
    else if (action.kind == PanelAction::Click && type != "button")
    {
        return false;
    }
    Notify(type, action.item);
    return true;
}

void SystemDialogPanel::Notify(const std::string& type, short item)
{
    if (type == "check" && checkObserver_ != nullptr) checkObserver_->OnCheckItemChanged(item);
    if (type == "radio" && radioObserver_ != nullptr) radioObserver_->OnRadioItemChanged(item);
    if (type == "edit" && textObserver_ != nullptr) textObserver_->OnTextEditChanged(item);
    if (type == "real" && realObserver_ != nullptr) realObserver_->OnRealEditChanged(item);
    if (type == "popup" && popUpObserver_ != nullptr) popUpObserver_->OnPopUpChanged(item);
    if (type == "user" && userControlObserver_ != nullptr) userControlObserver_->OnUserControlChanged(item);
    if (type == "button" && buttonObserver_ != nullptr) buttonObserver_->OnButtonClicked(item);
}

void QueueOpenAnswer(bool accept, const std::vector<IO::Location>& files)
{
    OpenAnswer answer;
    answer.accept = accept;
    PanelAction select;
    select.files = files;
    if (!files.empty()) answer.actions.push_back(select);
    State().openAnswers.push_back(answer);
}

bool AddPanelAction(const PanelAction& action)
{
    auto& answers = State().openAnswers;
    if (answers.empty()) return false;
    answers.back().actions.push_back(action);
    return true;
}

const std::vector<FileDialogShown>& RecordedOpenDialogs() { return State().openDialogs; }

namespace Model
{

void ForgetFileDialogs() { DG::State() = FileDialogState {}; }

}  // namespace Model

}  // namespace DG
