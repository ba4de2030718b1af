#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <optional>

#include "API/Elements.hpp"
#include "API/Types.hpp"
#include "GS/UniString.hpp"
#include "Geometry/Point2.hpp"
#include "IO/Location.hpp"
#include "Modeler/Camera.hpp"
#include "creation/MorphMeshBuilder.hpp"
#include "curves/Curve3DPalette.hpp"
#include "framework/CDialogBase.hpp"
#include "framework/CDialogResizer.hpp"
#include "framework/IFileIO.hpp"
#include "framework/TypVektor.hpp"
#include "palettes/CameraChangeObserver.hpp"
#include "palettes/CameraControPalette.hpp"
#include "palettes/DebugPalette.hpp"
#include "palettes/InfoPalette.hpp"
#include "palettes/PhotoLocationDlg.hpp"
#include "palettes/VaroImportPalette.hpp"
#include "palettes/VaroNavigatorPalette.hpp"
#include "persistence/DamagedData.hpp"
#include "persistence/QuintairData.hpp"
#include "persistence/ReportData.hpp"
#include "persistence/StationReference.hpp"
#include "pointclouds/CloudPoint.hpp"
#include "pointclouds/PointCloudBox.hpp"
#include "profiles/SectionPalette.hpp"

class ProjectStream;
class StreamReader;
class StreamWriter;
struct API_ModulData;

// The add-on's single main object: the main palette and the project state that
// lives between host calls. Handlers reach it through the main-object pointer.
class Survanto : public IFileIO, public CDialogBase
{
public:
    static constexpr std::int16_t MainPaletteDialogId = 32450;
    // The host windows in which the main palette stays enabled.
    static constexpr std::int32_t MainPaletteFlags = 503;
    static constexpr std::size_t SavedToolOptionCount = 69;
    static constexpr std::array<std::int16_t, 7> DefaultImportColumnWidths {50, 32, 100, 100, 100, 32, 40};

    // A point of the morph rail with its unit direction.
    struct MorphRailCrvDataType
    {
        Geometry::Vector3<double> point;
        Geometry::Vector3<double> direction;
    };

    // One profile polygon for the morph sweep: its outline points (arcs already
    // replaced by points) and its ends: -1, then each ring's last point index.
    struct SectionData
    {
        TypVektor<Geometry::Point2<double>> points;
        TypVektor<std::int32_t> ends;
    };

    class SectionDataList : public TypVektor<SectionData>
    {
    public:
        SectionDataList() { Reset(); }
        void Reset();
    };

    Survanto();
    ~Survanto() override;

    void EnableItems() override;
    void DisableItems() override;
    std::int16_t DialogCallback(std::int16_t message, std::int16_t dialogId, std::int16_t item, std::intptr_t data) override;

    void OpenLanguageResourceFiles();
    std::int32_t ApplyLanguageResources();
    void CheckForUpdate();
    std::int32_t RestartPointCabWatcher();
    void StopPointCabWatcher();

    static std::int32_t LanguageFromCode(const GS::UniString& code);
    // The language the host's application information asks for.
    static std::int32_t LanguageOfHost();
    void SetLanguage(std::int32_t newLanguage);

    // The stream of the preferences (when the recorder's purpose is the
    // preferences') or of the project data; both start with the stream version.
    bool Write(CDataRecorder& recorder) override;
    // Reads either form; fields an older version lacks keep their values, and
    // the first damaged field ends the reading. After the per-user records the
    // current user's record, as far as it was read, becomes the live measuring
    // state.
    bool Read(CDataRecorder& recorder) override;
    bool SavePreferences();
    // Applies window tracking, raising and delay to Windows, loaded or not.
    bool LoadPreferences();
    void ReopenMainPaletteAsSaved();
    bool SaveModuleData();
    // Reads the configuration file again and restarts the exchange-folder
    // watcher, loaded or not, so that the project's exchange path takes effect.
    // Either load notes a block that could not be read whole for TellDamagedData.
    bool LoadModuleData();
    bool SaveReportData();
    bool LoadReportData();
    // After loading: keeps the stored bytes of a block that could not be read
    // whole beside the project and tells the user once what was not read.
    void TellDamagedData();
    // The teamwork merge of the project data (unnamed) or the report ("REPORT"):
    // the incoming block with the current user's record taken from this object,
    // which then takes over the merged users. Modes other than 11 and 12, and a
    // damaged incoming block, leave the destination and this object as they are.
    // Always 0.
    std::int32_t MergeModuleData(std::int32_t mode, const GS::UniString& moduleName, const API_ModulData* base,
                                 const API_ModulData* toMerge, API_ModulData* destination);

