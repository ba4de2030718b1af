#pragma once
#include <cstddef>
#include <cstdint>

#include "API/Handlers.hpp"
#include "API/HostRecords.hpp"
#include "API/Types.hpp"

// The boundary between the host and an add-on module: the entry record that the
// add-on hands out, the table of host services it receives, and the calls through
// that table.

constexpr std::int32_t AddOnInterfaceWord = 0x160001;
constexpr std::int32_t HostApiVersion = 22000;
constexpr std::size_t HostServiceSlotCount = 519;

using HostToken = void*;
using HostServiceFn = void (*)();
using HostServiceTable = HostServiceFn[HostServiceSlotCount];

using CheckEnvironmentEntry = std::int32_t (*)(API_EnvirParams* envir);
using RegisterInterfaceEntry = GSErrCode (*)();
using InitializeEntry = GSErrCode (*)(HostToken token);
using FreeDataEntry = GSErrCode (*)();

// 120 bytes, zero-filled by the add-on before it fills the fields.
struct API_ExportedFuncs
{
    std::int32_t interfaceWord;
    std::int32_t reserved0;
    CheckEnvironmentEntry checkEnvironment;
    RegisterInterfaceEntry registerInterface;
    InitializeEntry initialize;
    FreeDataEntry freeData;
    std::int32_t apiVersion;
    std::uint8_t reserved1[76];
};
static_assert(sizeof(API_ExportedFuncs) == 120, "the entry record is 120 bytes");
static_assert(offsetof(API_ExportedFuncs, checkEnvironment) == 8, "entry layout");
static_assert(offsetof(API_ExportedFuncs, freeData) == 32, "entry layout");
static_assert(offsetof(API_ExportedFuncs, apiVersion) == 40, "entry layout");

using GetExportedFuncAddrsFn = GSErrCode (*)(std::int32_t formatVersion, API_ExportedFuncs* exported);
using SetImportedFuncAddrsFn = GSErrCode (*)(std::int32_t formatVersion, const HostServiceTable* table);

enum class HostSlot : std::size_t
{
#define HOST_REGISTRATION(slot, name, params, args) name = slot,
#define HOST_SERVICE(slot, name, params, args) name = slot,
#include "API/HostServices.def"
#undef HOST_REGISTRATION
#undef HOST_SERVICE
};

// Signatures of the functions the host places in its table.
namespace HostServiceSignature
{
#define HOST_REGISTRATION(slot, name, params, args) using name = GSErrCode(*) params;
#define HOST_SERVICE(slot, name, params, args) using name = GSErrCode (*)(HostToken, PARAMS_TAIL params);
#define PARAMS_TAIL(...) __VA_ARGS__
#include "API/HostServices.def"
#undef PARAMS_TAIL
#undef HOST_REGISTRATION
#undef HOST_SERVICE
}  // namespace HostServiceSignature

// The add-on's calls into the host, through the table it was given. A slot the
// host left empty answers APIERR_MISSINGCODE.
#define HOST_REGISTRATION(slot, name, params, args) GSErrCode name params;
#define HOST_SERVICE(slot, name, params, args) GSErrCode name params;
#include "API/HostServices.def"
#undef HOST_REGISTRATION
#undef HOST_SERVICE

// The add-on's own side of the interface.
namespace AddOnInterface
{
void SetServiceTable(const HostServiceTable* table);
bool IsServiceTableFilled();
void SetHostToken(HostToken token);
HostToken GetHostToken();
}  // namespace AddOnInterface

IO::Location HostGetOwnLocation();
GSResModule HostGetOwnResourceModule();
GSErrCode HostRegisterBuiltInLibrary();
