// libFuzzer target: one block of the add-on's module data read as the project
// reset and the teamwork merge read it (the main object, its data on their own,
// the report), then written back as the next save would write what was read.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <vector>

#include "DG/DG.hpp"
#include "InProcessHost.hpp"
#include "frame/AddOnGlobals.hpp"
#include "frame/Survanto.hpp"
#include "framework/CDataStore.hpp"
#include "persistence/ProjectData.hpp"
#include "persistence/ReportData.hpp"

namespace
{

// One host for the whole run, with the add-on linked in and a project open.
// It shuts down at exit, forgetting its dialogs: the dialog manager's state is
// made first so that it is destroyed after the host.
SimHost::Host& TheHost()
{
    DG::ForgetAllDialogs();
    static const std::string work = (std::filesystem::temp_directory_path() / "survanto-moduledata-fuzz").string();
    static InProcessHost host([] {
        SimHost::Host::Options options;
        options.workFolder = work;
        return options;
    }());
    static const bool opened = (host.host().NewProject(), true);
    static_cast<void>(opened);
    return host.host();
}

void ReadBlock(const std::uint8_t* data, std::size_t size, IFileIO& object)
{
    std::vector<std::uint8_t> bytes(data, data + size);
    CDataStore store("Survanto", 40000);
    store.Register(&object, FourCC("MAIN"), true);
    CDataRecorder& recorder = store.GetRecorder();
    recorder.SetMode(CDataRecorder::ModeMemory);
    recorder.SetMemory(bytes.data(), static_cast<std::int32_t>(bytes.size()));
    store.ReadObjects();
    recorder.SetMemory(nullptr, 0);
}

// The counting pass of a save: every value read is written again.
void CountWritten(IFileIO& object)
{
    CDataStore store("Survanto", 40000);
    store.Register(&object, FourCC("MAIN"), false);
    store.GetRecorder().SetMode(CDataRecorder::ModeCount);
    store.WriteObjects();
}

}  // namespace

// The host starts before the first input, outside the allocation limit's watch.
extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    TheHost();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Survanto& main = *theSurvanto.load();
    ReadBlock(data, size, main);
    CountWritten(main);
    ProjectData project;
    ReadBlock(data, size, project);
    CountWritten(project);
    ReportData report;
    ReadBlock(data, size, report);
    CountWritten(report);
    return 0;
}
