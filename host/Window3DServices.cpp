#include "Window3DServices.hpp"

#include <sstream>

#include "DG/DG.hpp"
#include "HostAngles.hpp"
#include "ServiceTable.hpp"

namespace SimHost
{

namespace
{

GSErrCode Get3DWindowSight(HostToken token, Modeler::Sight** sight)
{
    Host& host = Host::From(token);
    host.Log("HostGet3DWindowSight");
    if (sight == nullptr) return APIERR_BADPARS;
    *sight = &host.window3D_.GetSight();
    return NoError;
}

ScenarioVerb OnWindow(std::function<bool(Scenario&, Window3D&, std::istringstream&)> body)
{
    return [body](Scenario& scenario, std::istringstream& args) {
        Host* host = scenario.GetHost();
        return host != nullptr ? body(scenario, host->window3D_, args) : scenario.Fail("this action needs a started host");
    };
}

std::string ItemValues(std::istringstream& args, bool& read)
{
    short dialog = 0, item = 0;
    std::string values;
    read = true;
    if (!(args >> dialog)) return values;
    while (args >> item) values += " " + std::to_string(static_cast<long>(DG::GetItemValue(dialog, item)));
    read = args.eof() && !values.empty();
    return values;
}

// A camera element's view: its points, roll and view cone turned into degrees.
Modeler::Camera ViewOf(const API_CameraType& element)
{
    Modeler::Camera camera;
    camera.SetView(Modeler::Camera::PerspectiveProjection, 0.0, {element.position.x, element.position.y, element.cameraZ},
                   {element.target.x, element.target.y, element.targetZ}, element.rollAngle * DegreesPerRadian,
                   element.viewCone * DegreesPerRadian, 1.0, 0.0, 1.0, 0.0, 1.0, 0.0);
    return camera;
}

}  // namespace

void LookThroughCameraElement(Host& host, const API_Guid& camera)
{
    const StoredElement* element = host.model_.Find(camera);
    const bool isCamera = element != nullptr && element->record.header.typeID == API_CameraID;
    const Modeler::Camera view = isCamera ? ViewOf(element->record.camera) : Modeler::Camera {};
    host.window3D_.FollowCamera(camera, isCamera ? &view : nullptr);
}

void FillWindow3DServices(HostServiceTable& table) { SIMHOST_SET_SERVICE(table, HostGet3DWindowSight, Get3DWindowSight); }

GSErrCode Projection3DRequest(Host& host, std::int32_t code, void* par1, void* par2)
{
    if (par1 == nullptr) return APIERR_BADPARS;
    if (code == FourCC("GP3D"))
    {
        *static_cast<API_3DProjectionInfo*>(par1) = host.window3D_.GetProjection();
        return NoError;
    }
    const auto& projection = *static_cast<const API_3DProjectionInfo*>(par1);
    const bool followsCamera = par2 != nullptr && *static_cast<const bool*>(par2);
    host.projections_.push_back({projection, followsCamera});
    if (!followsCamera) return host.window3D_.SetProjection(projection);
    LookThroughCameraElement(host, projection.cameraGuid);
    return NoError;
}

GSErrCode Redraw3DWindow(Host& host)
{
    host.Log("HostAutomationRequest RDRW");
    host.window3D_.Redraw();
    return NoError;
}

void AddWindow3DFacts(const Host& host, Facts& facts)
{
    const Window3D& window = host.window3D_;
    facts["camera-3d"] = window.Describe();
    facts["redraws-3d"] = std::to_string(window.GetRedrawCount());
    facts["sight-notifications"] = std::to_string(window.GetSight().GetNotificationCount());
}

void AddWindow3DVerbs(ScenarioVerbs& verbs)
{
    verbs["walk-3d"] = OnWindow([](Scenario& s, Window3D& window, std::istringstream& args) {
        double forward = 0.0, left = 0.0, up = 0.0;
        if (!(args >> forward) || (!(args >> left) && !args.eof()) || (!(args >> up) && !args.eof()))
            return s.Fail("walk-3d <forward> [<left> [<up>]]");
        window.Walk(forward, left, up);
        return true;
    });
    verbs["turn-3d"] = OnWindow([](Scenario& s, Window3D& window, std::istringstream& args) {
        double left = 0.0, up = 0.0;
        if (!(args >> left) || (!(args >> up) && !args.eof())) return s.Fail("turn-3d <left degrees> [<up degrees>]");
        window.Turn(left, up);
        return true;
    });
    verbs["orbit-3d"] = OnWindow([](Scenario& s, Window3D& window, std::istringstream& args) {
        double degrees = 0.0;
        if (!(args >> degrees)) return s.Fail("orbit-3d <degrees>");
        window.Orbit(degrees);
        return true;
    });
    verbs["zoom-3d"] = OnWindow([](Scenario& s, Window3D& window, std::istringstream& args) {
        double cone = 0.0;
        if (!(args >> cone) || !window.Zoom(cone)) return s.Fail("zoom-3d <view cone in degrees, above 0 and below 180>");
        return true;
    });
    verbs["print-3d"] = OnWindow([](Scenario& s, Window3D& window, std::istringstream& args) {
        bool read = false;
        const std::string values = ItemValues(args, read);
        if (!read) return s.Fail("print-3d [<dialog> <item>...]");
        s.Out() << window.Describe() << (values.empty() ? "" : " items" + values) << " redraws " << window.GetRedrawCount()
                << "\n";
        return true;
    });
}

}  // namespace SimHost
