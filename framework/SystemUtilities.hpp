#pragma once
#include <cstdint>
#include <string>

// Thin functions over the operating system that the add-on shares.

// Plays a .wav file by name, synchronously; the system's default sound when it is missing.
bool PlaySoundFile(const char* path);
