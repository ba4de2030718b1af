#include "e57/FieldChannel.hpp"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <type_traits>

#include "e57/Element.hpp"
#include "e57/PagedFile.hpp"

namespace e57 {
namespace {

// Zeros after the stream bytes let every value be read with one unaligned 8-byte
// load plus one byte.
constexpr std::size_t kTailBytes = 16;

inline std::uint64_t extractBits(const unsigned char* bytes, std::uint64_t bitPosition, unsigned bits,
                                 std::uint64_t mask) {
    const std::size_t index = static_cast<std::size_t>(bitPosition >> 3);
    const unsigned shift = static_cast<unsigned>(bitPosition & 7);
    std::uint64_t word;
    std::memcpy(&word, bytes + index, sizeof word);
    std::uint64_t value = word >> shift;
    if (shift + bits > 64) value |= std::uint64_t{bytes[index + 8]} << (64 - shift);
    return value & mask;
}

// Values of Width bits: a whole word at a byte boundary when Width is 8, 16, 32 or 64
// (such a stream never leaves the byte boundary); Width 0 is any width up to 64 bits,
// Width 56 any width up to 56 bits, which one 8-byte load always covers.
template <unsigned Width>
inline std::uint64_t loadValue(const unsigned char* bytes, std::uint64_t bitPosition, unsigned bits,
                               std::uint64_t mask) {
    const unsigned char* at = bytes + (bitPosition >> 3);
    if constexpr (Width == 8) {
        return *at;
    } else if constexpr (Width == 16 || Width == 32 || Width == 64) {
        using Word = std::conditional_t<Width == 16, std::uint16_t,
                                        std::conditional_t<Width == 32, std::uint32_t, std::uint64_t>>;
        Word word;
        std::memcpy(&word, at, sizeof word);
        return word;
    } else if constexpr (Width == 56) {
        std::uint64_t word;
        std::memcpy(&word, at, sizeof word);
        return (word >> (bitPosition & 7)) & mask;
    } else {
        return extractBits(bytes, bitPosition, bits, mask);
    }
}

template <typename Out>
bool integerFits(std::int64_t value) {
    if constexpr (std::is_same_v<Out, std::uint64_t>) {
        return value >= 0;
    } else {
        return value >= static_cast<std::int64_t>(std::numeric_limits<Out>::min()) &&
               value <= static_cast<std::int64_t>(std::numeric_limits<Out>::max());
    }
}

template <typename Out>
bool realFits(double value) {
    constexpr double lowest = static_cast<double>(std::numeric_limits<Out>::min());
    constexpr double highest = static_cast<double>(std::numeric_limits<Out>::max());
    // A 64-bit maximum rounds up to a power of two as a double, one past the range.
    if constexpr (sizeof(Out) == 8)
        return value >= lowest && value < highest;
    else
        return value >= lowest && value <= highest;
}

std::uint16_t loadU16(const unsigned char* bytes) {
    return static_cast<std::uint16_t>(bytes[0] | (bytes[1] << 8));
}

}  // namespace

FieldChannel::FieldChannel(PagedFile& file, const Element& field, const Stream& stream,
                           const SourceDestBuffer& buffer)
    : file_(file),
      field_(&field),
      stream_(stream),
      out_(static_cast<unsigned char*>(buffer.data())),
      stride_(buffer.stride()),
      bits_(field.bitWidth()),
      mask_(bits_ >= 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << bits_) - 1),
      range_(static_cast<std::uint64_t>(field.maximum) - static_cast<std::uint64_t>(field.minimum)),
      minimum_(field.minimum),
      scale_(field.scale),
      offset_(field.offset),
      packet_(stream.dataStart),
      bytes_(kTailBytes) {
    if (field.type == NodeType::Float) {
        mode_ = field.singlePrecision ? Mode::Single : Mode::Double;
        range_ = mask_;
    } else if (field.type == NodeType::ScaledInteger && buffer.scale()) {
        mode_ = Mode::Scaled;
    }
    round_ = mode_ == Mode::Scaled;
    checkConversion(buffer);
    chooseDecoder(buffer.type());
}

