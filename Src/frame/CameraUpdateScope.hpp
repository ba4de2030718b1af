#pragma once
#include "frame/AddOnGlobals.hpp"

// Sets the camera-update flag while it lives and gives it back its value on every
// way out, so that a scope inside another keeps the flag set for the outer one.
class CameraUpdateScope
{
public:
    CameraUpdateScope() : outer_(cameraUpdateBusy) { cameraUpdateBusy = 1; }
    ~CameraUpdateScope() { cameraUpdateBusy = outer_; }
    CameraUpdateScope(const CameraUpdateScope&) = delete;
    CameraUpdateScope& operator=(const CameraUpdateScope&) = delete;

private:
    const std::uint8_t outer_;
};
