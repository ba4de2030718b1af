#include "GX/ImageBase.hpp"

#include <cstring>
#include <new>

#include "ImageCodecs.hpp"

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

const unsigned char PngSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};

PixMapPtr ReadByKind(std::FILE* file)
{
    unsigned char start[8] {};
    const std::size_t read = std::fread(start, 1, sizeof start, file);
    if (std::fseek(file, 0, SEEK_SET) != 0) return nullptr;
    if (read >= 2 && start[0] == 'B' && start[1] == 'M') return ReadBmp(file);
    if (read == sizeof start && std::memcmp(start, PngSignature, sizeof start) == 0) return ReadPng(file);
    if (read >= 3 && start[0] == 0xFF && start[1] == 0xD8 && start[2] == 0xFF) return ReadJpeg(file);
    return nullptr;
}

}  // namespace

PixMapPtr NewPixMap(std::int32_t width, std::int32_t height, double dpi) { return PixMapPtr(GXCreateGSPixMap(width, height, dpi, dpi)); }

bool FitsPixelBound(std::uint64_t width, std::uint64_t height)
{
    return width > 0 && height > 0 && width <= std::uint64_t(GSPixMapMaxPixels) && height <= std::uint64_t(GSPixMapMaxPixels) &&
           width * height <= std::uint64_t(GSPixMapMaxPixels);
}

namespace GX {

bool ImageBase::ReadFile(const IO::Location& location, GSPixMapHandle& pixMap, std::int32_t pixelType)
{
    pixMap = nullptr;
    if (pixelType != GSPixMapPixelType32) return false;
    FilePtr file(std::fopen(location.ToPath().c_str(), "rb"));
    if (file == nullptr) return false;
    try {
        pixMap = ReadByKind(file.get()).release();
    } catch (const std::bad_alloc&) {
        pixMap = nullptr;
    }
    return pixMap != nullptr;
}

bool ImageBase::ReadData(const std::vector<std::uint8_t>& data, GSPixMapHandle& pixMap, std::int32_t pixelType)
{
    pixMap = nullptr;
    if (pixelType != GSPixMapPixelType32 || data.empty()) return false;
    FilePtr file(fmemopen(const_cast<std::uint8_t*>(data.data()), data.size(), "rb"));
    if (file == nullptr) return false;
    try {
        pixMap = ReadByKind(file.get()).release();
    } catch (const std::bad_alloc&) {
        pixMap = nullptr;
    }
    return pixMap != nullptr;
}

bool ImageBase::ConvertFromPixMap(GSPixMapHandle pixMap, FTM::TypeID fileType, std::vector<std::uint8_t>& data)
{
    data.clear();
    if (pixMap == nullptr || fileType != FTM::FileTypeManager::Bmp) return false;
    return WriteBmp(*pixMap, data);
}

}  // namespace GX
