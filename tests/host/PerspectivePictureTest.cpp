// survanto-host's 3D picture: points seen through a camera in perspective.
#include <gtest/gtest.h>
#include <png.h>

#include <array>

#include "InProcessHost.hpp"
#include "PerspectivePicture.hpp"

namespace
{

using Rgb = std::array<int, 3>;

class Picture
{
public:
    explicit Picture(const std::string& path)
    {
        png_image png {};
        png.version = PNG_IMAGE_VERSION;
        if (!png_image_begin_read_from_file(&png, path.c_str())) return;
        png.format = PNG_FORMAT_RGB;
        pixels_.resize(PNG_IMAGE_SIZE(png));
        if (!png_image_finish_read(&png, nullptr, pixels_.data(), 0, nullptr)) pixels_.clear();
        width_ = png.width;
    }
    Rgb At(std::uint32_t x, std::uint32_t y) const
    {
        const std::size_t i = (static_cast<std::size_t>(y) * width_ + x) * 3;
        return {pixels_[i], pixels_[i + 1], pixels_[i + 2]};
    }
    bool Read() const { return !pixels_.empty(); }

private:
    std::vector<std::uint8_t> pixels_;
    std::uint32_t width_ = 0;
};

// Looking due east from the origin with a 90° cone onto a picture 101 pixels
// wide: 10 m ahead lies the middle, north is left, up is up.
TEST(PerspectivePicture, PointsLieWhereTheCameraSeesThem)
{
    Modeler::Camera camera;
    camera.SetView(1, 0.0, {0.0, 0.0, 0.0}, {10.0, 0.0, 0.0}, 0.0, 90.0, 1, 0, 1, 0, 1, 0);
    const std::vector<SimHost::ColouredPoint> points {
        {{10.0, 0.0, 0.0}, Gfx::Color(255, 0, 0)},    {{5.0, 0.0, 0.0}, Gfx::Color(0, 255, 0)},
        {{10.0, 5.0, 0.0}, Gfx::Color(0, 0, 255)},    {{10.0, 0.0, 5.0}, Gfx::Color(255, 255, 0)},
        {{-10.0, 0.0, 0.0}, Gfx::Color(255, 0, 255)},
    };
    TempFolder folder;
    const std::string path = folder.path() + "/view.png";
    std::string error;
    ASSERT_TRUE(SimHost::WritePerspectivePicture(camera, points, 101, 81, path, error)) << error;
    const Picture picture(path);
    ASSERT_TRUE(picture.Read());
    EXPECT_EQ(picture.At(50, 40), (Rgb {0, 255, 0}));  // the nearer point hides the farther
    EXPECT_EQ(picture.At(25, 40), (Rgb {0, 0, 255}));
    EXPECT_EQ(picture.At(50, 15), (Rgb {255, 255, 0}));
    EXPECT_EQ(picture.At(0, 0), (Rgb {32, 32, 32}));
}

}  // namespace
