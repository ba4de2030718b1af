#pragma once
#include "API/Types.hpp"
#include "Modeler/Sight.hpp"

// Keeps the 3D window's camera on the station camera's position while the user
// turns, walks or orbits: the view may turn and zoom but not move.
class CameraChangeObserver : public Modeler::ISightObserver
{
public:
    CameraChangeObserver();
    ~CameraChangeObserver() override;

    void OnCameraChanged(const Modeler::Camera& newCamera) override;
    static API_Guid GetStationCameraGuid();
};
