#pragma once
#include <cstdint>

class CDataRecorder;

// The serialisation interface of every persisted object.
class IFileIO
{
public:
    virtual bool Write(CDataRecorder& recorder);
    virtual bool Read(CDataRecorder& recorder);
    virtual bool Reserved1(std::int32_t value, void* data);
    virtual bool Reserved2(std::int32_t value, void* data);

protected:
    IFileIO() = default;
    IFileIO(const IFileIO&) = default;
    IFileIO& operator=(const IFileIO&) = default;
    ~IFileIO() = default;
};
