#include "SystemUtilities.hpp"

#include "Win/WinStandIns.hpp"

namespace {
constexpr std::uint32_t SoundFromFileName = 0x20000;
}

bool PlaySoundFile(const char* path) { return Win::PlaySound(path == nullptr ? "" : path, SoundFromFileName); }
