#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "DG/NativeIcon.hpp"
#include "GS/Guid.hpp"
#include "GS/UniString.hpp"
#include "Graphics/NativeImage.hpp"
#include "IO/Location.hpp"
#include "RS/ResourceModule.hpp"

// One entry of a file dialog's type pop-up: description, extension without the
// dot, and four-character file type.
struct DGTypePopupItem
{
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
namespace DG
{

enum Message : short
{
    MsgInit = 1,
    MsgClose = 3,
    MsgClick = 4,
    MsgDoubleClick = 5,
    MsgChange = 6,
    MsgTrack = 7,
    MsgResize = 12,
    MsgGrow = 13,
    MsgUserUpdate = 16,
    MsgListHeaderClick = 23,
    MsgListHeaderResize = 25,
    MsgListHeaderButtonClick = 26,
};

enum ModalResult : short
{
    Accept = 1,
    Cancel = 2
};

// Item 0 stands for every item of the dialog where a call allows it; item -1 is
// the close box of a palette.
constexpr short AllItems = 0;
constexpr short CloseBox = -1;

struct Point
{
    short x = 0;
    short y = 0;
};

struct Size
{
    short width = 0;
    short height = 0;
};

struct Rect
{
    short left = 0;
    short top = 0;
    short right = 0;
    short bottom = 0;
};

// One entry of a dialog's tooltip resource: the tooltip and the item's name.
struct Tooltip
{
    GS::UniString text;
    std::string name;
};

using DialogCallback = std::function<short(short message, short dialogId, short item, std::intptr_t data)>;

// A list box's column: its span, the dialog item placed on it (0: none), its
// header's minimum width, and how its texts are drawn: justification and
// truncation codes, a separator line after it, enabled.
struct TabField
{
    short begin = 0;
    short end = 0;
    short item = 0;
    short headerMinSize = 0;
    short justification = 0;
    short truncation = 0;
    bool separator = false;
    bool enabled = true;
};

// An icon: a resource of a module; negative modules and ids are the dialog
// manager's own (module -4: -1 no icon, -3 a ticked box, -4 an empty box).
struct Icon
{
    short module = 0;
    short resourceId = 0;

    bool operator==(const Icon& o) const { return module == o.module && resourceId == o.resourceId; }
};

constexpr Icon NoIcon {-4, -1};
constexpr Icon CheckedIcon {-4, -3};
constexpr Icon UncheckedIcon {-4, -4};

// A list box's row: a text and an icon per tab field, 64-bit user data, selection.
struct ListCell
{
    GS::UniString text;
    Icon icon;
};

// A colour of the dialog manager: 16 bits a channel.
struct RGBColor16
{
    std::uint16_t red = 0;
    std::uint16_t green = 0;
    std::uint16_t blue = 0;

