#pragma once
#include <cstdint>

#include "API/Types.hpp"
#include "GS/UniString.hpp"
#include "framework/CDialogBase.hpp"
#include "framework/CDialogResizer.hpp"
#include "framework/TypVektor.hpp"

// The point-cloud navigator: the project's point-cloud objects in a tree by storey.
// A double click opens the view of the cloud's scanner camera and shows only that
// cloud in 3D.
class VaroNavigatorPalette : public CDialogBase
{
public:
    static constexpr std::int16_t DialogId = 32446;
    static constexpr std::int16_t TreeItem = 2;

    // One listed object: its part's name, the object, its linked scanner camera
    // (null when none) and its storey.
    struct PointCloudData
    {
        GS::UniString name;
        API_Guid objectGuid {};
        API_Guid cameraGuid {};
        std::int16_t storey = 0;
    };

    VaroNavigatorPalette();
    ~VaroNavigatorPalette() override;
    std::int16_t DialogCallback(std::int16_t message, std::int16_t dialogId, std::int16_t item, std::intptr_t data) override;

    void Init();
    void CollectPointClouds();
    void BuildTree();
    void OnDoubleClick();
    // The body of the undoable command: "show3D" on for the chosen cloud, off for the others.
    static GSErrCode ApplyShow3D(VaroNavigatorPalette& palette, std::uint32_t chosen);
    // Collects the clouds again and rebuilds the tree while the palette is open.
    void Refresh();

    const TypVektor<PointCloudData>& PointClouds() const { return pointClouds_; }

    API_Guid trackedCamera {};

private:
    TypVektor<PointCloudData> pointClouds_;
    CDialogResizer resizer_;
};
