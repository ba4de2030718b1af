#include "creation/LayerChangerDlg.hpp"

#include <string>

#include "API/AddOnInterface.hpp"
#include "DG/DG.hpp"
#include "RS/ResourceModule.hpp"

namespace
{

constexpr std::int16_t OkButton = 1;
constexpr std::int16_t CancelButton = 2;
constexpr std::int16_t ShowLayerButton = 3;
constexpr std::int16_t LayerChooserItem = 4;
constexpr std::int16_t MessageItem = 5;
constexpr std::int16_t CloseBox = -1;

constexpr std::int16_t MessageList = 32550;
constexpr std::int16_t LayerDeletedText = 76;
constexpr std::int16_t LayerHiddenText = 78;

// "SUCC": the host turns a user item into one of its own controls.
struct SpecialUserControl
{
    std::int32_t kind;
    std::int16_t dialogId;
    std::int16_t item;
};
constexpr std::int32_t LayerChooserKind = 18;

bool ReadLayer(std::int16_t index, API_Attribute& attribute, GS::UniString* name)
{
    attribute = {};
    attribute.header.typeID = API_LayerID;
    attribute.header.index = index;
    attribute.header.uniStringNamePtr = name;
    const bool found = HostGetAttribute(&attribute) == NoError;
    attribute.header.uniStringNamePtr = nullptr;
    return found;
}

GS::UniString ReplaceAll(const GS::UniString& text, const GS::UniString& placeholder, const GS::UniString& value)
{
    std::u16string units = text.Units();
    const std::u16string& what = placeholder.Units();
    for (std::size_t at = units.find(what); at != std::u16string::npos; at = units.find(what, at + value.GetLength()))
        units.replace(at, what.size(), value.Units());
    return GS::UniString(units);
}

}  // namespace

LayerChangerDlg::LayerChangerDlg() { SetDialogId(DialogId); }

LayerChangerDlg::~LayerChangerDlg() = default;

std::int16_t LayerChangerDlg::DialogCallback(std::int16_t message, std::int16_t dialogId, std::int16_t item, std::intptr_t)
{
    if (dialogId != GetDialogId() && message != DG::MsgInit) return 0;
    switch (message)
    {
        case DG::MsgInit: InitDialog(); break;
        case DG::MsgClose: layer = static_cast<std::int16_t>(DG::GetItemValLong(GetDialogId(), LayerChooserItem)); break;
        case DG::MsgClick:
            if (item == OkButton || item == CancelButton || item == CloseBox) return item;
            if (item == ShowLayerButton) ShowLayer();
            break;
        default: break;
    }
    return 0;
}

void LayerChangerDlg::InitDialog()
{
    SpecialUserControl chooser {LayerChooserKind, GetDialogId(), LayerChooserItem};
    HostInterfaceRequest(FourCC("SUCC"), &chooser, nullptr);
    DG::SetItemValue(GetDialogId(), LayerChooserItem, layer);
    if (mode == LayerDeleted)
    {
        DG::SetItemText(GetDialogId(), MessageItem, RS::GetIndString(MessageList, LayerDeletedText, GetResourceModule()));
        DG::HideItem(GetDialogId(), ShowLayerButton);
        return;
    }
    API_Attribute attribute;
    GS::UniString name;
    ReadLayer(layer, attribute, &name);
    const GS::UniString text = RS::GetIndString(MessageList, LayerHiddenText, GetResourceModule());
    DG::SetItemText(GetDialogId(), MessageItem, ReplaceAll(text, "[LAYERNAME]", name));
    // The dialog keeps its items between questions; a deleted-layer question hid the button.
    DG::ShowItem(GetDialogId(), ShowLayerButton);
}

// The dialog stays open; a layer the host keeps hidden is simply asked about again.
void LayerChangerDlg::ShowLayer()
{
    const auto chosen = static_cast<std::int16_t>(DG::GetItemValLong(GetDialogId(), LayerChooserItem));
    API_Attribute attribute;
    if (!ReadLayer(chosen, attribute, nullptr)) return;
    attribute.header.flags &= ~APILay_Hidden;
    HostModifyAttribute(&attribute);
}
