#include <memory>

#include "API/AddOnInterface.hpp"
#include "DG/DG.hpp"
#include "creation/LayerChangerDlg.hpp"
#include "frame/Survanto.hpp"

// Before a creator builds anything, the layer its element will get must exist
// and be visible; otherwise the user picks another layer or shows this one.

namespace
{

constexpr std::int32_t FreeAreaLayerSlot = 12;

enum class LayerState
{
    Usable,
    Missing,
    Hidden
};

LayerState ReadLayerState(std::int16_t layer)
{
    API_Attribute attribute {};
    attribute.header.typeID = API_LayerID;
    attribute.header.index = layer;
    if (HostGetAttribute(&attribute) != NoError) return LayerState::Missing;
    return (attribute.header.flags & APILay_Hidden) != 0 ? LayerState::Hidden : LayerState::Usable;
}

// False when the user did not confirm; otherwise the layer is the chosen one.
bool AskForLayer(std::int32_t mode, std::int16_t& layer)
{
    auto dialog = std::make_unique<LayerChangerDlg>();
    dialog->mode = mode;
    dialog->layer = layer;
    dialog->SetResourceModules(CurrentResourceModule());
    if (dialog->OpenModal() != DG::Accept) return false;
    layer = dialog->layer;
    return true;
}

void StoreAsToolDefaultLayer(API_Element& defaults, std::int16_t layer)
{
    API_Element mask;
    MarkToChange(mask.header.layer);
    defaults.header.layer = layer;
    HostChangeElementDefaults(&defaults, nullptr, &mask);
}

}  // namespace

bool Survanto::CheckToolLayer(std::int32_t* elementType, std::int32_t* variation, std::int32_t* layerSlot)
{
    std::int16_t* slotLayer = nullptr;
    if (layerSlot != nullptr)
    {
        if (*layerSlot == FreeAreaLayerSlot)
            slotLayer = &freeAreaLayer;
        else if (*layerSlot >= 0 && static_cast<std::size_t>(*layerSlot) < perTypeLayers.size())
            slotLayer = &perTypeLayers[static_cast<std::size_t>(*layerSlot)];
        else
            return false;
    }

    API_Element defaults;
    defaults.header.typeID = elementType != nullptr ? *elementType : API_ObjectID;
    if (variation != nullptr) defaults.header.variationID = *variation;
    // Without the tool's defaults there is no tool layer to check, nor to create on.
    if (HostGetElementDefaults(&defaults, nullptr) != NoError && slotLayer == nullptr) return false;
    std::int16_t layer = slotLayer != nullptr ? *slotLayer : defaults.header.layer;

    LayerState state = ReadLayerState(layer);
    if (state == LayerState::Usable) return true;
    while (state != LayerState::Usable)
    {
        if (state == LayerState::Missing && !AskForLayer(LayerChangerDlg::LayerDeleted, layer)) return false;
        state = ReadLayerState(layer);
        if (state == LayerState::Hidden && !AskForLayer(LayerChangerDlg::LayerHidden, layer)) return false;
        state = ReadLayerState(layer);
    }
    if (elementType != nullptr) StoreAsToolDefaultLayer(defaults, layer);
    if (slotLayer != nullptr) *slotLayer = layer;
    return true;
}