    bool operator==(const RGBColor16& o) const { return red == o.red && green == o.green && blue == o.blue; }
};

// A list view's entry beside its text: 64-bit user data, a picture, a text colour.
struct ListViewEntry
{
    std::int64_t userData = 0;
    NativeIcon image;
    RGBColor16 color;
};

struct ListRow
{
    std::vector<ListCell> cells;
    std::int64_t userData = 0;
    bool selected = false;
};

// A list box's header item above its tab field of the same number: text or icon,
// the flags and switch its owner gave, the sort arrow (0 none, 1 and 2 the two
// directions).
struct HeaderItem
{
    GS::UniString text;
    Icon icon;
    short flags = 0;
    bool on = false;
    short arrow = 0;
};

// Message data: a click on a list row (the row, 0 for none, and the click's x
// within the list); a click on a list header item; a growing window (phase 1
// while it grows; the flag set while the user drags its edge).
struct ListClickData
{
    short row = 0;
    short x = 0;
};

struct ListHeaderClickData
{
    short listItem = 0;
    short headerItem = 0;
};

// The directions in which the user may drag a dialog's edges (the resource's
// "grow=none|h|v|hv", hv when not given).
constexpr short NoGrow = 0, HGrow = 1, VGrow = 2, HVGrow = 3;

struct GrowData
{
    short phase = 0;
    std::uint8_t edgeFlag = 0;
};

// A push menu is a button that shows one of its entries' icons: its value is the
// button's pressed state, apart from the entry chosen in its menu.
struct Item
{
    short id = 0;
    std::string type;  // button, check, radio, edit, real, int, popup, pushmenu, text, icon, user, list, slider
    GS::UniString text;
    double value = 0.0;
    bool enabled = true;
    bool visible = true;
    short group = 0;                      // radio group
    std::vector<GS::UniString> entries;   // pop-up and list entries
    std::vector<bool> entryEnabled;       // pop-ups: whether the user may choose each entry
    std::vector<std::int64_t> entryData;  // pop-ups: each entry's data
    double minValue = -1e300;             // real edits: the lowest value offered; sliders: the lowest the user drags to
    double maxValue = 0.0;                // sliders: the highest the user drags to
    short left = 0;
    short top = 0;
    short width = 0;
    short height = 0;
    short rowHeight = 0;              // list boxes
    std::vector<TabField> tabFields;  // list boxes, field 1 first
    std::vector<ListRow> rows;        // list boxes, row 1 first
    std::vector<HeaderItem> headerItems;
    bool headerSwitches[3] {};      // list boxes: the header's three switches
    short icon = 0;                 // icon resource shown on the item
    std::vector<short> entryIcons;  // push menus: one icon per entry
    short selected = 0;             // push menus: the chosen entry, 1-based (0: none)
    short helpIndex = 1;            // chooses among the item's tooltips, 1-based
    std::vector<Tooltip> tooltips;  // from the dialog's tooltip resource, in its order
    short font = 0;
    // User items: the picture the last update message drew, none before it.
    std::optional<NewDisplay::NativeImage> picture;
    // List views: each entry's data beside its text in `entries`, the size of
    // the entries' pictures and of the entries, the view mode (0 tiles with the
    // name below the picture, 1 rows with the name beside it), and how often
    // drawing is held back.
    std::vector<ListViewEntry> viewEntries;
    Size imageSize {32, 32};
    Size entrySize {100, 100};
    short viewMode = 0;
    int drawHeld = 0;
};

struct Dialog
{
    short resourceId = 0;
    std::string kind;  // modal, palette
    GS::UniString title;
    std::vector<Item> items;
    bool open = false;
    DialogCallback callback;
    RS::ResModule textModule = 0;  // the module whose texts the dialog shows
    std::string tooltipName;       // the name of the dialog's tooltip resource
    Point position;                // client position and size, kept while closed
    Size size;
    short growType = HVGrow;
    bool hidden = false;  // hidden by the host with its own palettes
    bool docked = false;
    GS::Guid guid;                       // a palette's GUID, null for other dialogs
    bool abortRequested = false;         // a modal dialog closed from its own callback
    short closingItem = 0;               // a modal dialog closed by its answer to a click
    int moveGrowDepth = 0;               // open begin-move-grow brackets
    int moveGrowBrackets = 0;            // brackets closed so far
    int looseMoveGrows = 0;              // item moves outside any bracket
    std::vector<short> enabledMessages;  // messages the dialog asked for beyond the usual ones
    Item* FindItem(short itemId);
};

// Dialog ids are the resource ids; a dialog is built from its resource the first
// time it is asked for and kept; opening it with another module (another language)
// takes that module's title and texts and keeps the items' values and states.
// Its lists' rows start empty at each opening.
Dialog* GetDialog(short dialogId, RS::ResModule module = 0);
void ForgetAllDialogs();

bool IsOpen(short dialogId);
// Creates the palette (the init message runs first) and shows it; 0 when refused.
short OpenPalette(RS::ResModule module, short resourceId, DialogCallback callback, const GS::Guid& guid = GS::Guid());
void ClosePalette(short dialogId);
// Closes without telling the owner, which is going away.
void ClosePaletteSilently(short dialogId);
// The user's close box: the palette closes when its callback answers the click
// on CloseBox with a non-zero result. Returns that result.
short CloseByUser(short dialogId);

// Sends the dialog's callback a message as the dialog manager would; 0 when closed.
short SendDialogMessage(short dialogId, short message, short item, std::intptr_t data);

// Palettes the host hides with its own and shows again, and docking.
void HidePalette(short dialogId);
void ShowPalette(short dialogId);
bool IsPaletteHidden(short dialogId);
void SetPaletteDocked(short dialogId, bool docked);
bool IsPaletteDocked(const GS::Guid& guid);

// Client position and size; the user's resizing sends the resize message.
Point GetClientPosition(short dialogId);
void SetClientPosition(short dialogId, short x, short y);
Size GetClientSize(short dialogId);
void SetClientSize(short dialogId, short width, short height);
short ResizeByUser(short dialogId, short width, short height);
void SetDialogGrowType(short dialogId, short growType);
short GetDialogGrowType(short dialogId);

// Item rectangles and their relative moves, bracketed per dialog.
Rect GetItemRect(short dialogId, short item);
void SetItemRect(short dialogId, short item, const Rect& rect);
void BeginMoveGrowItems(short dialogId);
void EndMoveGrowItems(short dialogId);
void MoveGrowItem(short dialogId, short item, short hMove, short vMove, short hGrow, short vGrow);

double GetItemValue(short dialogId, short item);
long GetItemValLong(short dialogId, short item);
void SetItemValue(short dialogId, short item, double value);
GS::UniString GetItemText(short dialogId, short item);
void SetItemText(short dialogId, short item, const GS::UniString& text);
// AllItems reaches every item of the dialog.
void EnableItem(short dialogId, short item, bool enable = true);
void DisableItem(short dialogId, short item);
bool IsItemEnabled(short dialogId, short item);
void ShowItem(short dialogId, short item, bool show = true);
void HideItem(short dialogId, short item);
bool IsItemVisible(short dialogId, short item);

// Icons of items and of pop-up and push-menu entries (entries 1-based); new
// entries have no text and no icon and are enabled, and the chosen entry stays
// within the entries.
short GetItemIcon(short dialogId, short item);
void SetItemIcon(short dialogId, short item, short icon);
short PopupGetItemCount(short dialogId, short item);
void PopupSetItemCount(short dialogId, short item, short count);
// Pop-up entries with a text; setting the count drops the texts beyond it.
void PopupAppendItem(short dialogId, short item, const GS::UniString& text);
GS::UniString PopupGetItemText(short dialogId, short item, short entry);
short PopupGetItemIcon(short dialogId, short item, short entry);
void PopupSetItemIcon(short dialogId, short item, short entry, short icon);
short PopupGetSelected(short dialogId, short item);
void PopupSelectItem(short dialogId, short item, short entry);
// A new entry before the entry given; one beyond the entries is appended.
void PopupInsertItem(short dialogId, short item, short entry);
// AllItems deletes every entry.
void PopupDeleteItem(short dialogId, short item, short entry);
GS::UniString PopupGetItemText(short dialogId, short item, short entry);
void PopupSetItemText(short dialogId, short item, short entry, const GS::UniString& text);
void PopupEnableItem(short dialogId, short item, short entry, bool enable = true);
bool PopupIsItemEnabled(short dialogId, short item, short entry);

// Each entry carries data of its own; an unknown entry reads as 0.
void PopupSetItemData(short dialogId, short item, short entry, std::int64_t data);
std::int64_t PopupGetItemData(short dialogId, short item, short entry);

// The lowest value a real edit offers; what it does with a smaller one typed in is
// its own matter: this one keeps it.
void SetItemMinDouble(short dialogId, short item, double minimum);
double GetItemMinDouble(short dialogId, short item);

// The help index chooses the tooltip among the item's tooltips; none beyond them.
short GetItemHelpIndex(short dialogId, short item);
void SetItemHelpIndex(short dialogId, short item, short index);
GS::UniString GetItemTooltip(short dialogId, short item);
short GetItemFont(short dialogId, short item);
void SetItemFont(short dialogId, short item, short font);

// Item sizes and list-box rows and tab fields (1-based); an unknown item or
// field reads as zero and ignores writes. An item placed on a tab field is shown
// in the list, one taken off it is hidden.
short GetItemWidth(short dialogId, short item);
short GetItemHeight(short dialogId, short item);
void SetItemSize(short dialogId, short item, short width, short height);
short ListGetRowHeight(short dialogId, short listItem);
void ListSetRowHeight(short dialogId, short listItem, short height);
short ListGetTabFieldCount(short dialogId, short listItem);
void ListSetTabFieldCount(short dialogId, short listItem, short count);
TabField ListGetTabField(short dialogId, short listItem, short field);
void ListSetTabField(short dialogId, short listItem, short field, const TabField& tabField);

// List-box rows (1-based; AllItems stands for every row where a call allows it).
// A new row goes before the row given, or last when that lies beyond the rows.
// Calls on rows that do not exist read as empty and change nothing.
short ListGetItemCount(short dialogId, short listItem);
void ListInsertItem(short dialogId, short listItem, short row);
void ListDeleteItem(short dialogId, short listItem, short row);
void ListSetTabItemText(short dialogId, short listItem, short row, short field, const GS::UniString& text);
Icon ListGetTabItemIcon(short dialogId, short listItem, short row, short field);
void ListSetTabItemIcon(short dialogId, short listItem, short row, short field, const Icon& icon);
std::int64_t ListGetItemUserData(short dialogId, short listItem, short row);
void ListSetItemUserData(short dialogId, short listItem, short row, std::int64_t userData);
void ListSelectItem(short dialogId, short listItem, short row);
void ListDeselectItem(short dialogId, short listItem, short row);
// The first selected row after the one given (0 starts at the top); 0 when none.
short ListGetSelected(short dialogId, short listItem, short after);
short ListGetSelectedCount(short dialogId, short listItem);

// List-box header items (1-based); the minimum size is the tab field's.
void ListSetHeaderFlags(short dialogId, short listItem, bool first, bool second, bool third);
short ListGetHeaderItemCount(short dialogId, short listItem);
void ListSetHeaderItemCount(short dialogId, short listItem, short count);
void ListSetHeaderItemFlags(short dialogId, short listItem, short headerItem, short flags, bool on);
void ListSetHeaderItemText(short dialogId, short listItem, short headerItem, const GS::UniString& text);
void ListSetHeaderItemIcon(short dialogId, short listItem, short headerItem, const Icon& icon);
void ListSetHeaderItemMinSize(short dialogId, short listItem, short headerItem, short minSize);
short ListGetHeaderItemArrowType(short dialogId, short listItem, short headerItem);
void ListSetHeaderItemArrowType(short dialogId, short listItem, short headerItem, short arrow);

// List views: entries 1-based, the value holds the selected entry (0: none).
short ListViewGetItemCount(short dialogId, short listItem);
void ListViewDeleteAll(short dialogId, short listItem);
void ListViewInsertBottom(short dialogId, short listItem, const GS::UniString& text);
GS::UniString ListViewGetItemText(short dialogId, short listItem, short entry);
short ListViewGetSelected(short dialogId, short listItem);
void ListViewSelectItem(short dialogId, short listItem, short entry);
// A new empty entry before the one given, last when that lies beyond the entries.
void ListViewInsertItem(short dialogId, short listItem, short entry);
// AllItems deletes every entry.
void ListViewDeleteItem(short dialogId, short listItem, short entry);
void ListViewSetItemText(short dialogId, short listItem, short entry, const GS::UniString& text);
std::int64_t ListViewGetItemUserData(short dialogId, short listItem, short entry);
void ListViewSetItemUserData(short dialogId, short listItem, short entry, std::int64_t userData);
// An empty icon while the entry has no picture.
NativeIcon ListViewGetItemImage(short dialogId, short listItem, short entry);
void ListViewSetItemImage(short dialogId, short listItem, short entry, const NativeIcon& image);
RGBColor16 ListViewGetItemColor(short dialogId, short listItem, short entry);
void ListViewSetItemColor(short dialogId, short listItem, short entry, const RGBColor16& color);
Size ListViewGetImageSize(short dialogId, short listItem);
void ListViewSetImageSize(short dialogId, short listItem, short width, short height);
Size ListViewGetItemSize(short dialogId, short listItem);
void ListViewSetItemSize(short dialogId, short listItem, short width, short height);
short ListViewGetViewMode(short dialogId, short listItem);
void ListViewSetViewMode(short dialogId, short listItem, short mode);
// Drawing is held back while disabled (the calls nest).
void ListViewDisableDraw(short dialogId, short listItem);
void ListViewEnableDraw(short dialogId, short listItem);
bool ListViewIsDrawEnabled(short dialogId, short listItem);
// The list view as the user sees it: each entry in its cell of the entry size,
// its picture centred at the top (tiles) or at the left (rows) and its text
// colour as a bar below or beside it, the selected entry framed.
NewDisplay::NativeImage ListViewPicture(short dialogId, short listItem);

// Sends a message to the dialog's callback as the user's action would: a click
// on a push button is a click, on a check or radio button a change of its value;
// the value is set first. Changing a push menu or a pop-up chooses its entry
// (a pop-up's disabled entry is not chosen). A palette whose callback answers
// a click with an item closes. Returns the callback's result.
short ClickItem(short dialogId, short item);
short ChangeItem(short dialogId, short item, double value);
// The user drags a slider to the value: the track message, then the change.
short DragSlider(short dialogId, short item, double value);
// The user's click on a list row (0: below the rows) at x: the selection becomes
// that row, or with `add` the row joins it; then the click and the change of
// the selection are sent.
short ClickListRow(short dialogId, short listItem, short row, short x, bool add = false);
// The user's click on a list's header item.
short ClickListHeader(short dialogId, short listItem, short headerItem);
// The user drags the window's edge to the size: the grow message while it grows
// (flag set) and once more when it ends (flag clear).
void GrowByUser(short dialogId, short width, short height);

// Modal dialogs: each run starts from the dialog's resource. The answerer may set
// items and returns the item that closes the dialog (Accept, Cancel or any other
// item id), which is then clicked. A click the dialog's callback answers with an
// item closes it at once with that item. Without an answerer, Cancel.
using ModalAnswerer = std::function<short(Dialog& dialog)>;
void SetModalAnswerer(ModalAnswerer answerer);
short RunModal(RS::ResModule module, short resourceId, DialogCallback callback);
// Ends a modal dialog from its own callback: the run answers Cancel.
void AbortModal(short dialogId);

// Alerts: recorded; answered with the next queued button number, else 1.
struct AlertRecord
{
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
struct FileAnswer
{
    bool accept = false;
    IO::Location location;
};
struct FileDialogRecord
{
    GS::UniString title;
    std::vector<DGTypePopupItem> types;
    short selectedType = 0;
    FileAnswer answer;
};
void QueueFileAnswer(const IO::Location& location);
void QueueFileCancel();
const std::vector<FileDialogRecord>& RecordedFileDialogs();

// Folder browsers: recorded with the folder they opened at; answered with the
// next queued answer, else cancelled.
struct FolderDialogRecord
{
    GS::UniString title;
    IO::Location start;
    FileAnswer answer;
};
void QueueFolderAnswer(const IO::Location& location);
void QueueFolderCancel();
const std::vector<FolderDialogRecord>& RecordedFolderDialogs();

// User items are drawn by their dialog in answer to the update message, which a
// dialog receives only after enabling it. Its data is the item, its rectangle and
// a fresh picture of the item's size, which the add-on draws into through
// NewDisplay::UserItemUpdateNativeContext and the dialog manager then keeps.
struct UserUpdateData
{
    short dialogId = 0;
    short item = 0;
    Rect rect;
    NewDisplay::NativeImage* picture = nullptr;
};
// Item AllItems enables the message for every item.
void EnableMessage(short dialogId, short item, short message);
// The item is drawn again at once (this model has no deferred painting); only
// user items of open dialogs that enabled the update message draw anything.
void InvalidateItem(short dialogId, short item);
// Draws the user item as InvalidateItem does and gives its picture; null when
// the item is no user item, its dialog is closed or has not enabled the update.
const NewDisplay::NativeImage* UpdateUserItem(short dialogId, short item);

// Tree views, kept by dialog id and item id. Tree items are numbered from 1
// within their tree view; 0 is the invisible root and -1 stands for no item.
// Each item carries 64-bit user data.
constexpr std::int32_t TreeItemRoot = 0;
constexpr std::int32_t TreeItemNone = -1;
// Insert positions among the parent's children.
constexpr std::int32_t TreeInsertFirst = -65535;
constexpr std::int32_t TreeInsertLast = -65534;

enum TreeRelation : short
{
    TreeNextSibling = 1,
    TreeFirstChild = 4
};

// The new item, TreeItemNone when the parent is unknown or the position is neither first nor last.
std::int32_t TreeViewInsertItem(short dialogId, short item, std::int32_t parent, std::int32_t position);
void TreeViewDeleteAllItems(short dialogId, short item);
// The item in that relation to the tree item, TreeItemNone when there is none.
std::int32_t TreeViewGetItem(short dialogId, short item, std::int32_t treeItem, short relation);
void TreeViewSetItemUserData(short dialogId, short item, std::int32_t treeItem, std::int64_t userData);
// 0 for an unknown tree item.
std::int64_t TreeViewGetItemUserData(short dialogId, short item, std::int32_t treeItem);
void TreeViewSetItemText(short dialogId, short item, std::int32_t treeItem, const GS::UniString& text);
GS::UniString TreeViewGetItemText(short dialogId, short item, std::int32_t treeItem);
void TreeViewSetItemIcon(short dialogId, short item, std::int32_t treeItem, short icon);
short TreeViewGetItemIcon(short dialogId, short item, std::int32_t treeItem);
void TreeViewExpandItem(short dialogId, short item, std::int32_t treeItem, bool expand = true);
bool TreeViewIsItemExpanded(short dialogId, short item, std::int32_t treeItem);
// A style marks an item as the user sees it; TreeItemRoot reaches every item.
void TreeViewSetItemStyle(short dialogId, short item, std::int32_t treeItem, short style);
short TreeViewGetItemStyle(short dialogId, short item, std::int32_t treeItem);
// The user's selection: TreeItemNone when nothing is selected.
void TreeViewSelectItem(short dialogId, short item, std::int32_t treeItem);
std::int32_t TreeViewGetSelectedItem(short dialogId, short item);
// Drawing is held back while disabled (the calls nest).
void TreeViewDisableDraw(short dialogId, short item);
void TreeViewEnableDraw(short dialogId, short item);
void TreeViewRedraw(short dialogId, short item);
bool TreeViewIsDrawEnabled(short dialogId, short item);

}  // namespace DG

// The save-file dialog: true when the user chose a file, whose location is then
// in `location`. The type pop-up offers `popupItemCount` entries and preselects
// `*selectedType` (1-based); a null default folder leaves the dialog's own.
bool DGGetSaveFile(IO::Location* location, short popupItemCount, const DGTypePopupItem* popupItems, short* selectedType,
                   const IO::Location* defaultFolder, const GS::UniString& title);

// The folder browser: true when the user chose a folder, which is then in
// `folder`; it opens at the folder given there.
bool DGBrowseForFolder(IO::Location* folder, const GS::UniString& title);

// Unit settings of the host's value formatting; the add-on fills the length unit
// and its decimals.
struct DGUnitData
{
    std::int32_t areaUnit = 0;
    std::int32_t angleUnit = 0;
    std::int32_t lengthUnit = 0;  // 4: metres
    std::int32_t lengthDecimals = 0;
};

constexpr std::int16_t DG_ET_LENGTH = 6;
constexpr std::int32_t DG_UNIT_METER = 4;

// A value as text in the given unit, numbers in the C locale; empty for a value
// kind or unit this host does not format, and for a value that is no number.
GS::UniString DGDoubleToStringUnit(const double* value, std::int16_t valueKind, const DGUnitData* unitData);
