#pragma once
#include "GS/Guid.hpp"

// The palettes' fixed GUIDs; the host keeps a docked palette's place under its GUID.
extern const GS::Guid survantoPaletteGuid;
extern const GS::Guid curve3DPaletteGuid;
extern const GS::Guid debugPaletteGuid;
extern const GS::Guid navigatorPaletteGuid;
extern const GS::Guid cameraControPaletteGuid;
extern const GS::Guid infoPaletteGuid;
extern const GS::Guid photoLocationDlgGuid;
extern const GS::Guid photoPaletteGuid;
extern const GS::Guid polyCreatePetPaletteGuid;
extern const GS::Guid sectionPaletteGuid;
extern const GS::Guid varoImportPaletteGuid;
