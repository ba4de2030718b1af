#pragma once
#include <cstddef>
#include <optional>
#include <string_view>

// The exchange file as the import reads it once from start to end: the bytes come
// in order, and the bytes that stay in the file go out in order while they come.
class ExchangeBytes
{
public:
    virtual ~ExchangeBytes() = default;

    // The next bytes, at most `capacity`, into `into`; 0 at the end; nothing when
    // the file cannot be read to its end as it was when it was opened.
    virtual std::optional<std::size_t> Read(char* into, std::size_t capacity) = 0;
    // Bytes that stay in the file, each byte once and in the file's order.
    virtual void Keep(std::string_view bytes) = 0;
    // Starts the reading over at the file's first byte and drops the bytes kept so
    // far; false when the file cannot be read again as it was.
    virtual bool Restart() { return false; }
};
