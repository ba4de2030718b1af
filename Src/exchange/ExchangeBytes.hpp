#pragma once
#include <cstddef>
#include <optional>
#include <string_view>

// The exchange file as the import reads it once from start to end: the bytes come
// in order, and the bytes that stay in the file go out in order.
class ExchangeBytes {
public:
    virtual ~ExchangeBytes() = default;

    // The next bytes, at most `capacity`, into `into`; 0 at the end; nothing when
    // the file cannot be read to its end as it was when it was opened.
    virtual std::optional<std::size_t> Read(char* into, std::size_t capacity) = 0;
    // Bytes that stay in the file, each byte once and in the file's order.
    virtual void Keep(std::string_view bytes) = 0;
    // The size the file had when it was opened, 0 when not known.
    virtual std::size_t ExpectedSize() const { return 0; }
};
