#include "PhotoFixture.hpp"

#include "DG/DG.hpp"
#include "Graphics/PngWriter.hpp"
#include "MarkerSupport.hpp"
#include "frame/Survanto.hpp"

void PhotoFixture::SetUp()
{
    MainObjectFixture::SetUp();
    LoadOwnLibrary(Host());
}

std::string PhotoFixture::WritePhoto(const std::string& name, int width, int height)
{
    NewDisplay::NativeImage picture(static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            picture.BlendPixel(x, y, x < width / 2 && y < height / 2 ? Gfx::Color(255, 255, 255) : Gfx::Color(200, 30, 30));
    const std::string path = photos_.path() + "/" + name;
    std::string error;
    EXPECT_TRUE(NewDisplay::WritePngFile(picture, path, &error)) << error;
    return path;
}

void PhotoFixture::OpenFolderPalette()
{
    Folder().photoFolder = IO::Location(photos_.path());
    Folder().SetResourceModules(CurrentResourceModule(), Main().resourceModules[0]);
    ASSERT_EQ(Folder().OpenPalette(211), 0);
}

std::vector<std::string> PhotoFixture::ListedNames()
{
    std::vector<std::string> names;
    const short count = DG::ListViewGetItemCount(32495, 1);
    for (short entry = 1; entry <= count; ++entry) names.push_back(DG::ListViewGetItemText(32495, 1, entry).ToUtf8());
    return names;
}
