#include "InterfaceServices.hpp"

#include <algorithm>
#include <cmath>

#include "DG/DG.hpp"
#include "ServiceTable.hpp"

namespace SimHost
{

namespace
{

constexpr std::int32_t PenChooser = 0;
constexpr std::int32_t LayerChooser = 18;
constexpr double LastPen = 255.0;

GSErrCode MakeUserControl(const API_UCCallbackType& control)
{
    if (control.type != LayerChooser && control.type != PenChooser) return APIERR_BADPARS;
    DG::Dialog* dialog = DG::GetDialog(control.dialogID);
    DG::Item* item = dialog == nullptr ? nullptr : dialog->FindItem(control.itemID);
    if (item == nullptr) return APIERR_BADPARS;
    item->type = control.type == LayerChooser ? "layer" : "pen";
    if (control.type == PenChooser)
    {
        item->minValue = 1.0;
        item->maxValue = LastPen;
    }
    return NoError;
}

GSErrCode Progress(ProgressWindow& progress, std::int32_t code, void* par1, void* par2)
{
    if (code == FourCC("IPWD"))
    {
        if (par1 == nullptr || par2 == nullptr) return APIERR_BADPARS;
        progress.open = true;
        progress.title = static_cast<const GS::UniString*>(par1)->ToUtf8();
        progress.phases = *static_cast<const std::int16_t*>(par2);
        progress.phase.clear();
        progress.maximum = 0;
        progress.value = 0;
        ++progress.opened;
        progress.log.push_back("open " + progress.title + " " + std::to_string(progress.phases));
        return NoError;
    }
    if (!progress.open) return APIERR_GENERAL;
    if (code == FourCC("SPRP"))
    {
        if (par1 == nullptr || par2 == nullptr) return APIERR_BADPARS;
        progress.phase = static_cast<const GS::UniString*>(par1)->ToUtf8();
        progress.maximum = *static_cast<const std::int32_t*>(par2);
        progress.value = 0;
        progress.log.push_back("phase " + progress.phase + " " + std::to_string(progress.maximum));
        return NoError;
    }
    if (code == FourCC("IPRV") || code == FourCC("SPRV"))
    {
        if (par1 == nullptr) return APIERR_BADPARS;
        const std::int32_t given = *static_cast<const std::int32_t*>(par1);
        progress.value = code == FourCC("IPRV") ? progress.value + given : given;
        if (code == FourCC("SPRV")) progress.log.push_back(std::to_string(progress.value));
        return NoError;
    }
    if (code == FourCC("CANC"))
    {
        if (par1 == nullptr) return APIERR_BADPARS;
        ++progress.cancelQueries;
        const bool cancelled = progress.cancelAt > 0 && progress.cancelQueries >= progress.cancelAt;
        *static_cast<bool*>(par1) = cancelled;
        if (cancelled) progress.log.push_back("cancelled");
        return NoError;
    }
    progress.open = false;
    progress.log.push_back("close");
    return NoError;
}

// The next answer for an input of the wanted kind. Clicks made while the input
// waits are delivered first; one whose handler asks for "INCA" ends the input
// as cancelled, as does a missing or unfitting answer.
std::optional<InputAnswer> NextAnswer(Host& host, InputAnswer::Kind wanted)
{
    while (!host.inputAnswers_.empty())
    {
        InputAnswer answer = std::move(host.inputAnswers_.front());
        host.inputAnswers_.pop_front();
        if (answer.kind == InputAnswer::Click)
        {
            host.inputCancelRequested_ = false;
            DG::ClickItem(answer.dialog, answer.item);
            const bool cancelled = host.inputCancelRequested_;
            host.inputCancelRequested_ = false;
            if (cancelled) return std::nullopt;
            continue;
        }
        if (answer.kind != wanted) return std::nullopt;
        return answer;
    }
    return std::nullopt;
}

// A plan position raised or lowered onto the plane; kept where the plane stands upright.
API_Coord3D OntoPlane(const API_Coord3D& picked, const API_Coord3D& origin, const API_Coord3D& normal)
{
    if (std::fabs(normal.z) < 1e-9) return picked;
    API_Coord3D onPlane = picked;
    onPlane.z = origin.z - (normal.x * (picked.x - origin.x) + normal.y * (picked.y - origin.y)) / normal.z;
    return onPlane;
}

GSErrCode PointInput(Host& host, API_GetPointType& input)
{
    host.Log("HostInterfaceRequest IPOI");
    const std::optional<InputAnswer> answer = NextAnswer(host, InputAnswer::Point);
    if (!answer) return APIERR_CANCEL;
    input.pos = input.changePlane ? OntoPlane(answer->point, input.planeOrigin, input.planeNormal) : answer->point;
    return NoError;
}

GSErrCode PolygonInput(Host& host, API_GetPolyType& input)
{
    host.Log("HostInterfaceRequest IPOL " + std::to_string(input.method));
    host.polygonInputs_.push_back({input.planeNormal, input.startCoord, input.method});
    const std::optional<InputAnswer> answer = NextAnswer(host, InputAnswer::Polygon);
    if (!answer) return APIERR_CANCEL;
    input.coords.assign(1, API_Coord {});
    input.coords.insert(input.coords.end(), answer->corners.begin(), answer->corners.end());
    input.coords.push_back(answer->corners.front());
    input.nCoords = static_cast<std::int32_t>(input.coords.size() - 1);
    input.parcs.clear();
    input.nArcs = 0;
    return NoError;
}

// Only the items of a menu the add-on registered can be relabelled.
GSErrCode SetMenuItemText(Host& host, const API_MenuItemRef* item, const char* text)
{
    if (item == nullptr || text == nullptr) return APIERR_BADPARS;
    const bool registered = std::any_of(host.menus_.begin(), host.menus_.end(),
                                        [&](const MenuRegistration& m) { return m.menuList == item->menuResID; });
    if (!registered || item->itemIndex < 1) return APIERR_BADPARS;
    host.menuTexts_[{item->menuResID, item->itemIndex}] = text;
    return NoError;
}

GSErrCode InterfaceRequest(HostToken token, std::int32_t code, void* par1, void* par2)
{
    Host& host = Host::From(token);
    if (code == FourCC("SMIT"))
        return SetMenuItemText(host, static_cast<const API_MenuItemRef*>(par1), static_cast<const char*>(par2));
    if (code == FourCC("INCA"))
    {
        host.Log("HostInterfaceRequest INCA");
        host.inputCancelRequested_ = true;
        return NoError;
    }
    if (code == FourCC("IPWD") || code == FourCC("SPRP") || code == FourCC("IPRV") || code == FourCC("SPRV") ||
        code == FourCC("CANC") || code == FourCC("CPWD"))
    {
        // The cancel query comes once a block of points: logged, the log would grow with the scan.
        if (code != FourCC("CANC")) host.Log("HostInterfaceRequest " + FourCCText(code));
        return Progress(host.progress_, code, par1, par2);
    }
    if (code != FourCC("IPOI") && code != FourCC("IPOL") && code != FourCC("SUCC")) return APIERR_BADID;
    if (par1 == nullptr) return APIERR_BADPARS;
    if (code == FourCC("SUCC"))
    {
        host.Log("HostInterfaceRequest SUCC");
        return MakeUserControl(*static_cast<const API_UCCallbackType*>(par1));
    }
    if (code == FourCC("IPOI")) return PointInput(host, *static_cast<API_GetPointType*>(par1));
    return PolygonInput(host, *static_cast<API_GetPolyType*>(par1));
}

bool ReadFinite(std::istringstream& in, double& value) { return static_cast<bool>(in >> value) && std::isfinite(value); }

bool Queue(Scenario& s, InputAnswer answer)
{
    Host* host = s.GetHost();
    if (host == nullptr) return s.Fail("this action needs a started host");
    host->inputAnswers_.push_back(std::move(answer));
    return true;
}

}  // namespace

void FillInterfaceServices(HostServiceTable& table) { SIMHOST_SET_SERVICE(table, HostInterfaceRequest, InterfaceRequest); }

void AddInterfaceFacts(const Host& host, Facts& facts)
{
    std::string menuTexts;
    for (const auto& [item, text] : host.menuTexts_)
        menuTexts += "[" + std::to_string(item.first) + "/" + std::to_string(item.second) + ": " + text + "]";
    facts["menu-texts"] = menuTexts;
    const ProgressWindow& p = host.progress_;
    facts["progress"] = p.opened == 0 ? "none"
                                      : "\"" + p.title + "\" \"" + p.phase + "\" " + std::to_string(p.value) + "/" +
                                            std::to_string(p.maximum) + (p.open ? " open" : " closed");
    std::string log;
    for (const std::string& entry : p.log) log += (log.empty() ? "" : ", ") + entry;
    facts["progress-log"] = log.empty() ? "none" : log;
}

void AddInterfaceVerbs(ScenarioVerbs& verbs)
{
    verbs["cancel-progress-at"] = [](Scenario& s, std::istringstream& args) {
        Host* host = s.GetHost();
        int n = 0;
        if (host == nullptr) return s.Fail("this action needs a started host");
        if (!(args >> n) || n < 1 || !Scenario::Rest(args).empty()) return s.Fail("cancel-progress-at <n from 1>");
        host->progress_.cancelAt = host->progress_.cancelQueries + n;
        return true;
    };
    verbs["pick"] = [](Scenario& s, std::istringstream& args) {
        const std::string rest = Scenario::Rest(args);
        if (rest == "cancel") return Queue(s, {});
        std::istringstream numbers(rest);
        InputAnswer answer;
        answer.kind = InputAnswer::Point;
        if (!ReadFinite(numbers, answer.point.x) || !ReadFinite(numbers, answer.point.y) ||
            !ReadFinite(numbers, answer.point.z) || !Scenario::Rest(numbers).empty())
            return s.Fail("pick <x> <y> <z> | pick cancel");
        return Queue(s, std::move(answer));
    };
    verbs["pick-polygon"] = [](Scenario& s, std::istringstream& args) {
        const std::string rest = Scenario::Rest(args);
        if (rest == "cancel") return Queue(s, {});
        std::istringstream numbers(rest);
        InputAnswer answer;
        answer.kind = InputAnswer::Polygon;
        API_Coord corner;
        while (ReadFinite(numbers, corner.x))
        {
            if (!ReadFinite(numbers, corner.y)) return s.Fail("pick-polygon <x> <y> ... needs pairs of numbers");
            answer.corners.push_back(corner);
        }
        if (!numbers.eof() || answer.corners.size() < 3)
            return s.Fail("pick-polygon <x> <y> <x> <y> <x> <y> ... | pick-polygon cancel");
        return Queue(s, std::move(answer));
    };
    verbs["pick-click"] = [](Scenario& s, std::istringstream& args) {
        InputAnswer answer;
        answer.kind = InputAnswer::Click;
        if (!(args >> answer.dialog >> answer.item) || !Scenario::Rest(args).empty()) return s.Fail("pick-click <dialog> <item>");
        return Queue(s, std::move(answer));
    };
}

}  // namespace SimHost
