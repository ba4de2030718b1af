#pragma once
#include <cstdint>
#include <vector>

#include "API/Types.hpp"
#include "framework/CDataStore.hpp"
#include "framework/IFileIO.hpp"

// A block the add-on's store wrote, read back into one object registered under
// "MAIN" as the add-on registers its own; false when the block does not hold it.
inline bool ReadStoredBlock(std::vector<std::uint8_t> bytes, IFileIO& object)
{
    CDataStore store("Survanto", 40000);
    store.Register(&object, FourCC("MAIN"), true);
    CDataRecorder& recorder = store.GetRecorder();
    recorder.SetMode(CDataRecorder::ModeMemory);
    recorder.SetMemory(bytes.data(), static_cast<std::int32_t>(bytes.size()));
    return store.ReadObjects();
}
