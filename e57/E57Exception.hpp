#pragma once

#include <stdexcept>
#include <string>

namespace e57 {

enum class ErrorCode {
    BadArgument,
    FileOpenFailed,
    FileReadFailed,
    FileClosed,
    BadFileHeader,
    BadFileLength,
    BadChecksum,
    ReadOutsideFile,
    BadXml,
    BadNode,
    PathUndefined,
    WrongNodeType,
    BadSectionHeader,
    BadPacket,
    BadBuffers,
    ConversionRequired,
    ValueNotRepresentable,
    UnsupportedCodec,
    ReaderClosed,
};

// The one error type of the reader: a code to branch on, a text that says what is wrong.
class E57Exception : public std::runtime_error {
public:
    E57Exception(ErrorCode code, const std::string& context);

    ErrorCode code() const noexcept { return code_; }
    const std::string& context() const noexcept { return context_; }

    static const char* codeName(ErrorCode code) noexcept;

private:
    ErrorCode code_;
    std::string context_;
};

}  // namespace e57
