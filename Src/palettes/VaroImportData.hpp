#pragma once
#include "IFileIO.hpp"

// The orthophoto import palette's stored data.
class VaroImportData : public IFileIO {
public:
    VaroImportData() = default;
};