void FieldChannel::checkConversion(const SourceDestBuffer& buffer) const {
    const bool floating = buffer.isFloating();
    const bool integerSource = mode_ == Mode::Integer;
    const bool needsConversion = (integerSource && floating) || (!integerSource && !floating);
    if (needsConversion && !buffer.convert())
        fail(ErrorCode::ConversionRequired,
             std::string(floating ? "integer values into a floating-point buffer"
                                  : "floating-point values into an integer buffer") +
                 " need the conversion switch");
}

void FieldChannel::chooseDecoder(BufferType type) {
    switch (type) {
        case BufferType::Int8: decoder_ = &FieldChannel::decodeAs<std::int8_t>; break;
        case BufferType::UInt8: decoder_ = &FieldChannel::decodeAs<std::uint8_t>; break;
        case BufferType::Int16: decoder_ = &FieldChannel::decodeAs<std::int16_t>; break;
        case BufferType::UInt16: decoder_ = &FieldChannel::decodeAs<std::uint16_t>; break;
        case BufferType::Int32: decoder_ = &FieldChannel::decodeAs<std::int32_t>; break;
        case BufferType::UInt32: decoder_ = &FieldChannel::decodeAs<std::uint32_t>; break;
        case BufferType::Int64: decoder_ = &FieldChannel::decodeAs<std::int64_t>; break;
        case BufferType::UInt64: decoder_ = &FieldChannel::decodeAs<std::uint64_t>; break;
        case BufferType::Float: decoder_ = &FieldChannel::decodeAs<float>; break;
        case BufferType::Double: decoder_ = &FieldChannel::decodeAs<double>; break;
    }
}

template <typename Out>
void FieldChannel::decodeAs(unsigned char* out, std::size_t count) {
    switch (mode_) {
        case Mode::Integer: decodeIntegers<Out>(out, count); break;
        case Mode::Scaled: decodeScaled<Out>(out, count); break;
        case Mode::Single: unpackFloat<Out, float>(out, count); break;
        case Mode::Double: unpackFloat<Out, double>(out, count); break;
    }
}

template <typename Out>
void FieldChannel::decodeIntegers(unsigned char* out, std::size_t count) {
    // Checks that no stored value can fail are left out of the loop: every value of
    // the full width lies in the declared range, and the range fits the buffer.
    const bool rangeChecked = range_ != mask_;
    const bool typeChecked = !std::is_floating_point_v<Out> &&
                             !(integerFits<Out>(minimum_) && integerFits<Out>(static_cast<std::int64_t>(
                                                                static_cast<std::uint64_t>(minimum_) + range_)));
    if (rangeChecked || typeChecked) {
        forWidth<Out>(out, count, [this](std::uint64_t raw) { return fromInteger<Out>(raw); });
        return;
    }
    const std::uint64_t minimum = static_cast<std::uint64_t>(minimum_);
    forWidth<Out>(out, count, [minimum](std::uint64_t raw) {
        // Raw integer first, in integer arithmetic: stored + minimum.
        return static_cast<Out>(static_cast<std::int64_t>(raw + minimum));
    });
}

template <typename Out>
void FieldChannel::decodeScaled(unsigned char* out, std::size_t count) {
    if constexpr (std::is_floating_point_v<Out>) {
        const std::uint64_t range = range_, minimum = static_cast<std::uint64_t>(minimum_);
        const double scale = scale_, offset = offset_;
        forWidth<Out>(out, count, [this, range, minimum, scale, offset](std::uint64_t raw) {
            if (raw > range) outOfBounds(raw);
            const auto value = static_cast<std::int64_t>(raw + minimum);
            return static_cast<Out>(static_cast<double>(value) * scale + offset);
        });
    } else {
        forWidth<Out>(out, count, [this](std::uint64_t raw) {
            if (raw > range_) outOfBounds(raw);
            const auto value = static_cast<std::int64_t>(raw + static_cast<std::uint64_t>(minimum_));
            return fromReal<Out>(static_cast<double>(value) * scale_ + offset_);
        });
    }
}

