#pragma once
#include <string>

#include "API/AddOnInterface.hpp"
#include "Host.hpp"
#include "ProjectModel.hpp"
#include "Scenario.hpp"

namespace SimHost
{

// Pictures (type 31): an image file in the memo shown in a plan rectangle,
// turned about its lower left corner. The host takes a picture whose rectangles
// have a size and whose data is a BMP file.
bool IsPlaceablePicture(const API_Element& element, const API_ElementMemo* memo);
// "(x1,y1)-(x2,y2) angle a bmp WxH" of the destination rectangle and the image.
std::string DescribePicture(const StoredElement& element);

// Draws the pictures of one view into a PNG file, each at its rectangle and
// turned by its angle, on white; the picture spans the pictures at the given
// pixels per metre. False with the reason when there is nothing to draw or the
// file cannot be written.
struct ViewChoice
{
    bool floorPlan = true;
    std::int16_t storey = 0;
    std::string viewName;  // the view's name when not a floor plan
};
bool WriteViewPng(const ProjectModel& model, const ViewChoice& view, double pixelsPerMetre, const std::string& path,
                  std::string& error);

// Fact "pictures": the number of pictures per view. Verb:
//   write-view <file> <pixels per metre> floorplan <storey> | view <view name>
//       writes the pictures of that view as a PNG file (a relative path lies in
//       the work folder)
void AddPictureFacts(const Host& host, Facts& facts);
void AddPictureVerbs(ScenarioVerbs& verbs);

}  // namespace SimHost
