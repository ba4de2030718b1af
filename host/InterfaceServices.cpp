#include "InterfaceServices.hpp"

#include <cmath>

#include "ServiceTable.hpp"

namespace SimHost {

namespace {

GSErrCode InterfaceRequest(HostToken token, std::int32_t code, void* par1, void*)
{
    Host& host = Host::From(token);
    if (code != FourCC("IPOI")) return APIERR_BADID;
    if (par1 == nullptr) return APIERR_BADPARS;
    host.Log("HostInterfaceRequest IPOI");
    if (host.pointAnswers_.empty()) return APIERR_CANCEL;
    const std::optional<API_Coord3D> answer = host.pointAnswers_.front();
    host.pointAnswers_.pop_front();
    if (!answer) return APIERR_CANCEL;
    static_cast<API_GetPointType*>(par1)->pos = *answer;
    return NoError;
}

}  // namespace

void FillInterfaceServices(HostServiceTable& table) { SIMHOST_SET_SERVICE(table, HostInterfaceRequest, InterfaceRequest); }

void AddInterfaceVerbs(ScenarioVerbs& verbs)
{
    verbs["pick"] = [](Scenario& s, std::istringstream& args) {
        Host* host = s.GetHost();
        if (host == nullptr) return s.Fail("this action needs a started host");
        const std::string rest = Scenario::Rest(args);
        if (rest == "cancel") {
            host->pointAnswers_.push_back(std::nullopt);
            return true;
        }
        std::istringstream numbers(rest);
        API_Coord3D point;
        if (!(numbers >> point.x >> point.y >> point.z) || !Scenario::Rest(numbers).empty() || !std::isfinite(point.x) ||
            !std::isfinite(point.y) || !std::isfinite(point.z))
            return s.Fail("pick <x> <y> <z> | pick cancel");
        host->pointAnswers_.push_back(point);
        return true;
    };
}

}  // namespace SimHost
