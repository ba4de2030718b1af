#pragma once
#include <cstdint>

#include "GS/Event.hpp"
#include "Modeler/Camera.hpp"

namespace Modeler
{

// Listens to a sight: told after each change of its camera, with that camera.
class ISightObserver : public GS::EventObserver
{
public:
    virtual void OnCameraChanged(const Camera& newCamera);
};

// What a 3D window looks through: its camera and the observers of the camera.
class Sight : public GS::EventSource
{
public:
    const Camera& GetCamera() const { return camera_; }
    // Tells every attached sight observer at once, on the caller's thread, also
    // when the camera is set by an observer itself.
    void SetCamera(const Camera& camera);
    // How often observers were told, one count per observer told.
    std::uint32_t GetNotificationCount() const { return notifications_; }

private:
    Camera camera_;
    std::uint32_t notifications_ = 0;
};

}  // namespace Modeler