template <typename Out, typename Produce>
void FieldChannel::forWidth(unsigned char* out, std::size_t count, Produce produce) {
    switch (bits_) {
        case 8: unpack<Out, 8>(out, count, produce); break;
        case 16: unpack<Out, 16>(out, count, produce); break;
        case 32: unpack<Out, 32>(out, count, produce); break;
        case 64: unpack<Out, 64>(out, count, produce); break;
        default:
            if (bits_ <= 56)
                unpack<Out, 56>(out, count, produce);
            else
                unpack<Out, 0>(out, count, produce);
    }
}

template <typename Out>
Out FieldChannel::fromInteger(std::uint64_t raw) const {
    if (raw > range_) outOfBounds(raw);
    // Raw integer first, in integer arithmetic: stored + minimum.
    const auto value = static_cast<std::int64_t>(raw + static_cast<std::uint64_t>(minimum_));
    if constexpr (std::is_floating_point_v<Out>) {
        return static_cast<Out>(value);
    } else {
        if (!integerFits<Out>(value))
            fail(ErrorCode::ValueNotRepresentable, std::to_string(value) + " does not fit the buffer type");
        return static_cast<Out>(value);
    }
}

template <typename Out>
Out FieldChannel::fromReal(double value) const {
    if constexpr (std::is_floating_point_v<Out>) {
        return static_cast<Out>(value);
    } else {
        // A Float is range-checked as it stands and then truncated by the cast.
        const double checked = round_ ? std::floor(value + 0.5) : value;
        if (!realFits<Out>(checked))
            fail(ErrorCode::ValueNotRepresentable, std::to_string(value) + " does not fit the buffer type");
        return static_cast<Out>(checked);
    }
}

template <typename Out, unsigned Width, typename Produce>
void FieldChannel::unpack(unsigned char* out, std::size_t count, Produce produce) {
    while (count > 0) {
        const std::size_t ready = available();
        if (ready == 0) {
            refill();
            continue;
        }
        const std::size_t n = std::min(ready, count);
        const unsigned char* bytes = bytes_.data();
        const unsigned bits = Width == 0 || Width == 56 ? bits_ : Width;
        const std::uint64_t mask = mask_;
        std::uint64_t position = bitPosition_;
        if (stride_ == sizeof(Out)) {
            // Packed values: a loop the compiler can widen whole runs in.
            for (std::size_t i = 0; i < n; ++i) {
                const Out value = produce(loadValue<Width>(bytes, position + i * bits, bits, mask));
                std::memcpy(out + i * sizeof(Out), &value, sizeof value);
            }
            out += n * sizeof(Out);
        } else {
            for (std::size_t i = 0; i < n; ++i, out += stride_) {
                const Out value = produce(loadValue<Width>(bytes, position + i * bits, bits, mask));
                std::memcpy(out, &value, sizeof value);
            }
        }
        bitPosition_ = position + static_cast<std::uint64_t>(n) * bits;
        valuesDecoded_ += n;
        count -= n;
    }
}

template <typename Out, typename Word>
void FieldChannel::unpackFloat(unsigned char* out, std::size_t count) {
    // Float streams hold whole little-endian words, so every value starts on a byte.
    while (count > 0) {
        const std::size_t ready = available();
        if (ready == 0) {
            refill();
            continue;
        }
        const std::size_t n = std::min(ready, count);
        const unsigned char* in = bytes_.data() + (bitPosition_ >> 3);
        if (std::is_same_v<Out, Word> && stride_ == sizeof(Out)) {
            // The stored words are the values: one copy of the whole run.
            std::memcpy(out, in, n * sizeof(Out));
            out += n * sizeof(Out);
        } else {
            for (std::size_t i = 0; i < n; ++i, in += sizeof(Word), out += stride_) {
                Word word;
                std::memcpy(&word, in, sizeof word);
                Out value;
                if constexpr (std::is_floating_point_v<Out>)
                    value = static_cast<Out>(word);
                else
                    value = fromReal<Out>(static_cast<double>(word));
                std::memcpy(out, &value, sizeof value);
            }
        }
        bitPosition_ += static_cast<std::uint64_t>(n) * bits_;
        valuesDecoded_ += n;
        count -= n;
    }
}

