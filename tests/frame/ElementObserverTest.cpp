#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "DG/DG.hpp"
#include "ElementServices.hpp"
#include "MainObjectFixture.hpp"
#include "MarkerSupport.hpp"
#include "measuring/MarkerPart.hpp"
#include "measuring/MeasuringState.hpp"
#include "pointclouds/PointCloudTemplate.hpp"
#include "pointclouds/ScannerCamera.hpp"

namespace
{

constexpr std::int32_t CloudPart = 900;
constexpr const char* ActiveMarkerAlert = "Achtung! Das Symbol des aktuellen Standortes kann nicht gelöscht oder bewegt werden!";
constexpr const char* MovedAloneAlert = "Achtung! Varo Punktwolke und Kamera können nur zusammen bewegt / gelöscht werden.";
constexpr const char* PlaceQuestion = "Wollen Sie die Varo Punktwolke an der Originalposition mit Kamera platzieren?";

// A project with two station markers (the first inactive, the second the active
// station's) and a point cloud with its linked scanner camera, all placed by the
// add-on; the user then acts on them as the host lets a user act.
class ElementObserver : public MainObjectFixture
{
public:
    void SetUp() override
    {
        before_ = measuringState;
        MainObjectFixture::SetUp();
    }
    void TearDown() override
    {
        MainObjectFixture::TearDown();
        measuringState = before_;
    }

    void Prepare(bool cloudHeight = true)
    {
        Host().NewProject();
        LoadOwnLibrary(Host());
        SimHost::LibraryPartEntry cloud;
        cloud.uniqueId = "{5A1E0000-0000-4000-8000-000000000001}-{5A1E0000-0000-4000-8000-000000000002}";
        cloud.parentUniqueId = PointCloudTemplateId;
        cloud.name = "Scan 1";
        cloud.params = {
            MakeParameter("project0X", APIParT_Length, 100),       MakeParameter("project0Y", APIParT_Length, 50),
            MakeParameter("hasScannerPos", APIParT_Length, 1),     MakeParameter("upperPlaneHeight", APIParT_Length, 3),
            MakeParameter("lowerPlaneHeight", APIParT_Length, -1), MakeParameter("scannerZ", APIParT_Length, 1.5)};
        if (cloudHeight) cloud.params.push_back(MakeParameter("project0Z", APIParT_Length, 2));
        Model().libraryParts[CloudPart] = cloud;
        measuringState.stationMode = 1;
        Main().PlaceStationMarker(1, 1, 1.5);
        Main().PlaceStationMarker(4, 4, 1.5);
        Main().RunCreationCommand([this] {
            ASSERT_EQ(SimHost::UserPlaceObject(Host(), CloudPart, {7, 8, 0}, 0.0), NoError);
            API_Elem_Head header = Model().content.elements.back().record.header;
            HostAttachElementObserver(&header, 0);
            cloud_ = header.guid;
            camera_ = CreateScannerCamera(cloud_);
        });
        markers_ = MarkerPart::PlacedMarkers({MarkerPart::InstrumentStation});
        ASSERT_EQ(markers_.size(), 2u);
        ASSERT_NE(camera_, APINULLGuid);
        DG::ClearRecordedAlerts();
    }

    SimHost::ProjectModel& Model() { return MainObjectFixture::Model(); }
    std::size_t Index(const API_Guid& guid)
    {
        for (std::size_t i = 0; i < Model().content.elements.size(); ++i)
            if (Model().content.elements[i].record.header.guid == guid) return i;
        return Model().content.elements.size();
    }
    const SimHost::StoredElement* Find(const API_Guid& guid) { return Model().Find(guid); }
    API_Coord At(const API_Guid& guid)
    {
        const SimHost::StoredElement* e = Find(guid);
        if (e == nullptr) return {-999, -999};
        return e->record.header.typeID == API_CameraID ? e->record.camera.position : e->record.object.position;
    }
    std::vector<const SimHost::StoredElement*> OfType(API_ElemTypeID type)
    {
        std::vector<const SimHost::StoredElement*> found;
        for (const SimHost::StoredElement& e : Model().content.elements)
            if (e.record.header.typeID == type) found.push_back(&e);
        return found;
    }
    static std::vector<std::string> Alerts()
    {
        std::vector<std::string> texts;
        for (const DG::AlertRecord& alert : DG::RecordedAlerts()) texts.push_back(alert.text1.ToUtf8());
        return texts;
    }
    static API_ActTranPars Drag(double dx, double dy)
    {
        API_ActTranPars drag {};
        drag.typeID = FourCC("DRAG");
        drag.displacement = {dx, dy};
        return drag;
    }
    const SimHost::StoredElement& ActiveMarker()
    {
        for (const SimHost::StoredElement* marker : PlacedObjectsOf(Model(), MarkerPart::InstrumentStation))
            if (NumberParameter(*marker, "bIsActual") != 0.0) return *marker;
        throw std::runtime_error("no active marker");
    }

