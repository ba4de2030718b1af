#pragma once
#include "Host.hpp"
#include "Scenario.hpp"

namespace SimHost
{

// Cameras and camera sets, links between elements, the navigator's camera views
// and the automation requests that open a view ("GOVW") and zoom to elements
// ("ZTEL"). A camera belongs to an existing camera set; every camera has a view
// in the project map.
void FillCameraServices(HostServiceTable& table);
// Facts: links, navigator-items, opened-view.
void AddCameraFacts(const Host& host, Facts& facts);

// The navigator item of a camera's view.
API_NavigatorItem CameraViewItem(const StoredElement& camera);

}  // namespace SimHost
