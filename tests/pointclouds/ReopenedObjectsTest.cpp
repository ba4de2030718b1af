// A saved project opens with its placed objects' parameters whole: the photo
// object's location names (arrays of texts with their dimensions) and the
// point-cloud object's described parameters come back as they were placed.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "Graphics/NativeImage.hpp"
#include "Graphics/PngWriter.hpp"
#include "PointCloudFixture.hpp"
#include "ProjectFile.hpp"
#include "UndoableCommand.hpp"
#include "framework/HostApiHelpers.hpp"
#include "photos/PhotoLocationNames.hpp"
#include "pointclouds/PointCloudObject.hpp"

namespace
{

void ExpectSameParameters(const std::vector<API_AddParType>& placed, const std::vector<API_AddParType>& reopened)
{
    ASSERT_EQ(reopened.size(), placed.size());
    for (std::size_t i = 0; i < placed.size(); ++i)
    {
        const API_AddParType& a = placed[i];
        const API_AddParType& b = reopened[i];
        SCOPED_TRACE(a.name);
        EXPECT_STREQ(b.name, a.name);
        EXPECT_EQ(b.typeID, a.typeID);
        EXPECT_EQ(std::memcmp(&b.value, &a.value, sizeof a.value), 0) << a.value << " became " << b.value;
        EXPECT_EQ(b.text, a.text);
        EXPECT_EQ(b.description, a.description);
        EXPECT_EQ(b.flags, a.flags);
        EXPECT_EQ(b.dim1, a.dim1);
        EXPECT_EQ(b.dim2, a.dim2);
        EXPECT_EQ(b.arrayValues, a.arrayValues);
        EXPECT_EQ(b.arrayTexts, a.arrayTexts);
    }
}

const API_AddParType* Find(const std::vector<API_AddParType>& params, const char* name)
{
    for (const API_AddParType& p : params)
        if (std::strcmp(p.name, name) == 0) return &p;
    return nullptr;
}

class ReopenedObjects : public PointCloudFixture
{
protected:
    std::string WritePhoto(const std::string& name)
    {
        NewDisplay::NativeImage picture(8, 6);
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 8; ++x) picture.BlendPixel(x, y, Gfx::Color(200, 30, 30));
        const std::string path = folder_.path() + "/" + name;
        std::string error;
        EXPECT_TRUE(NewDisplay::WritePngFile(picture, path, &error)) << error;
        return path;
    }

    API_Guid PlacePhoto(const std::string& photo)
    {
        Host().SelectTool(API_ObjectID, FourCC("SVPH"));
        Main().photoFolderDialog.photoPalette.photoLocation = IO::Location(photo);
        SetPoints({{1, 1, 0}, {1, 3, 0}});
        Main().PlacePhotoObject();
        return Model().content.elements.empty() ? APINULLGuid : Model().content.elements.back().record.header.guid;
    }

    API_Guid PlacePointCloud()
    {
        const std::vector<CloudPoint> cloud {Point(1, 2, 3), Point(4, 6, 8)};
        PointList points(cloud);
        const std::int32_t index =
            Main().WritePointCloudPart(GS::UniString("Scan"), Target(), points, BoxOf(cloud), {2, 3, 4}, true, 1);
        API_Guid placed {};
        EXPECT_EQ(InUndoableCommand([&] { return PlacePointCloudObject(index, BoxOf(cloud), 0, placed); }), NoError);
        return placed;
    }
};

TEST_F(ReopenedObjects, EveryParameterOfAPhotoAndAPointCloudComesBack)
{
    const std::string photo = WritePhoto("Hof.png");
    const API_Guid cloud = PlacePointCloud();
    const API_Guid photoObject = PlacePhoto(photo);
    ASSERT_NE(Model().Find(cloud), nullptr);
    ASSERT_NE(Model().Find(photoObject), nullptr);
    const std::vector<API_AddParType> cloudParams = Model().Find(cloud)->memo.params;
    const std::vector<API_AddParType> photoParams = Model().Find(photoObject)->memo.params;
    // What the round trip must carry besides numbers and texts: the cloud's
    // parameters are described, the photo's path is an array of names.
    const API_AddParType* width = Find(cloudParams, "A");
    ASSERT_NE(width, nullptr);
    EXPECT_EQ(width->description, GS::UniString("Breite"));
    const API_AddParType* location = Find(photoParams, "fileLocation");
    ASSERT_NE(location, nullptr);
    EXPECT_GT(location->dim1, 1);
    ASSERT_FALSE(location->arrayTexts.empty());

    const std::string path = folder_.path() + "/site.json";
    std::string error;
    ASSERT_TRUE(SimHost::SaveProjectFile(Model(), path, error)) << error;
    SimHost::ProjectModel opened;
    ASSERT_TRUE(SimHost::ReadProjectFile(path, opened, error)) << error;
    Host().OpenProject("site.json", std::move(opened));
    Host().RunPendingCommands();

    ASSERT_NE(Model().Find(cloud), nullptr);
    ASSERT_NE(Model().Find(photoObject), nullptr);
    {
        SCOPED_TRACE("point cloud");
        ExpectSameParameters(cloudParams, Model().Find(cloud)->memo.params);
    }
    {
        SCOPED_TRACE("photo");
        ExpectSameParameters(photoParams, Model().Find(photoObject)->memo.params);
    }
    const API_AddParType* reopened = Find(Model().Find(photoObject)->memo.params, "fileLocation");
    ASSERT_NE(reopened, nullptr);
    PhotoLocationNames names;
    names.local = ReadNameArray(*reopened);
    EXPECT_EQ(LocationOfNames(names).ToPath(), photo);
}

}  // namespace
