#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "GS/UniString.hpp"
#include "IO/Location.hpp"
#include "RS/ResourceModule.hpp"

// One entry of a file dialog's type pop-up: description, extension without the
// dot, and four-character file type.
struct DGTypePopupItem {
    GS::UniString text;
    GS::UniString extensions;
    std::int32_t fileType = 0;

    void Clear() { *this = DGTypePopupItem {}; }
};

// A headless model of the host's dialog manager. Dialogs and their items come
// from dialog resources; item values, texts and states can be read and written
// whether the dialog is open or not, because the add-on reads the main palette's
// items while it is closed. Modal dialogs and alerts are answered by whoever
// drives the host (a scenario script or a test).
namespace DG {

enum Message : short {
    MsgInit = 1,
    MsgClose = 3,
    MsgClick = 4,
    MsgDoubleClick = 5,
    MsgChange = 6,
    MsgResize = 12,
    MsgUserUpdate = 16,
};

enum ModalResult : short { Accept = 1, Cancel = 2 };

using DialogCallback = std::function<short(short message, short dialogId, short item, std::intptr_t data)>;

// A list box's column: its span, the dialog item placed on it (0: none) and
// its header's minimum width.
struct TabField {
    short begin = 0;
    short end = 0;
    short item = 0;
    short headerMinSize = 0;
};

struct Item {
    short id = 0;
    std::string type;  // button, check, radio, edit, real, int, popup, text, icon, user, list
    GS::UniString text;
    double value = 0.0;
    bool enabled = true;
    bool visible = true;
    short group = 0;  // radio group
    std::vector<GS::UniString> entries;  // pop-up and list entries
    short width = 0;
    short height = 0;
    short rowHeight = 0;  // list boxes
    std::vector<TabField> tabFields;  // list boxes, field 1 first
};

struct Dialog {
    short resourceId = 0;
    std::string kind;  // modal, palette
    GS::UniString title;
    std::vector<Item> items;
    bool open = false;
    DialogCallback callback;
    RS::ResModule textModule = 0;  // the module whose texts the dialog shows
    Item* FindItem(short itemId);
};

// Dialog ids are the resource ids; a dialog is built from its resource the first
// time it is asked for and kept; opening it with another module (another language)
// takes that module's title and texts and keeps the items' values and states.
Dialog* GetDialog(short dialogId, RS::ResModule module = 0);
void ForgetAllDialogs();

bool IsOpen(short dialogId);
short OpenPalette(RS::ResModule module, short resourceId, DialogCallback callback);  // 0 when refused
void ClosePalette(short dialogId);
// Closes without telling the owner, which is going away.
void ClosePaletteSilently(short dialogId);

double GetItemValue(short dialogId, short item);
long GetItemValLong(short dialogId, short item);
void SetItemValue(short dialogId, short item, double value);
GS::UniString GetItemText(short dialogId, short item);
void SetItemText(short dialogId, short item, const GS::UniString& text);
void EnableItem(short dialogId, short item, bool enable = true);
void DisableItem(short dialogId, short item);
bool IsItemEnabled(short dialogId, short item);
void ShowItem(short dialogId, short item, bool show = true);
void HideItem(short dialogId, short item);
bool IsItemVisible(short dialogId, short item);

// Item sizes and list-box rows and tab fields (1-based); an unknown item or
// field reads as zero and ignores writes.
short GetItemWidth(short dialogId, short item);
short GetItemHeight(short dialogId, short item);
void SetItemSize(short dialogId, short item, short width, short height);
short ListGetRowHeight(short dialogId, short listItem);
void ListSetRowHeight(short dialogId, short listItem, short height);
short ListGetTabFieldCount(short dialogId, short listItem);
void ListSetTabFieldCount(short dialogId, short listItem, short count);
TabField ListGetTabField(short dialogId, short listItem, short field);
void ListSetTabField(short dialogId, short listItem, short field, const TabField& tabField);

// Sends a message to the dialog's callback as the user's action would: a click
// on a push button is a click, on a check or radio button a change of its value;
// the value is set first. Returns the callback's result.
short ClickItem(short dialogId, short item);
short ChangeItem(short dialogId, short item, double value);

// Modal dialogs: the answerer may set items and returns the item that closes the
// dialog (Accept, Cancel or any other item id). Without an answerer, Cancel.
using ModalAnswerer = std::function<short(Dialog& dialog)>;
void SetModalAnswerer(ModalAnswerer answerer);
short RunModal(RS::ResModule module, short resourceId, DialogCallback callback);

// Alerts: recorded; answered with the next queued button number, else 1.
struct AlertRecord {
    int type = 0;
    GS::UniString title, text1, text2, text3;
    GS::UniString button1, button2, button3;
    short answer = 1;
};
short Alert(const AlertRecord& alert);
void QueueAlertAnswer(short button);
const std::vector<AlertRecord>& RecordedAlerts();
void ClearRecordedAlerts();

// Save-file dialogs: recorded; answered with the next queued answer, else cancelled.
struct FileAnswer {
    bool accept = false;
    IO::Location location;
};
struct FileDialogRecord {
    GS::UniString title;
    std::vector<DGTypePopupItem> types;
    short selectedType = 0;
    FileAnswer answer;
};
void QueueFileAnswer(const IO::Location& location);
void QueueFileCancel();
const std::vector<FileDialogRecord>& RecordedFileDialogs();

// Tree views, kept by dialog id and item id. Tree items are numbered from 1
// within their tree view; 0 is the invisible root and -1 stands for no item.
// Each item carries 64-bit user data.
constexpr std::int32_t TreeItemRoot = 0;
constexpr std::int32_t TreeItemNone = -1;
// Insert positions among the parent's children.
constexpr std::int32_t TreeInsertFirst = -65535;
constexpr std::int32_t TreeInsertLast = -65534;

enum TreeRelation : short { TreeNextSibling = 1, TreeFirstChild = 4 };

// The new item, TreeItemNone when the parent is unknown or the position is neither first nor last.
std::int32_t TreeViewInsertItem(short dialogId, short item, std::int32_t parent, std::int32_t position);
void TreeViewDeleteAllItems(short dialogId, short item);
// The item in that relation to the tree item, TreeItemNone when there is none.
std::int32_t TreeViewGetItem(short dialogId, short item, std::int32_t treeItem, short relation);
void TreeViewSetItemUserData(short dialogId, short item, std::int32_t treeItem, std::int64_t userData);
// 0 for an unknown tree item.
std::int64_t TreeViewGetItemUserData(short dialogId, short item, std::int32_t treeItem);

}  // namespace DG

// The save-file dialog: true when the user chose a file, whose location is then
// in `location`. The type pop-up offers `popupItemCount` entries and preselects
// `*selectedType` (1-based); a null default folder leaves the dialog's own.
bool DGGetSaveFile(IO::Location* location, short popupItemCount, const DGTypePopupItem* popupItems,
                   short* selectedType, const IO::Location* defaultFolder, const GS::UniString& title);
