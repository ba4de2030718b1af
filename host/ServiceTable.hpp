#pragma once
#include "API/AddOnInterface.hpp"

// Places a host function in its slot; the assignment checks its signature.
#define SIMHOST_SET_SERVICE(table, name, function)                                                                               \
    do {                                                                                                                         \
        HostServiceSignature::name typed = &(function);                                                                          \
        (table)[static_cast<std::size_t>(HostSlot::name)] = reinterpret_cast<HostServiceFn>(typed);                              \
    } while (false)
