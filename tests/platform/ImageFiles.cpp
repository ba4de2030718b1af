#include "ImageFiles.hpp"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <stdexcept>

#include <unistd.h>

#include <jpeglib.h>
#include <png.h>
#include <tiffio.h>

namespace
{

std::uint32_t BigEndian32(const std::uint8_t* p)
{
    return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3];
}

std::uint32_t Crc32(const std::uint8_t* data, std::size_t n)
{
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < n; ++i)
    {
        crc ^= data[i];
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return crc ^ 0xFFFFFFFFu;
}

}  // namespace

Bytes MakePng(std::int32_t width, std::int32_t height, const Bytes& bgra)
{
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = PNG_FORMAT_BGRA;
    png_alloc_size_t size = 0;
    if (!png_image_write_to_memory(&image, nullptr, &size, 0, bgra.data(), 0, nullptr)) throw std::runtime_error("png size");
    Bytes png(size);
    if (!png_image_write_to_memory(&image, png.data(), &size, 0, bgra.data(), 0, nullptr)) throw std::runtime_error("png");
    png.resize(size);
    return png;
}

Bytes MakeJpeg(std::int32_t width, std::int32_t height, const Bytes& bgra, int quality)
{
    jpeg_compress_struct info;
    jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = 4;
    info.in_color_space = JCS_EXT_BGRA;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height)
    {
        auto row = const_cast<JSAMPROW>(bgra.data() + std::size_t(info.next_scanline) * std::size_t(width) * 4);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    Bytes jpeg(buffer, buffer + size);
    jpeg_destroy_compress(&info);
    std::free(buffer);
    return jpeg;
}

Bytes MakeTiff(std::int32_t width, std::int32_t height, const Bytes& bgra)
{
    char path[] = "/tmp/survanto-tiff-XXXXXX";
    const int descriptor = mkstemp(path);
    if (descriptor < 0) throw std::runtime_error("tiff file");
    close(descriptor);
    TIFF* tiff = TIFFOpen(path, "w");
    if (tiff == nullptr) throw std::runtime_error("tiff");
    TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, std::uint32_t(width));
    TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, std::uint32_t(height));
    TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, 4);
    TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
    TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    const std::uint16_t extra[] = {EXTRASAMPLE_UNASSALPHA};
    TIFFSetField(tiff, TIFFTAG_EXTRASAMPLES, 1, extra);
    TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, std::uint32_t(height));
    Bytes row(std::size_t(width) * 4);
    for (std::int32_t y = 0; y < height; ++y)
    {
        const std::uint8_t* in = bgra.data() + std::size_t(y) * row.size();
        for (std::size_t i = 0; i < row.size(); i += 4)
            row[i] = in[i + 2], row[i + 1] = in[i + 1], row[i + 2] = in[i], row[i + 3] = in[i + 3];
        TIFFWriteScanline(tiff, row.data(), std::uint32_t(y), 0);
    }
    TIFFClose(tiff);
    Bytes file;
    if (std::FILE* in = std::fopen(path, "rb"))
    {
        std::uint8_t buffer[4096];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, in)) > 0;) file.insert(file.end(), buffer, buffer + n);
        std::fclose(in);
    }
    std::remove(path);
    return file;
}

Bytes MakeTga(std::int32_t width, std::int32_t height, const Bytes& bgra)
{
    constexpr std::size_t HeaderSize = 18;
    // Sized once: growing the header by the pixels trips g++ 12's -Warray-bounds at -O3.
    Bytes tga(HeaderSize + bgra.size(), 0);
    tga[2] = 2;  // true colour, uncompressed
    tga[12] = std::uint8_t(width), tga[13] = std::uint8_t(width >> 8);
    tga[14] = std::uint8_t(height), tga[15] = std::uint8_t(height >> 8);
    tga[16] = 32;
    tga[17] = 0x28;  // 8 alpha bits, top-down
    std::copy(bgra.begin(), bgra.end(), tga.begin() + HeaderSize);
    return tga;
}

std::size_t FindPngChunk(const Bytes& png, const char* type)
{
    for (std::size_t at = 8; at + 12 <= png.size();)
    {
        if (std::memcmp(png.data() + at + 4, type, 4) == 0) return at + 4;
        at += 12 + BigEndian32(png.data() + at);
    }
    return 0;
}

void SealPngChunk(Bytes& png, std::size_t typeOffset)
{
    const std::uint32_t length = BigEndian32(png.data() + typeOffset - 4);
    const std::uint32_t crc = Crc32(png.data() + typeOffset, 4 + length);
    for (int i = 0; i < 4; ++i) png[typeOffset + 4 + length + i] = static_cast<std::uint8_t>(crc >> (24 - 8 * i));
}
