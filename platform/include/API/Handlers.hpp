#pragma once
#include "API/Types.hpp"

// Callbacks the add-on hands to the host.
using APIMenuCommandProc = GSErrCode (*)(const API_MenuParams* params);
using APIModulCommandProc = GSErrCode (*)(const void* params, void* resultData, bool silentMode);
using APIProjectEventHandlerProc = GSErrCode (*)(std::int32_t notifID, std::int32_t param);
using APIElementEventHandlerProc = GSErrCode (*)(const API_NotifyElementType* elemType);
using APIToolChangeHandlerProc = GSErrCode (*)(const API_ToolBoxItem* newToolMode);
using APIModuleDataMergeHandlerProc = GSErrCode (*)(std::int32_t mode, const GS::UniString* modulName);
using APISelectionChangeHandlerProc = GSErrCode (*)(const API_Neig* selElemNeig);
using APIViewEventHandlerProc = GSErrCode (*)(const API_NotifyViewEventType* viewEvent);
