#include "frame/AddOnGlobals.hpp"
#include "frame/PendingCallTrace.hpp"
#include "frame/Survanto.hpp"

// Operations that other parts of the add-on will bring; until then each only
// records that it was asked for.

namespace {

void Record(const Survanto& survanto, const char* name, std::int32_t argument = 0)
{
    RecordPendingCall(name, survanto.actionPoints, survanto.pointStep, argument);
}

std::int16_t MainObjectStep()
{
    const Survanto* survanto = theSurvanto.load();
    return survanto == nullptr ? 0 : survanto->pointStep;
}

}  // namespace

void Survanto::ShowSelectedPhoto(const API_Neig& selection) { Record(*this, "ShowSelectedPhoto", selection.neigID); }
void Survanto::PlacePhotoObject() { Record(*this, "PlacePhotoObject"); }

void PhotoPalette::LoadPhoto() { RecordPendingCall("PhotoPalette::LoadPhoto", {}, MainObjectStep(), 0, this); }
