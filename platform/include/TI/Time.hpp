#pragma once

// The host's clock in seconds. It runs with the system clock until whoever drives
// the host sets it; from then on it stands at the time set.
double TIGetTime();
void TISetTime(double seconds);
