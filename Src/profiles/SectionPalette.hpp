#pragma once
#include <cstdint>

#include "API/Elements.hpp"
#include "DG/DG.hpp"
#include "GS/UniString.hpp"
#include "VectorImage/VectorImage.hpp"
#include "curves/Curve3DPalette.hpp"
#include "framework/CDataRecorder.hpp"
#include "framework/CDialogBase.hpp"
#include "framework/CDialogResizer.hpp"
#include "framework/TypVektor.hpp"
#include "profiles/SectionACPalette.hpp"
#include "profiles/SectionNamePalette.hpp"

// The cross-section profile palette: named profile drawings (one hatch per fill
// polygon, drawn about the profile's reference point), their fill polygons and
// their storage with the project. Its own curve palette takes the profile points.
class SectionPalette : public CDialogBase
{
public:
    // One fill polygon of a profile in the host's polygon form: vertices from
    // index 1, ring ends with a lead entry 0, arcs bending the edge from their
    // begin vertex to the next.
    struct SectionDataType
    {
        TypVektor<API_Coord> coords;
        TypVektor<int> ends;
        TypVektor<API_PolyArc> arcs;
        std::int32_t coordCount = 0;
        std::int32_t endCount = 0;
        std::int32_t arcCount = 0;
        // Polygons without attributes of their own (older projects, measured
        // profiles) draw with a black contour and an empty fill.
        std::int16_t contourPen = 1;
        std::int16_t fillPen = 1;
        std::int16_t backgroundPen = 0;
        std::int16_t fillPattern = 1;
        std::int16_t contourLineType = 1;
        // A profile just measured: the direction that was up in its measuring
        // plane, in its own coordinates. Not stored: a drawing has its y up.
        API_Coord measuredUp {0.0, 1.0};

        // Its lists hold at least as many entries as its counts name.
        bool HoldsItsCounts() const;
    };

    // The stream version from which each polygon stores its five attributes.
    static constexpr std::int32_t AttributesVersion = 24;

    SectionPalette();
    std::int16_t DialogCallback(std::int16_t message, std::int16_t dialogId, std::int16_t item, std::intptr_t data) override;

    // currentPolygons becomes the polygons of the image's hatches.
    void ImageToPolygons(VectorImage image);
    // Appends one hatch per polygon of currentPolygons.
    void PolygonsToImage(VectorImage& image);

    // The profile list into and out of the main object's stream; currentPolygons
    // stays as it was. WriteProfiles is false when a write failed. ReadProfiles is
    // false for a damaged stream (a failed read, or a count larger than the bytes
    // left could hold): a damaged count leaves the list as it was; behind it the
    // list holds the profiles read before the damage, and the profile cut short
    // with its whole polygons when it has any.
    bool WriteProfiles(CDataRecorder& recorder);
    bool ReadProfiles(CDataRecorder& recorder, std::int32_t version);

    // A new profile from the closed curve its curve palette measured in a plane:
    // the plane's origin and axes become the profile's. currentPolygons holds the
    // measured polygon afterwards, named or not; axes that span no space give none.
    void CreateMeasuredProfile();

    // A cross and a circle about the profile's reference point, the point that
    // becomes the clicked point when the profile is placed.
    static void AddOriginMark(VectorImage& drawing);
    // The current profile with its origin mark, fitted into the preview item.
    void DrawPreview(const DG::UserUpdateData* data);

    // currentPolygons becomes the selected fills, taken relative to the one
    // selected hotspot; false, after an alert, when they cannot be.
    bool PolygonsFromSelectedFills();
    // Places the current profile at a clicked point as fills with a hotspot on
    // the point, in one undoable command; a cancelled input places nothing.
    void PlaceForEditing();

    // Sorts the profiles by name, shows them in the list and selects the current one.
    void RefreshList();
    // Sorts names and drawings together; currentProfile follows its profile.
    void SortProfiles();
    void FillProfileList();

    CDialogResizer resizer;
    TypVektor<GS::UniString> profileNames;
    TypVektor<VectorImage> profileImages;
    TypVektor<SectionDataType> currentPolygons;
    // 1-based in the profile list; 0: none.
    std::int16_t currentProfile = 0;
    Curve3DPalette curvePalette;
    SectionNamePalette nameDialog;
    SectionACPalette importDialog;

private:
    // currentProfile, or 0 when the list no longer holds it.
    std::int16_t ValidCurrentProfile();
    // currentPolygons becomes the current profile's polygons; none: empty.
    void ConvertCurrentProfile();
    void RenameCurrentProfile();
    void DeleteSelectedProfile();
    void AttachResizer();
    void SetUpNewProfilePopUp();
    void StartNewProfile(std::int16_t entry);
    void StartMeasuring();
    void AddProfileFromFills();
    void ImportFromLibrary();
    void PlaceCurrentPolygonsAt(const API_Coord& point);
    bool NameNewProfile(const VectorImage& image);
    void StoreWithProject();
    bool WritePolygon(CDataRecorder& recorder, const SectionDataType& polygon);
    bool ReadPolygon(CDataRecorder& recorder, std::int32_t version, SectionDataType& polygon);
    // `drawn` tells whether the image holds polygons, also of a profile cut short.
    bool ReadProfile(CDataRecorder& recorder, std::int32_t version, GS::UniString& name, VectorImage& image, bool& drawn);
};