    MeasuringState before_;
    std::vector<API_Guid> markers_;
    API_Guid cloud_ {}, camera_ {};
};

struct Batch
{
    const char* name;
    std::function<void(ElementObserver&)> act;
    std::vector<std::string> alerts;
    std::function<void(ElementObserver&)> check;
    short answer = 1;
    bool cloudHeight = true;
};

TEST_F(ElementObserver, UsersBatchesKeepWhatTheAddOnGuards)
{
    SimHost::Host* host = nullptr;
    auto Edit = [&](std::vector<API_Guid> guids, double dx, double dy) {
        ASSERT_EQ(SimHost::UserEditElements(*host, guids, Drag(dx, dy)), NoError);
    };
    const Batch batches[] = {
        {"the active marker deleted comes back",
         [&](ElementObserver& t) { ASSERT_EQ(SimHost::UserDeleteElement(*host, t.markers_[1]), NoError); },
         {ActiveMarkerAlert},
         [](ElementObserver& t) {
             EXPECT_EQ(PlacedObjectsOf(t.Model(), MarkerPart::InstrumentStation).size(), 2u);
             EXPECT_EQ(t.ActiveMarker().record.object.position.x, 4.0);
             EXPECT_TRUE(t.ActiveMarker().observed);
         }},
        {"both markers moved: the active one goes back, one alert",
         [&](ElementObserver& t) {
             Edit({t.markers_[0], t.markers_[1]}, 2, 0);
         },
         {ActiveMarkerAlert},
         [](ElementObserver& t) {
             EXPECT_EQ(t.At(t.markers_[0]).x, 3.0);
             EXPECT_EQ(t.At(t.markers_[1]).x, 4.0);
         }},
        {"an inactive marker moves freely",
         [&](ElementObserver& t) { Edit({t.markers_[0]}, 2, 0); },
         {},
         [](ElementObserver& t) { EXPECT_EQ(t.At(t.markers_[0]).x, 3.0); }},
        {"a copied station marker goes at once",
         [&](ElementObserver& t) {
             ASSERT_EQ(SimHost::UserCopyElements(*host, {t.markers_[1]}, {5, 0, 0}), NoError);
         },
         {},
         [](ElementObserver& t) { EXPECT_EQ(PlacedObjectsOf(t.Model(), MarkerPart::InstrumentStation).size(), 2u); }},
        {"a station marker placed by the user goes at once",
         [&](ElementObserver&) {
             API_LibPart part;
             std::strcpy(part.uniqueId, MarkerPart::InstrumentStation);
             ASSERT_EQ(HostSearchLibraryPart(&part), NoError);
             ASSERT_EQ(SimHost::UserPlaceObject(*host, part.index, {9, 9, 0}, 0.0), NoError);
         },
         {},
         [](ElementObserver& t) { EXPECT_EQ(PlacedObjectsOf(t.Model(), MarkerPart::InstrumentStation).size(), 2u); }},
        {"cloud and camera moved together stay",
         [&](ElementObserver& t) {
             Edit({t.cloud_, t.camera_}, 1, 1);
         },
         {},
         [](ElementObserver& t) {
             EXPECT_EQ(t.At(t.cloud_).x, 8.0);
             EXPECT_EQ(t.At(t.camera_).x, 8.0);
         }},
        {"the cloud moved alone goes back",
         [&](ElementObserver& t) { Edit({t.cloud_}, 1, 1); },
         {MovedAloneAlert},
         [](ElementObserver& t) { EXPECT_EQ(t.At(t.cloud_).x, 7.0); }},
        {"the camera moved alone goes back",
         [&](ElementObserver& t) { Edit({t.camera_}, 1, 1); },
         {MovedAloneAlert},
         [](ElementObserver& t) { EXPECT_EQ(t.At(t.camera_).x, 7.0); }},
        {"a cloud placed and answered yes goes to its recorded place with a camera",
         [&](ElementObserver&) {
             ASSERT_EQ(SimHost::UserPlaceObject(*host, CloudPart, {3, 3, 0}, 0.5), NoError);
         },
         {PlaceQuestion},
         [](ElementObserver& t) {
             const SimHost::StoredElement& placed = *t.OfType(API_ObjectID).back();
             EXPECT_EQ(placed.record.object.position.x, 100.0);
             EXPECT_EQ(placed.record.object.position.y, 50.0);
             EXPECT_EQ(placed.record.object.angle, 0.0);
             EXPECT_EQ(NumberParameter(placed, "upperPlaneHeight"), 5.0);
             EXPECT_EQ(NumberParameter(placed, "lowerPlaneHeight"), 1.0);
             ASSERT_EQ(t.OfType(API_CameraID).size(), 2u);
             const SimHost::StoredElement& camera = *t.OfType(API_CameraID).back();
             EXPECT_EQ(camera.record.camera.position.x, 100.0);
             EXPECT_EQ(camera.record.camera.cameraZ, 3.5);
             ASSERT_EQ(placed.links.size(), 1u);
             EXPECT_EQ(placed.links[0].to, camera.record.header.guid);
         }},
        {"a cloud placed and answered no stays without a camera",
         [&](ElementObserver&) {
             ASSERT_EQ(SimHost::UserPlaceObject(*host, CloudPart, {3, 3, 0}, 0.5), NoError);
         },
         {PlaceQuestion},
         [](ElementObserver& t) {
             EXPECT_EQ(t.OfType(API_ObjectID).back()->record.object.position.x, 3.0);
             EXPECT_EQ(t.OfType(API_ObjectID).back()->record.object.angle, 0.5);
             EXPECT_EQ(t.OfType(API_CameraID).size(), 1u);
         },
         2},
        {"a cloud without a recorded height keeps its planes",
         [&](ElementObserver&) {
             ASSERT_EQ(SimHost::UserPlaceObject(*host, CloudPart, {3, 3, 0}, 0.0), NoError);
         },
         {PlaceQuestion},
         [](ElementObserver& t) {
             const SimHost::StoredElement& placed = *t.OfType(API_ObjectID).back();
             EXPECT_EQ(placed.record.object.position.x, 100.0);
             EXPECT_EQ(NumberParameter(placed, "upperPlaneHeight"), 3.0);
             EXPECT_EQ(t.OfType(API_CameraID).back()->record.camera.cameraZ, 1.5);
         },
         1,
         false},
        {"a cloud whose camera went during the batch keeps its move",
         [&](ElementObserver& t) {
             // One batch as the host sends it: the cloud dragged, its camera gone before the end.
             const auto observer = host->elementObserver_;
             auto tell = [&](std::int32_t kind, const API_Guid& guid, API_ElemTypeID type) {
                 API_NotifyElementType n;
                 n.notifID = kind;
                 n.guid = guid;
                 n.typeID = type;
                 observer(&n);
             };
             t.Model().RunUndoable([&] {
                 t.Model().EnterNotification();
                 tell(-1, APINULLGuid, 0);
                 t.Model().Find(t.cloud_)->record.object.position.x += 1;
                 t.Model().runningTransformation = Drag(1, 0);
                 tell(APINotifyElement_Edit, t.cloud_, API_ObjectID);
                 t.Model().content.elements.EraseIf(
                     [&](const SimHost::StoredElement& e) { return e.record.header.guid == t.camera_; });
                 tell(-2, APINULLGuid, 0);
                 t.Model().LeaveNotification();
                 return NoError;
             });
         },
         {},
         [](ElementObserver& t) { EXPECT_EQ(t.At(t.cloud_).x, 8.0); }},
        {"a batch that begins during the add-on's own change passes whole",
         [&](ElementObserver& t) {
             BeginOwnChange("");
             ASSERT_EQ(SimHost::UserDeleteElement(*host, t.markers_[1]), NoError);
             EXPECT_EQ(GetOwnChangeCounter(), 1);
             EndOwnChange();
         },
         {},
         [](ElementObserver& t) { EXPECT_EQ(PlacedObjectsOf(t.Model(), MarkerPart::InstrumentStation).size(), 1u); }},
        {"a stray end lowers nothing",
         [&](ElementObserver&) {
             BeginOwnChange("");
             API_NotifyElementType end;
             end.notifID = -2;
             host->elementObserver_(&end);
             EXPECT_EQ(GetOwnChangeCounter(), 1);
             EndOwnChange();
         },
         {},
         [](ElementObserver&) {}},
    };
    for (const Batch& batch : batches)
    {
        SCOPED_TRACE(batch.name);
        Prepare(batch.cloudHeight);
        host = &Host();
        if (batch.answer != 1) DG::QueueAlertAnswer(batch.answer);
        batch.act(*this);
        EXPECT_EQ(Alerts(), batch.alerts);
        EXPECT_EQ(GetOwnChangeCounter(), 0);
        batch.check(*this);
    }
}

// The add-on's own placements and changes pass the observer: nothing it places
// is taken away, and the counter is back at 0 afterwards.
TEST_F(ElementObserver, TheAddOnsOwnMarkerPlacementPasses)
{
    Prepare();
    Main().PlaceStationMarker(6, 6, 1.5);
    EXPECT_EQ(PlacedObjectsOf(Model(), MarkerPart::InstrumentStation).size(), 3u);
    EXPECT_EQ(ActiveMarker().record.object.position.x, 6.0);
    EXPECT_TRUE(Alerts().empty());
    EXPECT_EQ(GetOwnChangeCounter(), 0);
}

// Outside an undoable command and outside a notification the host refuses changes.
TEST_F(ElementObserver, ChangesNeedAnUndoableCommand)
{
    Prepare();
    API_Elem_Head header = Find(markers_[0])->record.header;
    EXPECT_EQ(HostDeleteElements(&header, 1), APIERR_NEEDSUNDOSCOPE);
    EXPECT_NE(Find(markers_[0]), nullptr);
    EXPECT_EQ(HostCallUndoableCommand(GS::UniString(), [&] { return HostDeleteElements(&header, 1); }), NoError);
    EXPECT_EQ(Find(markers_[0]), nullptr);
}

}  // namespace
