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

}  // namespace

void Survanto::CreateExtrudedShellFittedToWalls() { Record(*this, "CreateExtrudedShellFittedToWalls"); }
void Survanto::CreateRuledShellBetweenWalls() { Record(*this, "CreateRuledShellBetweenWalls"); }
void Survanto::CreateDomeFromFivePoints() { Record(*this, "CreateDomeFromFivePoints"); }
void Survanto::CreateDomeOnCurvedWall() { Record(*this, "CreateDomeOnCurvedWall"); }
void Survanto::CreateDomeSegment() { Record(*this, "CreateDomeSegment"); }
