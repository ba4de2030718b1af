#include "e57/FieldChannel.hpp"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <type_traits>

#include "e57/Element.hpp"
#include "e57/PagedFile.hpp"
#include "e57/VectorKernels.hpp"

namespace e57 {
namespace {

// Zeros after the stream bytes cover what the unpacker reads past the last value.
constexpr std::size_t kTailBytes = BitUnpacker::kSlackBytes;
// Stream bytes taken from the file at a time: what the channels hold together stays in
// the second-level cache beside the caller's buffers.
constexpr std::size_t kRefillBytes = 8192;
// Values of odd widths unpacked at a time: their words stay in the first-level cache.
constexpr std::size_t kChunk = 512;

template <typename Word>
inline Word loadWord(const unsigned char* at) {
    Word word;
    std::memcpy(&word, at, sizeof word);
    return word;
}

bool fitsInt32(std::int64_t value) {
    return value >= std::numeric_limits<std::int32_t>::min() && value <= std::numeric_limits<std::int32_t>::max();
}

// Stores produce(word) for n words and gives the largest word, for the range check
// after the loop: every value's computation is independent, so the loop runs wide.
template <typename Out, typename Word, typename Produce>
__attribute__((always_inline)) inline Word convertLoop(const unsigned char* words, std::size_t n, unsigned char* out,
                                                       std::size_t stride, Produce produce) {
    Word largest = 0;
    if (stride == sizeof(Out)) {
        for (std::size_t i = 0; i < n; ++i) {
            const Word raw = loadWord<Word>(words + i * sizeof(Word));
            largest = std::max(largest, raw);
            const Out value = produce(raw);
            std::memcpy(out + i * sizeof(Out), &value, sizeof value);
        }
    } else {
        for (std::size_t i = 0; i < n; ++i, out += stride) {
            const Word raw = loadWord<Word>(words + i * sizeof(Word));
            largest = std::max(largest, raw);
            const Out value = produce(raw);
            std::memcpy(out, &value, sizeof value);
        }
    }
    return largest;
}

#if defined(__x86_64__)
template <typename Out, typename Word, typename Produce>
__attribute__((target("avx2"))) Word convertLoopAvx2(const unsigned char* words, std::size_t n, unsigned char* out,
                                                     std::size_t stride, Produce produce) {
    return convertLoop<Out, Word>(words, n, out, stride, produce);
}
#endif

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

std::uint16_t loadU16(const unsigned char* bytes) { return static_cast<std::uint16_t>(bytes[0] | (bytes[1] << 8)); }

}  // namespace

FieldChannel::FieldChannel(PagedFile& file, const Element& field, const Stream& stream, const SourceDestBuffer& buffer)
    : file_(file), field_(&field), stream_(stream), out_(static_cast<unsigned char*>(buffer.data())),
      stride_(buffer.stride()), bits_(field.bitWidth()),
      mask_(bits_ >= 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << bits_) - 1),
      range_(static_cast<std::uint64_t>(field.maximum) - static_cast<std::uint64_t>(field.minimum)),
      minimum_(field.minimum), narrow_(false), scale_(field.scale), offset_(field.offset),
      vectorKernels_(VectorKernels::inUse()), unpacker_(bits_, vectorKernels_), packet_(stream.dataStart),
      bytes_(kTailBytes) {
    if (field.type == NodeType::Float) {
        mode_ = field.singlePrecision ? Mode::Single : Mode::Double;
        range_ = mask_;
    } else if (field.type == NodeType::ScaledInteger && buffer.scale()) {
        mode_ = Mode::Scaled;
    }
    round_ = mode_ == Mode::Scaled;
    narrow_ = field.type != NodeType::Float && fitsInt32(field.minimum) && fitsInt32(field.maximum);
    checkConversion(buffer);
    chooseDecoder(buffer.type());
}

