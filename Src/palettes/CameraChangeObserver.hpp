#pragma once

// Keeps the station camera and the camera palette in step with the 3D window.
class CameraChangeObserver {
public:
    CameraChangeObserver() = default;
};
