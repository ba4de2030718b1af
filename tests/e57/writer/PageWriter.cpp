#include "PageWriter.hpp"

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "e57/Crc32c.hpp"

namespace e57test
{

PageWriter::PageWriter(const std::string& path) : file_(std::fopen(path.c_str(), "w+b")), page_(1024, 0), ioBuffer_(1 << 20)
{
    if (!file_) throw std::runtime_error("cannot create " + path);
    std::setvbuf(file_.get(), reinterpret_cast<char*>(ioBuffer_.data()), _IOFBF, ioBuffer_.size());
}

void PageWriter::sealPage(unsigned char* page)
{
    const std::uint32_t crc = e57::Crc32c::compute(page, 1020);
    page[1020] = static_cast<unsigned char>(crc >> 24);
    page[1021] = static_cast<unsigned char>(crc >> 16);
    page[1022] = static_cast<unsigned char>(crc >> 8);
    page[1023] = static_cast<unsigned char>(crc);
}

void PageWriter::flushPage()
{
    sealPage(page_.data());
    if (std::fwrite(page_.data(), 1, 1024, file_.get()) != 1024) throw std::runtime_error("write failed");
    ++pagesWritten_;
    std::fill(page_.begin(), page_.end(), 0);
}

void PageWriter::write(const void* data, std::size_t size)
{
    const auto* in = static_cast<const unsigned char*>(data);
    while (size > 0)
    {
        const std::size_t inPage = logical_ % 1020;
        const std::size_t chunk = std::min(size, 1020 - inPage);
        std::memcpy(page_.data() + inPage, in, chunk);
        in += chunk;
        size -= chunk;
        logical_ += chunk;
        if (logical_ % 1020 == 0) flushPage();
    }
}

void PageWriter::writeZeros(std::size_t size)
{
    const std::vector<unsigned char> zeros(size, 0);
    write(zeros.data(), zeros.size());
}

void PageWriter::patch(std::uint64_t logicalOffset, const void* data, std::size_t size)
{
    const auto* in = static_cast<const unsigned char*>(data);
    std::vector<unsigned char> stored(1024);
    while (size > 0)
    {
        const std::uint64_t page = logicalOffset / 1020;
        const std::size_t inPage = logicalOffset % 1020;
        const std::size_t chunk = std::min<std::size_t>(size, 1020 - inPage);
        if (page == pagesWritten_)
        {
            std::memcpy(page_.data() + inPage, in, chunk);
        }
        else
        {
            std::fflush(file_.get());
            std::fseek(file_.get(), static_cast<long>(page * 1024), SEEK_SET);
            if (std::fread(stored.data(), 1, 1024, file_.get()) != 1024) throw std::runtime_error("read back failed");
            std::memcpy(stored.data() + inPage, in, chunk);
            sealPage(stored.data());
            std::fseek(file_.get(), static_cast<long>(page * 1024), SEEK_SET);
            std::fwrite(stored.data(), 1, 1024, file_.get());
            std::fseek(file_.get(), 0, SEEK_END);
        }
        in += chunk;
        size -= chunk;
        logicalOffset += chunk;
    }
}

void PageWriter::finish()
{
    if (logical_ % 1020 != 0) flushPage();
    logical_ = pagesWritten_ * 1020;
    if (std::fflush(file_.get()) != 0) throw std::runtime_error("write failed");
    file_.reset();
}

}  // namespace e57test
