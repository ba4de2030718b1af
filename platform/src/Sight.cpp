#include "Modeler/Sight.hpp"

namespace Modeler
{

void ISightObserver::OnCameraChanged(const Camera&) {}

void Sight::SetCamera(const Camera& camera)
{
    camera_ = camera;
    const Camera notified = camera;
    for (GS::EventObserver* observer : Observers())
    {
        if (!IsAttached(*observer)) continue;
        auto* sightObserver = dynamic_cast<ISightObserver*>(observer);
        if (sightObserver == nullptr) continue;
        ++notifications_;
        sightObserver->OnCameraChanged(notified);
    }
}

}  // namespace Modeler
