#include "framework/IFileIO.hpp"

bool IFileIO::Write(CDataRecorder&) { return true; }
bool IFileIO::Read(CDataRecorder&) { return true; }
bool IFileIO::Reserved1(std::int32_t, void*) { return true; }
bool IFileIO::Reserved2(std::int32_t, void*) { return true; }
