#include "PendingCallTrace.hpp"
#include "Survanto.hpp"

// Stand-in for the wall creator until it arrives; it only records that it was asked for.

void Survanto::CreateWall() { RecordPendingCall("CreateWall", actionPoints, pointStep); }
