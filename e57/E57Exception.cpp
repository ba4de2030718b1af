#include "e57/E57Exception.hpp"

namespace e57 {

E57Exception::E57Exception(ErrorCode code, const std::string& context)
    : std::runtime_error(std::string(codeName(code)) + ": " + context), code_(code), context_(context) {}

const char* E57Exception::codeName(ErrorCode code) noexcept {
    switch (code) {
        case ErrorCode::BadArgument: return "bad argument";
        case ErrorCode::FileOpenFailed: return "cannot open file";
        case ErrorCode::FileReadFailed: return "cannot read file";
        case ErrorCode::FileClosed: return "file is closed";
        case ErrorCode::BadFileHeader: return "bad file header";
        case ErrorCode::BadFileLength: return "bad file length";
        case ErrorCode::BadChecksum: return "bad checksum";
        case ErrorCode::ReadOutsideFile: return "read outside file";
        case ErrorCode::BadXml: return "bad XML section";
        case ErrorCode::BadNode: return "bad node";
        case ErrorCode::PathUndefined: return "path undefined";
        case ErrorCode::WrongNodeType: return "wrong node type";
        case ErrorCode::BadSectionHeader: return "bad section header";
        case ErrorCode::BadPacket: return "bad packet";
        case ErrorCode::BadBuffers: return "bad buffers";
        case ErrorCode::ConversionRequired: return "conversion required";
        case ErrorCode::ValueNotRepresentable: return "value not representable";
        case ErrorCode::UnsupportedCodec: return "unsupported codec";
        case ErrorCode::ReaderClosed: return "reader is closed";
    }
    return "error";
}

}  // namespace e57
