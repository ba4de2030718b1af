#pragma once
#include <utility>
#include <vector>

#include "API/AddOnInterface.hpp"
#include "Host.hpp"

// While it lives, the add-on calls survanto-host's own services except in the
// slots replaced here, which the test's functions answer: for failures that hit
// one request or one call of a service, where the host's FailService would take
// out the whole slot. The host hands the add-on its table again at the end.
class ReplacedServices
{
public:
    explicit ReplacedServices(SimHost::Host& host) : host_(host) {}
    ReplacedServices(const ReplacedServices&) = delete;
    ReplacedServices& operator=(const ReplacedServices&) = delete;
    ~ReplacedServices();

    // Gives the host's own function of the slot, for the replacement to call.
    template <typename Signature>
    Signature Replace(HostSlot slot, Signature replacement)
    {
        return reinterpret_cast<Signature>(ReplaceSlot(slot, reinterpret_cast<HostServiceFn>(replacement)));
    }

private:
    HostServiceFn ReplaceSlot(HostSlot slot, HostServiceFn replacement);

    SimHost::Host& host_;
};

// The replacement must have the service's own signature.
#define REPLACE_HOST_SERVICE(replaced, name, function) (replaced).Replace<HostServiceSignature::name>(HostSlot::name, &(function))