    // Element creation: the tool's layer, the creation's end, the storey fit and
    // the angle snap. Each argument of CheckToolLayer may be absent.
    bool CheckToolLayer(std::int32_t* elementType, std::int32_t* variation, std::int32_t* layerSlot);
    bool AcceptToolLayer(std::int32_t elementType);
    void CompleteCreation(GSErrCode createResult, union API_Element& element, bool fitToStorey);
    void RunCreationCommand(const std::function<void()>& body);
    GSErrCode RunChangeCommand(const std::function<GSErrCode()>& body);
    void FitElementToStorey(union API_Element& element);
    void GetSelectedAnchor(std::int16_t* anchorNumber, std::int32_t* hostAnchorCode) const;
    bool GetAngleSnapCorrection(double directionAngle, double& correction) const;
    void ApplyAngleSnap(union API_Element& element) const;
    void SnapPointPairs();
    // Takes the running action's points into the plane of the section-type view in front.
    void ProjectPointsToSectionView();

    // The measured-point dispatcher: every measured point ends here.
    void OnMeasuredPoint(std::int32_t eventCode);
    // The main palette: its menu command, its measuring-mode buttons, its refresh
    // and the buttons that mirror whether a sub-palette is open.
    void HandleMenuCommand(const API_MenuParams& params);
    void ToggleMainPalette();
    // Opens a sub-palette with the current language's texts and the add-on's icons, or closes it.
    void TogglePalette(CDialogBase& palette, std::int32_t paletteFlags);
    static bool IsMeasuringModeButton(std::int16_t item);
    void SelectMeasuringModeButton(std::int16_t item);
    void SetPaletteItemFonts();
    void ShowMeasuringPrompt();
    void UpdateMainPalette();
    void UpdateAnchorPopup();
    void SyncCurvePaletteButton(bool closing);
    void SyncImportPaletteButton(bool closing);
    void SyncPhotoFolderButton(bool closing);
    void SyncPhotoPreviewButton(bool closing);
    // The settings dialog on a copy of the settings; OK takes them over, saves them
    // and puts them into effect.
    void RunSettingsDialog();
    // Hands the collected polygon to the current tool's creator.
    void FinishPolygon();
    void MeasureTopElevation();
    void MeasureBottomElevation();
    void OnToolChanged(std::int32_t elementType, std::int32_t variation);
    std::int16_t SavedToolOptionOf(std::int32_t elementType) const;
    // Main palette items live in the dialog model, open or not.
    double MainPaletteItemValue(std::int16_t item) const;
    void SetMainPaletteItemValue(std::int16_t item, double value);
    // The entry chosen in one of the palette's push menus (1-based, 0: none).
    std::int16_t MainPaletteEntry(std::int16_t item) const;
    // The start state of the main palette and the measuring for the current
    // project, whose data it then loads.
    void ResetMeasuringSession();

    // Markers of measured points and stations: library-part objects placed as
    // undoable commands, found again by their part.
    void SelectMarkerLayerAndPen();
    void PlaceMeasuredPointMarker();
    // Lets the user pick points, each a measured point with its marker, until the input is cancelled.
    void PickMeasuredPoints();
    // Makes a new station marker at the station point the only active one; in
    // station mode 2 only makes every station marker inactive.
    void PlaceStationMarker(double x, double y, double z);
    // Activates the station marker at the station point and snaps the point
    // onto it; the host's answer to the last call, 0 when there was none. The
    // marker made active goes into `activated` (null GUID: none).
    std::int32_t UpdateStationMarkers(double* x, double* y, double* z, API_Guid* activated = nullptr);
    // 32501: the instrument's station markers; any other value: the scan's.
    void DeactivateStationMarkers(std::int16_t variant);
    void ApplyMarkerIdVisibility();

    // Stations: the alignment that ends mode 1, the marker that follows the
    // station, the station from a measured point, the reset at project close.
    void AlignInstrument();
    void ReplaceStationMarker();
    void SetStationFromMeasuredPoint();
    void ResetStationState();

