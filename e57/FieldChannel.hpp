#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "e57/BitUnpacker.hpp"
#include "e57/E57Exception.hpp"
#include "e57/SourceDestBuffer.hpp"

namespace e57 {

class PagedFile;
struct Element;

// Decodes one prototype field's bytestream into its destination buffer. The stream
// is followed through the data packets on its own, so fields that end at different
// records within a packet stay independent; the bytes of at most one packet buffer
// (plus the bits of one split value) are held at a time.
class FieldChannel {
public:
    struct Stream {
        std::size_t index;  // the field's position in the prototype = bytestream number
        std::size_t count;  // bytestreams per data packet
        std::uint64_t dataStart;
        std::uint64_t sectionEnd;
    };

    FieldChannel(PagedFile& file, const Element& field, const Stream& stream, const SourceDestBuffer& buffer);

    // Writes the next count values to the buffer's slots from first on.
    void decode(std::size_t first, std::size_t count) { (this->*decoder_)(out_ + first * stride_, count); }

private:
    enum class Mode { Integer, Scaled, Single, Double };

    void checkConversion(const SourceDestBuffer& buffer) const;
    void chooseDecoder(BufferType type);
    template <typename Out>
    void decodeAs(unsigned char* out, std::size_t count);
    // Converts the next n values of the bytes held, which the caller made sure are there.
    template <typename Out>
    void decodeRun(unsigned char* out, std::size_t n) const;
    // Odd widths are unpacked into whole words a chunk at a time, then converted.
    template <typename Out, typename Word>
    void unpackAndConvert(unsigned char* out, std::size_t n) const;
    template <typename Out, typename Word>
    void convertIntegers(const unsigned char* words, std::size_t n, unsigned char* out) const;
    template <typename Out, typename Word>
    void convertScaled(const unsigned char* words, std::size_t n, unsigned char* out) const;
    template <typename Out, typename Word>
    void convertReals(const unsigned char* words, std::size_t n, unsigned char* out) const;
    // Converts with the range check after the loop, which then runs wide.
    template <typename Out, typename Word, typename Produce>
    void convertChecked(const unsigned char* words, std::size_t n, unsigned char* out, Produce produce) const;
    // The loop compiled for AVX2 where the reader uses it; gives the largest word.
    template <typename Out, typename Word, typename Produce>
    Word convertWide(const unsigned char* words, std::size_t n, unsigned char* out, Produce produce) const;
    template <typename Out>
    Out fromInteger(std::uint64_t raw) const;
    template <typename Out>
    Out fromReal(double value) const;

    std::size_t available() const;
    void refill();
    std::uint16_t nextBufferLength();
    [[noreturn]] void fail(ErrorCode code, const std::string& what) const;
    [[noreturn]] void outOfBounds(std::uint64_t raw) const;

    PagedFile& file_;
    const Element* field_;  // kept alive by the reader; its path is built only for an error
    Stream stream_;
    unsigned char* out_;
    std::size_t stride_;
    Mode mode_ = Mode::Integer;
    bool round_ = false;  // a scaled value into an integer buffer rounds, a Float truncates
    unsigned bits_;
    std::uint64_t mask_;
    std::uint64_t range_;
    std::int64_t minimum_;
    // Every value lies in 32-bit integers, where conversions to double run wide.
    bool narrow_;
    double scale_;
    double offset_;
    void (FieldChannel::*decoder_)(unsigned char*, std::size_t) = nullptr;
    bool vectorKernels_;
    BitUnpacker unpacker_;

    std::uint64_t packet_;
    std::uint64_t bufferOffset_ = 0;  // the rest of this field's buffer in the current packet
    std::uint16_t bufferRemaining_ = 0;
    std::vector<unsigned char> bytes_;
    std::size_t validBytes_ = 0;
    std::uint64_t bitPosition_ = 0;
    std::uint64_t valuesDecoded_ = 0;
};

}  // namespace e57
