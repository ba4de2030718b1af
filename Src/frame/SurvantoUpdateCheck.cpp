#include "frame/Survanto.hpp"

// The maker's update page is not asked yet; the start-up calls this at its place.
void Survanto::CheckForUpdate() {}
