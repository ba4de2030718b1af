#pragma once
#include <atomic>
#include <cstdint>
#include <string>

#include "API/Database.hpp"
#include "API/Types.hpp"

class Survanto;
class CAttributeData;

// The main object, published only once it is fully built and cleared before it
// is deleted; the watcher thread reads it, so it is atomic.
extern std::atomic<Survanto*> theSurvanto;
extern std::atomic<bool> quitting;
extern CAttributeData* theAttributeData;
extern std::uint32_t quintairToExtAppMessage;
extern std::uint32_t extAppToQuintairMessage;
// Set while the add-on itself changes cameras, so that the camera observer lets
// the changes pass.
extern std::uint8_t cameraUpdateBusy;
// The 3D projection that the add-on command "CAMR" applies; the camera view
// tracking names its camera.
extern API_3DProjectionInfo keptProjection;

void ReadConfigFile();
// The update page: "UpdateAddress" of the configuration file, else the maker's own.
std::string UpdatePageAddress();
API_ModulID OwnModuleId();
