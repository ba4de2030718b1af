#include <gtest/gtest.h>

#include <sstream>

#include "GX/ImageBase.hpp"
#include "GX/PixMap.hpp"
#include "IO/Location.hpp"
#include "InProcessHost.hpp"
#include "Scenario.hpp"

// The plan picture shows roofs by their outline and walls by their body, each in
// its own tint on white.

namespace
{

struct Pixel
{
    int blue, green, red;
};

Pixel PixelAt(GSPixMapHandle picture, std::int32_t x, std::int32_t y)
{
    const std::uint8_t* p = GXGetGSPixMapBaseAddr(picture) + y * GXGetGSPixMapBytesPerRow(picture) + x * 4;
    return {p[0], p[1], p[2]};
}

}  // namespace

TEST(PlanPicture, RoofsAndWallsAreDrawn)
{
    TempFolder folder;
    SimHost::Host::Options options;
    options.addOnPath = SURVANTO_APX_PATH;
    std::ostringstream out;
    SimHost::Scenario scenario(options, out);
    ASSERT_TRUE(scenario.RunText("start\nnew-project\nadd-wall 0 0 4 0 0.3 0\n")) << out.str();

    SimHost::StoredElement roof;
    roof.record.header.typeID = API_RoofID;
    roof.memo.coords = {{}, {1, 0}, {5, 0}, {5, 2}, {1, 2}, {1, 0}};
    roof.memo.pends = {0, 5};
    scenario.GetHost()->model_.content.elements.push_back(roof);
    const std::string file = folder.path() + "/plan.png";
    ASSERT_TRUE(scenario.RunText("plan-picture " + file + "\n")) << out.str();
    EXPECT_NE(out.str().find("0 polygons of 0 morphs, 1 roofs, 1 walls, 0 openings, 1001 x 483 pixels"), std::string::npos)
        << out.str();

    // 192 pixels a metre from (0, -0.3) at the lower left, 20 pixels of margin.
    GSPixMapHandle picture = nullptr;
    ASSERT_TRUE(GX::ImageBase::ReadFile(IO::Location(file), picture, GSPixMapPixelType32));
    const Pixel inRoof = PixelAt(picture, 596, 212);
    const Pixel inWall = PixelAt(picture, 404, 433);
    const Pixel outside = PixelAt(picture, 100, 100);
    EXPECT_GT(inRoof.red, inRoof.blue + 20);
    EXPECT_LT(inWall.red, 250);
    EXPECT_NEAR(inWall.red, inWall.blue, 2);
    EXPECT_EQ(outside.red + outside.green + outside.blue, 3 * 255);
    GXDeleteGSPixMap(picture);
}
