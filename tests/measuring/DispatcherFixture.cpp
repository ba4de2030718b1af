#include "DispatcherFixture.hpp"

#include "DG/DG.hpp"
#include "MarkerSupport.hpp"
#include "Win/WinStandIns.hpp"
#include "frame/AddOnGlobals.hpp"
#include "measuring/MarkerPart.hpp"
#include "measuring/MeasuringState.hpp"

namespace
{

char SoundLetter(const std::string& path)
{
    const auto endsWith = [&path](const std::string& name) {
        return path.size() >= name.size() && path.compare(path.size() - name.size(), name.size(), name) == 0;
    };
    if (endsWith("/sounds/measurement_1.wav")) return '1';
    if (endsWith("/sounds/measurement_2.wav")) return '2';
    if (endsWith("/sounds/messung_nocommand.wav")) return 'n';
    if (endsWith("/sounds/winkelfang.wav")) return 'w';
    return '?';
}

}  // namespace

API_Coord3D NthPoint(int n) { return {1.0 + n, 2.0 * n + 0.25 * n * n, 0.5 * n}; }

void DispatcherFixture::SetUp()
{
    DG::ForgetAllDialogs();
    measuringState = MeasuringState {};
    host_ = std::make_unique<InProcessHost>();
    survanto_ = theSurvanto.load();
    ASSERT_NE(survanto_, nullptr);
    LoadOwnLibrary(host_->host());
    Win::ClearRecords();
}

void DispatcherFixture::TearDown() { host_.reset(); }

void DispatcherFixture::StartMode(std::int16_t mode, std::int32_t tool, std::int32_t variation)
{
    host_->host().SelectTool(tool, variation);
    Main().currentTool = tool;
    Main().measuringMode = mode;
    Main().pointStep = 1;
    SetItem(mode, 1.0);
    Win::ClearRecords();
}

void DispatcherFixture::Shoot(const API_Coord3D& point, std::int32_t code)
{
    measuringState.measuredX = point.x;
    measuringState.measuredY = point.y;
    measuringState.measuredZ = point.z;
    Main().OnMeasuredPoint(code);
}

double DispatcherFixture::Item(std::int16_t item) const { return survanto_->MainPaletteItemValue(item); }
void DispatcherFixture::SetItem(std::int16_t item, double value) { survanto_->SetMainPaletteItemValue(item, value); }

std::size_t DispatcherFixture::MarkersPlaced() const
{
    return PlacedObjectsOf(host_->host().model_, MarkerPart::MeasuredPoint).size();
}

std::size_t DispatcherFixture::ElementsMade() const
{
    const SimHost::ProjectModel& model = host_->host().model_;
    return model.content.elements.size() - MarkersPlaced() - PlacedObjectsOf(model, MarkerPart::InstrumentStation).size() -
           PlacedObjectsOf(model, MarkerPart::ScanStation).size();
}

std::string DispatcherFixture::SoundLetters()
{
    std::string letters;
    for (const auto& sound : Win::RecordedSounds()) letters += SoundLetter(sound.path);
    return letters;
}
