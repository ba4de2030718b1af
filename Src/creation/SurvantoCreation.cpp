#include <array>
#include <cstdint>

#include "API/AddOnInterface.hpp"
#include "DG/DG.hpp"
#include "frame/Survanto.hpp"
#include "framework/OwnChangeScope.hpp"
#include "measuring/MainPaletteItems.hpp"

// What every creator shares: the layer check before the command and, inside it,
// what follows an element the host made.

namespace
{

using namespace MainPaletteItems;

constexpr std::int32_t FirstAnchorIcon = 32570;
constexpr std::array<std::int32_t, 8> HostAnchorCodes {0, 1, 2, 3, 5, 6, 7, 8};

// The icon resource of the push menu's chosen entry; 0 when it shows none.
std::int32_t SelectedAnchorIcon(const Survanto& survanto)
{
    const std::int16_t chosen = survanto.MainPaletteEntry(AnchorItem);
    return DG::PopupGetItemIcon(Survanto::MainPaletteDialogId, AnchorItem, chosen);
}

}  // namespace

// A refused layer ends the running action before any command runs.
bool Survanto::AcceptToolLayer(std::int32_t elementType)
{
    if (CheckToolLayer(&elementType, nullptr, nullptr)) return true;
    pointStep = 0;
    return false;
}

// Only an element the host really made is fitted to its storey and counted.
void Survanto::CompleteCreation(GSErrCode createResult, API_Element& element, bool fitToStorey)
{
    if (createResult != NoError) return;
    if (fitToStorey) FitElementToStorey(element);
    elementCreated = true;
}

void Survanto::GetSelectedAnchor(std::int16_t* anchorNumber, std::int32_t* hostAnchorCode) const
{
    const std::int32_t offset = SelectedAnchorIcon(*this) - FirstAnchorIcon;
    if (offset < 0 || static_cast<std::size_t>(offset) >= HostAnchorCodes.size()) return;
    if (anchorNumber != nullptr) *anchorNumber = static_cast<std::int16_t>(offset + 1);
    if (hostAnchorCode != nullptr) *hostAnchorCode = HostAnchorCodes[static_cast<std::size_t>(offset)];
}

// One undoable command with the empty undo text around a creation. The own-change
// counter comes down on every way out, and a creation broken off by an exception
// answers with an error, so the host keeps nothing of it.
void Survanto::RunCreationCommand(const std::function<void()>& body)
{
    RunChangeCommand([&body] {
        body();
        return NoError;
    });
}

// As a creation, but the body's error is the command's: the host then undoes
// everything the body did.
GSErrCode Survanto::RunChangeCommand(const std::function<GSErrCode()>& body)
{
    return HostCallUndoableCommand(GS::UniString(), [&body]() -> GSErrCode {
        const OwnChangeScope ownChange;
        try
        {
            return body();
        }
        catch (...)
        {
            return APIERR_GENERAL;
        }
    });
}
