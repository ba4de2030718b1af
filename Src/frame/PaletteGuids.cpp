#include "frame/PaletteGuids.hpp"

const GS::Guid survantoPaletteGuid("{995cf970-972b-11e0-aa80-0800200c9a66}");
const GS::Guid curve3DPaletteGuid("{33EBD48A-0AA4-467f-BC97-37322FB24260}");
const GS::Guid debugPaletteGuid("{bbfe74fa-ae21-4e04-95c4-408253ad295f}");
const GS::Guid cameraControPaletteGuid("{2FDEE364-A7DD-4A17-B2DB-D0A0E158777C}");
const GS::Guid navigatorPaletteGuid("{01B26BEF-7605-49E6-8FD2-EC51FC288835}");
const GS::Guid infoPaletteGuid("{9fda4b30-9731-11e0-aa80-0800200c9a66}");
const GS::Guid photoLocationDlgGuid("{3f8828d0-87d4-11e1-b0c4-0800200c9a66}");
const GS::Guid photoPaletteGuid("5d8f1960-8ef0-11e1-b0c4-0800200c9a66");
const GS::Guid polyCreatePetPaletteGuid("{4b0c9030-c8e7-11e0-9572-0800200c9a66}");
const GS::Guid sectionPaletteGuid("{681F8BE6-19D5-4706-A269-1AB1DCF74713}");
const GS::Guid varoImportPaletteGuid("{820961D5-C46A-48AF-BFCF-002B14317704}");
