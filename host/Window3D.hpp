#pragma once
#include <string>

#include "API/AddOnInterface.hpp"
#include "Modeler/Sight.hpp"

namespace SimHost
{

// The host's 3D window: one sight, whose camera is also the window's projection
// ("GP3D", "CP3D"), so that the two never disagree.
//
// What the host takes a camera's fields to mean:
// - lengths in metres; the view point and target are 3D points, heights above
//   the project zero; the projection's distance is the distance between them;
// - angles in degrees: the view cone is the picture's full horizontal opening,
//   the roll turns the camera counter-clockwise about its view direction;
// - projection code 1 is the perspective; the projection angle is kept as given;
// - the zoom data are the picture plane's width and height factors and its shift
//   in x and y, and the six values after the view cone of SetView scale and shift
//   the picture's x, y and depth (1, 0 leave each as it is): the host keeps both
//   with the camera and frames its picture by the view cone alone.
class Window3D
{
public:
    Modeler::Sight& GetSight() { return sight_; }
    const Modeler::Sight& GetSight() const { return sight_; }
    const Modeler::Camera& GetCamera() const { return sight_.GetCamera(); }

    API_3DProjectionInfo GetProjection() const;
    // The camera takes the record's points and view cone, keeps its roll, zoom
    // data and view factors; observers are told only when it changes. A record
    // whose points coincide or whose view cone is not in (0°, 180°) is refused.
    GSErrCode SetProjection(const API_3DProjectionInfo& projection);
    // The projection follows a camera element from now on; the camera takes the
    // element's view when one is given.
    void FollowCamera(const API_Guid& cameraGuid, const Modeler::Camera* elementView);
    void Redraw() { ++redraws_; }
    int GetRedrawCount() const { return redraws_; }

    // What the user does in the window, each one camera change. Walking moves
    // along the plan direction of view, left and up; turning keeps the view
    // point; orbiting turns the view point about the target's vertical.
    void Walk(double forward, double left, double up);
    void Turn(double leftDegrees, double upDegrees);
    void Orbit(double degrees);
    bool Zoom(double viewCone);

    // "position (x, y, z) direction (x, y, z) cone c".
    std::string Describe() const;

private:
    void Change(const Modeler::Camera& camera);

    Modeler::Sight sight_;
    API_Guid followedCamera_ {};
    int redraws_ = 0;
};

}  // namespace SimHost
