#pragma once
#include <atomic>
#include <cstdint>

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

void ReadConfigFile();
API_ModulID OwnModuleId();