std::size_t FieldChannel::available() const {
    if (bits_ == 0) return std::numeric_limits<std::size_t>::max();
    return static_cast<std::size_t>((validBytes_ * 8 - bitPosition_) / bits_);
}

void FieldChannel::refill() {
    const std::size_t keepFrom = static_cast<std::size_t>(bitPosition_ >> 3);
    const std::size_t keep = validBytes_ - keepFrom;
    std::memmove(bytes_.data(), bytes_.data() + keepFrom, keep);
    bitPosition_ &= 7;
    std::uint16_t length = 0;
    while (length == 0) length = nextBufferLength();
    if (bytes_.size() < keep + length + kTailBytes) bytes_.resize(keep + length + kTailBytes);
    file_.readLogical(bufferOffset_, bytes_.data() + keep, length);
    validBytes_ = keep + length;
    std::memset(bytes_.data() + validBytes_, 0, kTailBytes);
}

std::uint16_t FieldChannel::nextBufferLength() {
    for (;;) {
        if (packet_ >= stream_.sectionEnd || stream_.sectionEnd - packet_ < 4)
            fail(ErrorCode::BadPacket, "the section ends after " + std::to_string(valuesDecoded_) + " values");
        const std::uint64_t start = packet_;
        const auto failAt = [this, start](const std::string& what) {
            fail(ErrorCode::BadPacket, "packet at logical offset " + std::to_string(start) + " " + what);
        };
        unsigned char header[6];
        file_.readLogical(start, header, 4);
        const std::uint64_t length = std::uint64_t{loadU16(header + 2)} + 1;
        if (length > stream_.sectionEnd - start) failAt("runs past the end of its section");
        packet_ += length;
        switch (header[0]) {
            case 0:
                if (length < 16) failAt("is an index packet shorter than its header");
                continue;
            case 2: continue;
            case 1: break;
            default: failAt("has unknown type " + std::to_string(header[0]));
        }
        if (length < 6) failAt("is a data packet shorter than its header");
        file_.readLogical(start + 4, header + 4, 2);
        const std::size_t streams = loadU16(header + 4);
        if (streams != stream_.count)
            failAt("has " + std::to_string(streams) + " bytestreams, the prototype " + std::to_string(stream_.count) +
                   " fields");
        const std::uint64_t headerLength = 6 + 2 * std::uint64_t{streams};
        if (headerLength > length) failAt("has bytestream lengths that run past its end");
        std::uint64_t before = 0;
        std::uint64_t total = 0;
        std::uint16_t mine = 0;
        std::uint16_t lengths[256];
        for (std::size_t first = 0; first < streams; first += 256) {
            const std::size_t chunk = std::min<std::size_t>(256, streams - first);
            file_.readLogical(start + 6 + 2 * first, lengths, 2 * chunk);
            for (std::size_t i = 0; i < chunk; ++i) {
                if (first + i == stream_.index) {
                    before = total;
                    mine = lengths[i];
                }
                total += lengths[i];
            }
        }
        if (headerLength + total > length) failAt("has bytestreams that run past its end");
        bufferOffset_ = start + headerLength + before;
        return mine;
    }
}

void FieldChannel::fail(ErrorCode code, const std::string& what) const {
    throw E57Exception(code, field_->path() + ": " + what);
}

void FieldChannel::outOfBounds(std::uint64_t raw) const {
    fail(ErrorCode::ValueNotRepresentable,
         "stored value " + std::to_string(raw) + " lies above the declared range of " + std::to_string(range_));
}

}  // namespace e57
