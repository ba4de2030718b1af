// The progress window of long commands.
#include "ProgressServices.hpp"

#include "ServiceTable.hpp"

namespace SimHost {

namespace {

HostServiceSignature::HostInterfaceRequest earlierInterfaceRequest = nullptr;

bool IsProgressRequest(std::int32_t code)
{
    return code == FourCC("IPWD") || code == FourCC("SPRP") || code == FourCC("SPRV") || code == FourCC("CANC") ||
           code == FourCC("CPWD");
}

GSErrCode InterfaceRequest(HostToken token, std::int32_t code, void* par1, void* par2)
{
    if (!IsProgressRequest(code))
        return earlierInterfaceRequest != nullptr ? earlierInterfaceRequest(token, code, par1, par2) : APIERR_BADID;
    ProgressWindow& progress = Host::From(token).progress_;
    if (code == FourCC("CPWD")) {
        progress.open = false;
        progress.log.push_back("close");
        return NoError;
    }
    if (par1 == nullptr) return APIERR_BADPARS;
    if (code == FourCC("IPWD")) {
        if (par2 == nullptr) return APIERR_BADPARS;
        progress = ProgressWindow {true, static_cast<const GS::UniString*>(par1)->ToUtf8(), *static_cast<const std::int16_t*>(par2),
                                   {}, 0, 0, progress.cancelQueries, progress.cancelAt, std::move(progress.log)};
        progress.log.push_back("open " + progress.title + " " + std::to_string(progress.phases));
        return NoError;
    }
    if (!progress.open) return APIERR_GENERAL;
    if (code == FourCC("SPRP")) {
        const auto& phase = *static_cast<const API_ProgressPhase*>(par1);
        progress.phase = phase.text.ToUtf8();
        progress.maxValue = phase.maxValue;
        progress.value = 0;
        progress.log.push_back("phase " + progress.phase + " " + std::to_string(phase.maxValue));
    } else if (code == FourCC("SPRV")) {
        progress.value = *static_cast<const std::int32_t*>(par1);
        progress.log.push_back(std::to_string(progress.value));
    } else {
        ++progress.cancelQueries;
        const bool cancelled = progress.cancelAt > 0 && progress.cancelQueries >= progress.cancelAt;
        *static_cast<bool*>(par1) = cancelled;
        if (cancelled) progress.log.push_back("cancelled");
    }
    return NoError;
}

}  // namespace

void FillProgressServices(HostServiceTable& table)
{
    earlierInterfaceRequest = reinterpret_cast<HostServiceSignature::HostInterfaceRequest>(
        table[static_cast<std::size_t>(HostSlot::HostInterfaceRequest)]);
    SIMHOST_SET_SERVICE(table, HostInterfaceRequest, InterfaceRequest);
}

void AddProgressFacts(const Host& host, Facts& facts)
{
    const ProgressWindow& progress = host.progress_;
    facts["progress"] = progress.open ? "open \"" + progress.title + "\" phase \"" + progress.phase + "\" " +
                                            std::to_string(progress.value) + "/" + std::to_string(progress.maxValue)
                                      : "closed";
    std::string log;
    for (const std::string& entry : progress.log) log += (log.empty() ? "" : ", ") + entry;
    facts["progress-log"] = log.empty() ? "none" : log;
}

void AddProgressVerbs(ScenarioVerbs& verbs)
{
    verbs["cancel-progress-at"] = [](Scenario& s, std::istringstream& args) {
        Host* host = s.GetHost();
        int n = 0;
        if (host == nullptr) return s.Fail("this action needs a started host");
        if (!(args >> n) || n < 1) return s.Fail("cancel-progress-at <n from 1>");
        host->progress_.cancelAt = host->progress_.cancelQueries + n;
        return true;
    };
}

}  // namespace SimHost