    // What the measuring modes, menus and handlers hand their work to.
    std::int16_t StartOrbolink();
    void SetGdlExtensionLanguage(std::int32_t language);
    void CheckLibrary();
    void ShowLibraryAlert();
    std::int32_t StepPanoramaCamera(std::int32_t step);
    void OnCameraViewOpened(const API_NotifyViewEventType& event);
    void FollowStationCamera();
    // Photo objects: the selected one's photo in the preview, the folder asked
    // for when its file is missing; the embedded picture of a photo, whose
    // width / height it returns (0 for a photo that cannot be read).
    void ShowSelectedPhoto(const API_Neig& selection);
    void AskForPhotoFolder();
    void ShowPhotoInPreview(const GS::UniString& path, std::int32_t quarterTurns);
    double EmbedPhotoPicture(const IO::Location& photo);
    void EnsureStationMarker();
    void ShootPickedPoints(bool takeHeight);
    void ImportPointList();
    void ExportPointList();
    void ImportE57File();
    // The point files and the generated library part of one point cloud: the
    // part's library index, 0 when none was made.
    std::int32_t WritePointCloudPart(const GS::UniString& name, const IO::Location& folder, CloudPointSource& points,
                                     const PointCloudBox& box, const API_Coord3D& scannerPosition, bool hasPosition,
                                     std::uint32_t levelCount);
    // Elements from the main curve palette's polygon, each one undoable command
    // that first deletes what the palette's shown polylines list. The polyline is
    // the display of the polygon being measured (flag true) or the final one.
    void DrawCurvePolyline(bool flag);
    void CreateWallsFromCurve();
    void CreateFillFromCurve();
    void CreateSlabFromCurve();
    void CreateMorphFromPoints(const TypVektor<API_Coord3D>* points);
    void PlacePhotoObject();
    void CreateWall();
    void CreateColumn();
    void CreateBeam();
    void FitBeamsBetweenTwoLines();
    void CreateSlab();
    void CreateFill();
    void CreateSpline();
    void CreateMesh();
    void CreateMeshFromActivatedPoints(bool withBoundary);
    // The morph along the rail: the current profile's polygons become plain point
    // lists, the curve palette's curve a rail of points with directions, and the
    // profile is swept along the rail into one morph.
    void BuildMorphProfile();
    void BuildMorphRail();
    void CreateMorphAlongRail();
    static Geometry::Vector3<double>& CrossProduct(Geometry::Vector3<double>& result, Geometry::Vector3<double> a,
                                                   Geometry::Vector3<double> b);
    // Places profile points (u, v, 0) at the rail's start: true when the frame's
    // x axis is where the profile plane meets the plane normal to the rail, false
    // with the frame built about the rail direction alone or without a rail.
    bool GetRailStartFrame(std::array<double, 12>& frame) const;
    // A ring has the points and the contour ends of the profile polygon being swept.
    void AddMorphCapPolygon(const TypVektor<Geometry::Vector3<double>>& ring, API_BodyBuilder builder) const;
    void AddMorphSideFaces(const TypVektor<Geometry::Vector3<double>>& ringA, const TypVektor<Geometry::Vector3<double>>& ringB,
                           API_BodyBuilder builder) const;
    void CreateObject();
    void CreateLamp();
    void CreateRoof();
    void CreateLine();
    void CreateHotspot();
    void CreateLevelDimension();
    void CreateCircleOrArc();
    // Shells of the shell tool: vaults between two walls and domes through a
    // sphere fitted to measured points.
    void CreateExtrudedShellFittedToWalls();
    void CreateRuledShellBetweenWalls();
    void CreateDomeFromFivePoints();
    void CreateDomeOnCurvedWall();
    void CreateDomeSegment();
    // The index of the list point nearest in plan, the excluded index (-1 for none)
    // left out; ties keep the earlier index.
    static std::int32_t NearestPointIndex(API_Coord point, TypVektor<API_Coord> points, std::int32_t excluded);
    void CheckOpeningHostWall(const API_Coord3D& point, bool& openingWallUsableFlag, bool& discard);
    void FinishWindowMeasurement();
    void FinishDoorMeasurement();
    void CreateWindowFromPoints();
    void CreateDoorFromPoints();
    // The two heights at which the wall of a measured opening is searched.
    void GetOpeningSearchHeights(double& low, double& high) const;
    void SetOpeningSides(const union API_Element& wall, union API_Element& opening, bool outsideMeasured, bool invertBoth,
                         bool invertFirst);
    double MeasureRevealDepth();
    double MeasureRevealWidth();
    void SetWallThickness();
    void SetTrapezoidWallThickness();
    void AddPointToPolygonWall();
    void MeasureColumnOrObjectWidth(std::int32_t toolType);
    void MeasureColumnOrObjectDepth(std::int32_t toolType);
    void MeasureRotationAngle(std::int32_t toolType);
    void MeasureBeamWidth();
    void MeasureBeamHeight();

    // The exchange-folder watcher of this object: its thread-list number (0 = none).
    std::int32_t pointCabWatcherNumber = 0;

