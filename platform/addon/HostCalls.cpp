// The add-on's side of the service table: one process-wide copy of the host's
// table, the host token, and a call wrapper per service.
#include <atomic>
#include <cstring>

#include "API/AddOnInterface.hpp"
#include "addon/OwnModule.hpp"

namespace
{

HostServiceTable serviceTable {};
std::atomic<bool> tableFilled {false};
std::atomic<HostToken> hostToken {nullptr};

// The load hook may run before this file's globals are built, so the location
// lives in a function-local object, built on first use.
IO::Location& OwnLocation()
{
    static IO::Location location;
    return location;
}
GSResModule ownResourceModule = 0;

template <typename Fn>
Fn SlotFunction(HostSlot slot)
{
    return reinterpret_cast<Fn>(serviceTable[static_cast<std::size_t>(slot)]);
}

}  // namespace

namespace AddOnInterface
{

void SetServiceTable(const HostServiceTable* table)
{
    std::memcpy(serviceTable, *table, sizeof(HostServiceTable));
    tableFilled = true;
}

bool IsServiceTableFilled() { return tableFilled; }
void SetHostToken(HostToken token) { hostToken = token; }
HostToken GetHostToken() { return hostToken; }

void SetOwnModule(const IO::Location& location, GSResModule module)
{
    OwnLocation() = location;
    ownResourceModule = module;
}

}  // namespace AddOnInterface

IO::Location HostGetOwnLocation() { return OwnLocation(); }
GSResModule HostGetOwnResourceModule() { return ownResourceModule; }
GSErrCode HostRegisterBuiltInLibrary() { return HostRegisterBuiltInLibraryOf(ownResourceModule); }

#define PARAMS_TAIL(...) __VA_ARGS__
#define HOST_REGISTRATION(slot, name, params, args)                                                                              \
    GSErrCode name params                                                                                                        \
    {                                                                                                                            \
        const auto fn = SlotFunction<HostServiceSignature::name>(HostSlot::name);                                                \
        return fn == nullptr ? APIERR_MISSINGCODE : fn args;                                                                     \
    }
#define HOST_SERVICE(slot, name, params, args)                                                                                   \
    GSErrCode name params                                                                                                        \
    {                                                                                                                            \
        const auto fn = SlotFunction<HostServiceSignature::name>(HostSlot::name);                                                \
        return fn == nullptr ? APIERR_MISSINGCODE : fn(hostToken.load(), PARAMS_TAIL args);                                      \
    }
#include "API/HostServices.def"
#undef HOST_REGISTRATION
#undef HOST_SERVICE
#undef PARAMS_TAIL
