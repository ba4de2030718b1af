#include "InterfaceServices.hpp"

#include <cmath>

#include "DG/DG.hpp"
#include "ServiceTable.hpp"

namespace SimHost {

namespace {

constexpr std::int32_t LayerChooser = 18;

GSErrCode PickPoint(Host& host, API_GetPointType& input)
{
    if (host.pointAnswers_.empty()) return APIERR_CANCEL;
    const std::optional<API_Coord3D> answer = host.pointAnswers_.front();
    host.pointAnswers_.pop_front();
    if (!answer) return APIERR_CANCEL;
    input.pos = *answer;
    return NoError;
}

GSErrCode MakeUserControl(const API_UCCallbackType& control)
{
    if (control.type != LayerChooser) return APIERR_BADPARS;
    DG::Dialog* dialog = DG::GetDialog(control.dialogID);
    DG::Item* item = dialog == nullptr ? nullptr : dialog->FindItem(control.itemID);
    if (item == nullptr) return APIERR_BADPARS;
    item->type = "layer";
    return NoError;
}

GSErrCode Progress(ProgressWindow& progress, std::int32_t code, void* par1, void* par2)
{
    if (code == FourCC("IPWD")) {
        if (par1 == nullptr || par2 == nullptr) return APIERR_BADPARS;
        progress = ProgressWindow {true, static_cast<const GS::UniString*>(par1)->ToUtf8(), *static_cast<const std::int16_t*>(par2),
                                   std::string(), 0, 0, progress.opened + 1};
        return NoError;
    }
    if (!progress.open) return APIERR_GENERAL;
    if (code == FourCC("SPRP")) {
        if (par1 == nullptr || par2 == nullptr) return APIERR_BADPARS;
        progress.phase = static_cast<const GS::UniString*>(par1)->ToUtf8();
        progress.maximum = *static_cast<const std::int32_t*>(par2);
        progress.value = 0;
        return NoError;
    }
    if (code == FourCC("IPRV")) {
        if (par1 == nullptr) return APIERR_BADPARS;
        progress.value += *static_cast<const std::int32_t*>(par1);
        return NoError;
    }
    progress.open = false;
    return NoError;
}

GSErrCode InterfaceRequest(HostToken token, std::int32_t code, void* par1, void* par2)
{
    Host& host = Host::From(token);
    host.Log("HostInterfaceRequest " + FourCCText(code));
    if (code == FourCC("INCA")) return NoError;
    if (code == FourCC("IPWD") || code == FourCC("SPRP") || code == FourCC("IPRV") || code == FourCC("CPWD"))
        return Progress(host.progress_, code, par1, par2);
    if (code != FourCC("IPOI") && code != FourCC("SUCC")) return APIERR_BADID;
    if (par1 == nullptr) return APIERR_BADPARS;
    if (code == FourCC("SUCC")) return MakeUserControl(*static_cast<const API_UCCallbackType*>(par1));
    return PickPoint(host, *static_cast<API_GetPointType*>(par1));
}

}  // namespace

void FillInterfaceServices(HostServiceTable& table) { SIMHOST_SET_SERVICE(table, HostInterfaceRequest, InterfaceRequest); }

void AddInterfaceFacts(const Host& host, Facts& facts)
{
    const ProgressWindow& p = host.progress_;
    facts["progress"] = p.opened == 0 ? "none"
                                      : "\"" + p.title + "\" \"" + p.phase + "\" " + std::to_string(p.value) + "/" +
                                            std::to_string(p.maximum) + (p.open ? " open" : " closed");
}

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
