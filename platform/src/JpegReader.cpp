#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

#include "ImageCodecs.hpp"

// libjpeg ends the process on an error unless told otherwise: its errors jump
// back into Decode, and a warning (truncated or corrupt data, which libjpeg
// would fill with grey) makes the image unreadable too. All decoder state lives
// in JpegDecoder, in the frame of ReadJpeg, which the jump never leaves.

namespace
{

struct JpegErrors
{
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

struct JpegDecoder
{
    jpeg_decompress_struct info;
    JpegErrors errors;
    PixMapPtr pixMap;
    std::int32_t fullWidth;
    std::int32_t fullHeight;
};

[[noreturn]] void LeaveDecoder(j_common_ptr info) { std::longjmp(reinterpret_cast<JpegErrors*>(info->err)->jump, 1); }

void CountWarning(j_common_ptr info, int level)
{
    if (level < 0) ++info->err->num_warnings;
}

void Silent(j_common_ptr) {}

// Only trivially destructible objects live here between setjmp and a jump.
bool Decode(JpegDecoder& decoder, std::FILE* file, const FitBox& fit)
{
    jpeg_decompress_struct& info = decoder.info;
    if (setjmp(decoder.errors.jump) != 0) return false;
    jpeg_create_decompress(&info);
    jpeg_stdio_src(&info, file);
    jpeg_read_header(&info, TRUE);
    if (!FitsPixelBound(info.image_width, info.image_height)) return false;
    decoder.fullWidth = static_cast<std::int32_t>(info.image_width);
    decoder.fullHeight = static_cast<std::int32_t>(info.image_height);
    info.scale_num = 1;
    info.scale_denom = static_cast<unsigned>(JpegReduction(info.image_width, info.image_height, fit));
    info.out_color_space = JCS_EXT_BGRA;
    jpeg_start_decompress(&info);
    // Every scan line is written or the picture is given up.
    decoder.pixMap = NewUnsetPixMap(static_cast<std::int32_t>(info.output_width), static_cast<std::int32_t>(info.output_height));
    if (decoder.pixMap == nullptr || info.output_components != 4) return false;
    while (info.output_scanline < info.output_height)
    {
        JSAMPROW row = decoder.pixMap->Row(static_cast<std::int32_t>(info.output_scanline));
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    return info.err->num_warnings == 0;
}

}  // namespace

int JpegReduction(std::uint32_t width, std::uint32_t height, const FitBox& fit)
{
    if (fit.width <= 0 || fit.height <= 0 || width == 0 || height == 0) return 1;
    const double scale = std::min(double(fit.width) / width, double(fit.height) / height);
    const double fittedWidth = std::ceil(width * scale - 1e-9), fittedHeight = std::ceil(height * scale - 1e-9);
    for (const std::uint32_t reduction : {8u, 4u, 2u})
        if ((width + reduction - 1) / reduction >= fittedWidth && (height + reduction - 1) / reduction >= fittedHeight)
            return static_cast<int>(reduction);
    return 1;
}

PixMapPtr ReadJpeg(std::FILE* file, const FitBox& fit, std::int32_t& fullWidth, std::int32_t& fullHeight)
{
    JpegDecoder decoder {};
    decoder.info.err = jpeg_std_error(&decoder.errors.manager);
    decoder.errors.manager.error_exit = LeaveDecoder;
    decoder.errors.manager.emit_message = CountWarning;
    decoder.errors.manager.output_message = Silent;
    const bool decoded = Decode(decoder, file, fit);
    jpeg_destroy_decompress(&decoder.info);
    if (!decoded) return nullptr;
    fullWidth = decoder.fullWidth;
    fullHeight = decoder.fullHeight;
    return std::move(decoder.pixMap);
}