    ReportData report;
    QuintairData userData;
    CDialogResizer resizer;
    StationReference firstStation;
    StationReference secondStation;
    IO::Location instrumentTempFile;
    bool instrumentPromptSent = false;
    std::int32_t currentTool = 0;
    std::int16_t measuringMode = 0;
    std::int16_t previousMeasuringMode = 0;
    std::int16_t pointStep = 0;
    std::array<std::int16_t, 5> toolOptions {};
    std::array<Geometry::Point2<double>, 2> scratchPoints {};
    bool polygonFinish = false;
    bool circleFitOk = false;
    bool busy = false;
    bool elementCreated = false;
    bool instrumentBumped = false;
    double wallThicknessTolerance = 0.01;
    double snapDirectionTolerance = 1.0;
    double stationChangeTolerance = 0.01;
    std::int16_t measuredPointLayer = 1;
    std::int16_t stationLayer = 1;
    std::int16_t freeAreaLayer = 1;
    std::int16_t stationPointLayer = 1;
    std::int16_t numberOfMeasurements = 1;
    std::int16_t preciseMeasurementChoice = 0;
    std::int16_t measuredPointPen = 36;
    std::int16_t stationPen = 89;
    std::int16_t freeAreaPen = 1;
    std::int16_t stationPointPen = 11;
    std::int16_t pickedPointPen = 1;
    double revealValue = 0.0;
    std::int16_t blockedState = 0;
    double profileArcStep = 0.17453292519943295;
    bool openingWallUsable = true;
    API_Guid lastMeasuredPointMarker {};
    GS::UniString stationId {"0"};
    GS::UniString activeStationId {"0"};
    TypVektor<API_Coord3D> actionPoints;
    TypVektor<API_Coord3D> slabPoints;
    std::array<TypVektor<API_Coord3D>, 2> meshPoints;
    TypVektor<MorphRailCrvDataType> morphRail;
    TypVektor<Geometry::Point2<double>> morphProfilePoints;
    TypVektor<std::int32_t> morphProfilePointData;
    SectionDataList profileList;
    TypVektor<GS::UniString> pointNames;
    Curve3DPalette curvePalette;
    VaroImportPalette importPalette;
    CameraControPalette cameraPalette;
    VaroNavigatorPalette navigatorPalette;
    CameraChangeObserver cameraObserver;
    std::array<std::int16_t, 11> perTypeLayers {};
    std::array<std::int16_t, 11> perTypePens {};
    InfoPalette infoPalette;
    DebugPalette debugPalette;
    std::array<std::int16_t, SavedToolOptionCount> savedToolOptions {};
    bool refreshItems = true;
    API_Guid stationMarkerToReplace {};
    API_Guid stationReferenceElement {};
    bool railReady = false;
    bool profileChosen = false;
    SectionPalette sectionPalette;
    bool markerIdsShown = false;
    bool manualCalibration = false;
    bool sounds = true;
    bool windowTracking = false;
    bool windowRaising = false;
    std::int32_t trackingDelay = 250;
    Modeler::Camera trackedCamera;
    MorphMeshBuilder meshBuilder;
    PhotoLocationDlg photoFolderDialog;
    TypVektor<IO::Location> photoLocations;
    API_Guid shownPhotoObject {};
    GS::UniString exchangeFile;
    std::array<std::int16_t, 7> importColumnWidths {};
    std::int32_t language = 0;
    std::array<GSResModule, 3> resourceModules {};
    std::int32_t streamVersion = 0;
    // The part of the project data where the last reading stopped, if it did.
    std::optional<StoredPart> projectReadStoppedAt;
    DamagedData damagedData;

private:
    // Every rail segment meets the plane at its end: the rail can carry a profile.
    bool IsRailSweepable() const;
    void SweepProfilePolygon(const SectionData& polygon, const std::array<double, 12>& frame, API_BodyBuilder builder);
    void ChooseLanguageFromHost();
    void WritePreferences(StreamWriter& writer);
    void ReadPreferences(StreamReader& reader);
    // The current user's record and one station record from the live state.
    void RefreshCurrentUserData();
    void ReadProjectData(StreamReader& reader);
    ProjectStream ProjectStreamOverMembers();
    void SetStartValues();
    IO::Location SpecialFolderParent() const;

    // The module that was current before this object made its language current;
    // current again when this object closes its language files.
    GSResModule resourceModuleBefore_ = 0;
};

// Counts how deeply the add-on is inside a change of its own, so that the
// notifications its changes cause can be told from the user's.
void BeginOwnChange(const char* label);
void EndOwnChange();
std::int32_t GetOwnChangeCounter();

// Icons of the add-on's own resource module on a dialog item and on one entry
// (1-based) of a push menu.
void SetDialogItemIcon(std::int16_t dialogId, std::int16_t item, std::int16_t icon);
void SetPushMenuItemIcon(std::int16_t dialogId, std::int16_t item, std::int16_t entry, std::int16_t icon);

// The current resource module: every string list, dialog and alert call uses it.
GSResModule CurrentResourceModule();
void SetCurrentResourceModule(GSResModule module);
