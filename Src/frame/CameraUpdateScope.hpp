#pragma once
#include "frame/AddOnGlobals.hpp"

// Sets the camera-update flag while it lives and clears it on every way out.
class CameraUpdateScope {
public:
    CameraUpdateScope() { cameraUpdateBusy = 1; }
    ~CameraUpdateScope() { cameraUpdateBusy = 0; }
    CameraUpdateScope(const CameraUpdateScope&) = delete;
    CameraUpdateScope& operator=(const CameraUpdateScope&) = delete;
};
