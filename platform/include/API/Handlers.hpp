#pragma once
#include "API/ModuleData.hpp"
#include "API/Types.hpp"

// Callbacks the add-on hands to the host.
using APIMenuCommandProc = GSErrCode (*)(const API_MenuParams* params);
using APIModulCommandProc = GSErrCode (*)(const void* params, void* resultData, bool silentMode);
using APIProjectEventHandlerProc = GSErrCode (*)(std::int32_t notifID, std::int32_t param);
using APIElementEventHandlerProc = GSErrCode (*)(const API_NotifyElementType* elemType);
using APIToolChangeHandlerProc = GSErrCode (*)(const API_ToolBoxItem* newToolMode);
// A teamwork merge of one module data: the common base, the incoming block and the
// destination, which the host hands in without data and keeps afterwards.
using APIModuleDataMergeHandlerProc = GSErrCode (*)(std::int32_t mode, const GS::UniString* modulName, const API_ModulData* base,
                                                    const API_ModulData* toMerge, API_ModulData* destination);
using APISelectionChangeHandlerProc = GSErrCode (*)(const API_Neig* selElemNeig);
using APIViewEventHandlerProc = GSErrCode (*)(const API_NotifyViewEventType* viewEvent);
// The host's requests to a registered palette: 1 close, 2 hide, 3 show, 4 disable
// its items, 5 enable them.
using APIPaletteControlProc = GSErrCode (*)(std::int16_t dialogId, std::int32_t code, std::intptr_t param);
