#pragma once
#include "Scenario.hpp"

namespace SimHost
{

// The 3D window's service family: its sight (HostGet3DWindowSight), its
// projection ("GP3D", "CP3D" through HostEnvironmentRequest) and its redraw
// ("RDRW" through HostAutomationRequest).
void FillWindow3DServices(HostServiceTable& table);
GSErrCode Projection3DRequest(Host& host, std::int32_t code, void* par1, void* par2);
GSErrCode Redraw3DWindow(Host& host);
// The 3D window looks through the camera element from now on, as when its view opens.
void LookThroughCameraElement(Host& host, const API_Guid& camera);
// Facts: camera-3d, redraws-3d, sight-notifications, sight-observers.
void AddWindow3DFacts(const Host& host, Facts& facts);

// The user in the 3D window, each a change of its camera that its observers are told of:
//   walk-3d <forward> [<left> [<up>]]    metres, along the plan direction of view
//   turn-3d <left> [<up>]                degrees, about the view point
//   orbit-3d <degrees>                   counter-clockwise about the target's vertical
//   zoom-3d <view cone>                  degrees, above 0 and below 180
//   print-3d [<dialog> <item>...]        one line: the camera, the items' values, the redraw count
void AddWindow3DVerbs(ScenarioVerbs& verbs);

}  // namespace SimHost
