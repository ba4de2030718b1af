#pragma once
#include "IFileIO.hpp"

// The program-message report, one record per teamwork user.
class ReportData : public IFileIO {
public:
    ReportData() = default;
};
