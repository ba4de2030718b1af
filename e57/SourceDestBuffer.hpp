#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <type_traits>
#include <utility>

#include "e57/ImageFile.hpp"

namespace e57 {

enum class BufferType { Int8, UInt8, Int16, UInt16, Int32, UInt32, Int64, UInt64, Float, Double };

// Where a compressed-vector reader puts one field of the given image file: capacity
// values, stride bytes apart. convert allows integer <-> floating conversions; scale
// applies a ScaledInteger's scale and offset instead of giving its raw integer.
class SourceDestBuffer {
public:
    template <typename T>
    SourceDestBuffer(const ImageFile& imageFile, std::string path, T* data, std::size_t capacity, bool convert = false,
                     bool scale = false, std::size_t strideBytes = sizeof(T))
        : image_(imageFile.data_.get()), path_(std::move(path)), data_(data), capacity_(capacity), stride_(strideBytes),
          elementSize_(sizeof(T)), type_(typeOf<T>()), convert_(convert), scale_(scale) {}

    const ImageData* image() const { return image_; }
    const std::string& path() const { return path_; }
    void* data() const { return data_; }
    std::size_t capacity() const { return capacity_; }
    std::size_t stride() const { return stride_; }
    std::size_t elementSize() const { return elementSize_; }
    BufferType type() const { return type_; }
    bool convert() const { return convert_; }
    bool scale() const { return scale_; }
    bool isFloating() const { return type_ == BufferType::Float || type_ == BufferType::Double; }

private:
    template <typename T>
    static constexpr BufferType typeOf() {
        if constexpr (std::is_same_v<T, std::int8_t>)
            return BufferType::Int8;
        else if constexpr (std::is_same_v<T, std::uint8_t>)
            return BufferType::UInt8;
        else if constexpr (std::is_same_v<T, std::int16_t>)
            return BufferType::Int16;
        else if constexpr (std::is_same_v<T, std::uint16_t>)
            return BufferType::UInt16;
        else if constexpr (std::is_same_v<T, std::int32_t>)
            return BufferType::Int32;
        else if constexpr (std::is_same_v<T, std::uint32_t>)
            return BufferType::UInt32;
        else if constexpr (std::is_same_v<T, std::int64_t>)
            return BufferType::Int64;
        else if constexpr (std::is_same_v<T, std::uint64_t>)
            return BufferType::UInt64;
        else if constexpr (std::is_same_v<T, float>)
            return BufferType::Float;
        else {
            static_assert(std::is_same_v<T, double>, "buffers hold fixed-width integers, float or double");
            return BufferType::Double;
        }
    }

    const ImageData* image_;
    std::string path_;
    void* data_;
    std::size_t capacity_;
    std::size_t stride_;
    std::size_t elementSize_;
    BufferType type_;
    bool convert_;
    bool scale_;
};

}  // namespace e57
