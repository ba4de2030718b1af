#include "GX/ImageBase.hpp"

#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <new>

#include "ImageCodecs.hpp"
#include "SafeFiles.hpp"

namespace
{

struct FileCloser
{
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

const unsigned char PngSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
const unsigned char TiffIntel[4] = {'I', 'I', 42, 0};
const unsigned char TiffMotorola[4] = {'M', 'M', 0, 42};

// A regular file only: a pipe named like a picture would block the reading thread.
FilePtr OpenPicture(const std::string& path)
{
    SafeFiles::Refusal refusal = SafeFiles::Refusal::None;
    const int descriptor = SafeFiles::OpenRegular(path, refusal);
    if (descriptor < 0) return nullptr;
    FilePtr file(::fdopen(descriptor, "rb"));
    if (file == nullptr) ::close(descriptor);
    return file;
}

PixMapPtr ReadByKind(std::FILE* file, const FitBox& fit, std::int32_t& fullWidth, std::int32_t& fullHeight)
{
    unsigned char start[8] {};
    const std::size_t read = std::fread(start, 1, sizeof start, file);
    if (std::fseek(file, 0, SEEK_SET) != 0) return nullptr;
    if (read >= 3 && start[0] == 0xFF && start[1] == 0xD8 && start[2] == 0xFF) return ReadJpeg(file, fit, fullWidth, fullHeight);
    PixMapPtr pixMap;
    if (read >= 2 && start[0] == 'B' && start[1] == 'M')
        pixMap = ReadBmp(file);
    else if (read == sizeof start && std::memcmp(start, PngSignature, sizeof start) == 0)
        pixMap = ReadPng(file);
    else if (read >= 4 && (std::memcmp(start, TiffIntel, 4) == 0 || std::memcmp(start, TiffMotorola, 4) == 0))
        pixMap = ReadTiff(file);
    else if (read > 0)
        pixMap = ReadTga(file);
    if (pixMap != nullptr)
    {
        fullWidth = pixMap->width;
        fullHeight = pixMap->height;
    }
    return pixMap;
}

bool Read(std::FILE* file, GSPixMapHandle& pixMap, const FitBox& fit, std::int32_t& fullWidth, std::int32_t& fullHeight)
{
    try
    {
        pixMap = ReadByKind(file, fit, fullWidth, fullHeight).release();
    }
    catch (const std::bad_alloc&)
    {
        pixMap = nullptr;
    }
    return pixMap != nullptr;
}

}  // namespace

PixMapPtr NewPixMap(std::int32_t width, std::int32_t height, double dpi)
{
    return PixMapPtr(GXCreateGSPixMap(width, height, dpi, dpi));
}

bool FitsPixelBound(std::uint64_t width, std::uint64_t height)
{
    return width > 0 && height > 0 && width <= std::uint64_t(GSPixMapMaxPixels) && height <= std::uint64_t(GSPixMapMaxPixels) &&
           width * height <= std::uint64_t(GSPixMapMaxPixels);
}

namespace GX
{

bool ImageBase::ReadFile(const IO::Location& location, GSPixMapHandle& pixMap, std::int32_t pixelType)
{
    std::int32_t fullWidth = 0, fullHeight = 0;
    return ReadFile(location, pixMap, pixelType, 0, 0, fullWidth, fullHeight);
}

bool ImageBase::ReadFile(const IO::Location& location, GSPixMapHandle& pixMap, std::int32_t pixelType, std::int32_t fitWidth,
                         std::int32_t fitHeight, std::int32_t& fullWidth, std::int32_t& fullHeight)
{
    pixMap = nullptr;
    fullWidth = fullHeight = 0;
    if (pixelType != GSPixMapPixelType32) return false;
    const FilePtr file = OpenPicture(location.ToPath());
    return file != nullptr && Read(file.get(), pixMap, FitBox {fitWidth, fitHeight}, fullWidth, fullHeight);
}

bool ImageBase::ReadData(const std::vector<std::uint8_t>& data, GSPixMapHandle& pixMap, std::int32_t pixelType)
{
    pixMap = nullptr;
    if (pixelType != GSPixMapPixelType32 || data.empty()) return false;
    FilePtr file(fmemopen(const_cast<std::uint8_t*>(data.data()), data.size(), "rb"));
    std::int32_t fullWidth = 0, fullHeight = 0;
    return file != nullptr && Read(file.get(), pixMap, FitBox {}, fullWidth, fullHeight);
}

bool ImageBase::ConvertFromPixMap(GSPixMapHandle pixMap, FTM::TypeID fileType, std::vector<std::uint8_t>& data)
{
    data.clear();
    if (pixMap == nullptr || fileType != FTM::FileTypeManager::Bmp) return false;
    return WriteBmp(*pixMap, data);
}

bool ImageBase::WriteFile(const IO::Location& location, FTM::TypeID fileType, GSPixMapHandle pixMap)
{
    return pixMap != nullptr && fileType == FTM::FileTypeManager::Png && WritePng(*pixMap, location.ToPath());
}

}  // namespace GX
