#pragma once
#include "CDialogBase.hpp"
#include "GS/UniString.hpp"
#include "pointclouds/VaroImportData.hpp"

class VaroImportPalette : public CDialogBase {
public:
    VaroImportPalette();
    std::int16_t DialogCallback(std::int16_t message, std::int16_t dialogId, std::int16_t item, std::intptr_t data) override;

    // Replaces the job list by the jobs found below path; rescanning the chosen
    // folder keeps the settings of the jobs found again.
    void ReadJobFolder(const GS::UniString& path);
    // Offers only the target types the project has views of.
    void UpdateTargetControls(bool place);

    VaroImportData importData;
};
