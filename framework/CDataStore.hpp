#pragma once
#include <cstdint>
#include <vector>

#include "GS/UniString.hpp"
#include "framework/CDataRecorder.hpp"
#include "framework/IFileIO.hpp"

// Keeps persisted objects under four-character keys in one block of the project's
// module data or of the add-on's preferences. Each object's stream follows a record
// header with the store's name, a platform byte and the key; reading finds the
// records by searching for that header.
class CDataStore
{
public:
    static constexpr std::int32_t PreferencesPurpose = 0x50524546;  // "PREF"

    CDataStore(const char* name, std::int32_t bufferSize);
    CDataStore(const CDataStore&) = delete;
    CDataStore& operator=(const CDataStore&) = delete;
    ~CDataStore();

    // False, and nothing registered, for a key already present or no object.
    bool Register(IFileIO* object, std::int32_t key, bool required);

    // Nothing is stored, and the result is false, unless every object wrote
    // itself and both passes produced the same number of bytes.
    bool Save(const GS::UniString& moduleName);
    bool Load(const GS::UniString& moduleName);
    // After Load: the stored block's bytes when its records could not be read
    // whole up to its end; empty when the block was whole or absent.
    const std::vector<char>& DamagedBlock() const { return damagedBlock_; }
    bool SaveToPreferences(std::int32_t version);
    bool LoadFromPreferences();

    // The records over the recorder as it stands; an owner may attach it itself.
    bool WriteObjects();
    // True when every required object was read.
    bool ReadObjects();
    CDataRecorder& GetRecorder() { return recorder_; }

private:
    struct Entry
    {
        IFileIO* object = nullptr;
        std::int32_t key = 0;
        bool required = false;
        bool read = false;
    };

    // Counts, then writes the records into `block`; false leaves it unset.
    bool WriteBlock(std::vector<char>& block);

    CDataRecorder recorder_;
    std::vector<Entry> entries_;
    std::vector<char> header_;
    std::vector<char> damagedBlock_;
};