void FieldChannel::checkConversion(const SourceDestBuffer& buffer) const {
    const bool floating = buffer.isFloating();
    const bool integerSource = mode_ == Mode::Integer;
    const bool needsConversion = (integerSource && floating) || (!integerSource && !floating);
    if (needsConversion && !buffer.convert())
        fail(ErrorCode::ConversionRequired, std::string(floating ? "integer values into a floating-point buffer"
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
    while (count > 0) {
        const std::size_t ready = available();
        if (ready == 0) {
            refill();
            continue;
        }
        const std::size_t n = std::min(ready, count);
        decodeRun<Out>(out, n);
        out += n * stride_;
        bitPosition_ += static_cast<std::uint64_t>(n) * bits_;
        valuesDecoded_ += n;
        count -= n;
    }
}

template <typename Out>
void FieldChannel::decodeRun(unsigned char* out, std::size_t n) const {
    // Floats and whole words at a byte boundary (such a stream never leaves one) are
    // converted from the stream bytes as they lie.
    const unsigned char* words = bytes_.data() + (bitPosition_ >> 3);
    if (mode_ == Mode::Single) return convertReals<Out, float>(words, n, out);
    if (mode_ == Mode::Double) return convertReals<Out, double>(words, n, out);
    switch (bits_) {
        case 8: return convertIntegers<Out, std::uint8_t>(words, n, out);
        case 16: return convertIntegers<Out, std::uint16_t>(words, n, out);
        case 32: return convertIntegers<Out, std::uint32_t>(words, n, out);
        case 64: return convertIntegers<Out, std::uint64_t>(words, n, out);
        default:
            if (bits_ < 32)
                unpackAndConvert<Out, std::uint32_t>(out, n);
            else
                unpackAndConvert<Out, std::uint64_t>(out, n);
    }
}

template <typename Out, typename Word>
void FieldChannel::unpackAndConvert(unsigned char* out, std::size_t n) const {
    Word words[kChunk];
    std::uint64_t position = bitPosition_;
    while (n > 0) {
        const std::size_t chunk = std::min(n, kChunk);
        unpacker_.unpack(bytes_.data() + (position >> 3), static_cast<unsigned>(position & 7), chunk, words);
        convertIntegers<Out, Word>(reinterpret_cast<const unsigned char*>(words), chunk, out);
        position += static_cast<std::uint64_t>(chunk) * bits_;
        out += chunk * stride_;
        n -= chunk;
    }
}

template <typename Out, typename Word>
void FieldChannel::convertIntegers(const unsigned char* words, std::size_t n, unsigned char* out) const {
    if (mode_ == Mode::Scaled) return convertScaled<Out, Word>(words, n, out);
    // A buffer type that the declared range does not fit is checked value by value.
    const bool typeChecked =
        !std::is_floating_point_v<Out> &&
        !(integerFits<Out>(minimum_) &&
          integerFits<Out>(static_cast<std::int64_t>(static_cast<std::uint64_t>(minimum_) + range_)));
    if (typeChecked) {
        convertLoop<Out, Word>(words, n, out, stride_, [this](Word raw) { return fromInteger<Out>(raw); });
        return;
    }
    // Raw integer first, in integer arithmetic: stored + minimum.
    if (narrow_) {
        const auto minimum = static_cast<std::uint32_t>(minimum_);
        return convertChecked<Out, Word>(words, n, out, [minimum](Word raw) {
            return static_cast<Out>(static_cast<std::int32_t>(static_cast<std::uint32_t>(raw) + minimum));
        });
    }
    const auto minimum = static_cast<std::uint64_t>(minimum_);
    convertChecked<Out, Word>(
        words, n, out, [minimum](Word raw) { return static_cast<Out>(static_cast<std::int64_t>(raw + minimum)); });
}

template <typename Out, typename Word>
void FieldChannel::convertScaled(const unsigned char* words, std::size_t n, unsigned char* out) const {
    if constexpr (std::is_floating_point_v<Out>) {
        const double scale = scale_, offset = offset_;
        if (narrow_) {
            const auto minimum = static_cast<std::uint32_t>(minimum_);
            return convertChecked<Out, Word>(words, n, out, [minimum, scale, offset](Word raw) {
                const auto value = static_cast<std::int32_t>(static_cast<std::uint32_t>(raw) + minimum);
                return static_cast<Out>(static_cast<double>(value) * scale + offset);
            });
        }
        const auto minimum = static_cast<std::uint64_t>(minimum_);
        convertChecked<Out, Word>(words, n, out, [minimum, scale, offset](Word raw) {
            const auto value = static_cast<std::int64_t>(raw + minimum);
            return static_cast<Out>(static_cast<double>(value) * scale + offset);
        });
    } else {
        convertLoop<Out, Word>(words, n, out, stride_, [this](Word raw) {
            if (raw > range_) outOfBounds(raw);
            const auto value = static_cast<std::int64_t>(raw + static_cast<std::uint64_t>(minimum_));
            return fromReal<Out>(static_cast<double>(value) * scale_ + offset_);
        });
    }
}

template <typename Out, typename Word>
void FieldChannel::convertReals(const unsigned char* words, std::size_t n, unsigned char* out) const {
    if constexpr (std::is_same_v<Out, Word>) {
        if (stride_ == sizeof(Out)) {
            // The stored words are the values: one copy of the whole run.
            std::memcpy(out, words, n * sizeof(Out));
            return;
        }
    }
    if constexpr (std::is_floating_point_v<Out>) {
        convertWide<Out, Word>(words, n, out, [](Word word) { return static_cast<Out>(word); });
    } else {
        convertLoop<Out, Word>(words, n, out, stride_,
                               [this](Word word) { return fromReal<Out>(static_cast<double>(word)); });
    }
}

template <typename Out, typename Word, typename Produce>
void FieldChannel::convertChecked(const unsigned char* words, std::size_t n, unsigned char* out,
                                  Produce produce) const {
    if (convertWide<Out, Word>(words, n, out, produce) <= range_) return;
    // Values beyond the range were converted too; the first of them is reported.
    for (std::size_t i = 0;; ++i)
        if (const Word raw = loadWord<Word>(words + i * sizeof(Word)); raw > range_) outOfBounds(raw);
}

template <typename Out, typename Word, typename Produce>
Word FieldChannel::convertWide(const unsigned char* words, std::size_t n, unsigned char* out, Produce produce) const {
#if defined(__x86_64__)
    if (vectorKernels_) return convertLoopAvx2<Out, Word>(words, n, out, stride_, produce);
#endif
    return convertLoop<Out, Word>(words, n, out, stride_, produce);
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

std::size_t FieldChannel::available() const {
    if (bits_ == 0) return std::numeric_limits<std::size_t>::max();
    return static_cast<std::size_t>((validBytes_ * 8 - bitPosition_) / bits_);
}

void FieldChannel::refill() {
    const std::size_t keepFrom = static_cast<std::size_t>(bitPosition_ >> 3);
    const std::size_t keep = validBytes_ - keepFrom;
    std::memmove(bytes_.data(), bytes_.data() + keepFrom, keep);
    bitPosition_ &= 7;
    while (bufferRemaining_ == 0) bufferRemaining_ = nextBufferLength();
    const std::size_t length = std::min<std::size_t>(bufferRemaining_, kRefillBytes);
    if (bytes_.size() < keep + length + kTailBytes) bytes_.resize(keep + length + kTailBytes);
    file_.readLogical(bufferOffset_, bytes_.data() + keep, length);
    bufferOffset_ += length;
    bufferRemaining_ -= length;
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
        // Every page of the packet is checked, also where only fields that no buffer
        // takes lie: at once, which is faster than page by page.
        file_.verifyLogical(start, length);
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
