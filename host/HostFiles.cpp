#include "HostFiles.hpp"

#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <fstream>
#include <iterator>

namespace SimHost
{

std::string HexText(const std::vector<std::uint8_t>& bytes)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(bytes.size() * 3);
    for (std::size_t i = 0; i < bytes.size(); ++i)
    {
        if (i > 0) text += ' ';
        text += digits[bytes[i] >> 4];
        text += digits[bytes[i] & 0x0F];
    }
    return text;
}

bool BytesFromHex(const std::string& text, std::vector<std::uint8_t>& bytes)
{
    std::vector<std::uint8_t> read;
    for (std::size_t i = 0; i < text.size();)
    {
        if (text[i] == ' ')
        {
            ++i;
            continue;
        }
        if (i + 1 >= text.size() || !std::isxdigit(static_cast<unsigned char>(text[i])) ||
            !std::isxdigit(static_cast<unsigned char>(text[i + 1])))
            return false;
        read.push_back(static_cast<std::uint8_t>(std::stoi(text.substr(i, 2), nullptr, 16)));
        i += 2;
    }
    bytes = std::move(read);
    return true;
}

std::string PlatformSignText(std::uint16_t sign)
{
    const char high = static_cast<char>(sign >> 8), low = static_cast<char>(sign & 0xFF);
    if (std::isprint(static_cast<unsigned char>(high)) && std::isprint(static_cast<unsigned char>(low))) return {high, low};
    return std::to_string(sign);
}

bool ReadWholeFile(const std::string& path, std::string& content)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    content.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

bool WriteFileSafely(const std::string& path, const std::string& content, std::string& error)
{
    const std::string aside = path + ".saving-" + std::to_string(::getpid());
    {
        std::ofstream out(aside, std::ios::binary | std::ios::trunc);
        out << content;
        out.flush();
        if (!out)
        {
            std::remove(aside.c_str());
            error = "cannot write " + path;
            return false;
        }
    }
    if (std::rename(aside.c_str(), path.c_str()) != 0)
    {
        std::remove(aside.c_str());
        error = "cannot replace " + path;
        return false;
    }
    return true;
}

}  // namespace SimHost
