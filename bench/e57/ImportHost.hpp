#pragma once
#include <filesystem>
#include <memory>
#include <string>

#include "DG/FileDialog.hpp"
#include "Host.hpp"
#include "LibraryServices.hpp"
#include "frame/AddOnGlobals.hpp"
#include "frame/Survanto.hpp"

extern "C" GSErrCode GetExportedFuncAddrs(std::int32_t, API_ExportedFuncs*);
extern "C" GSErrCode SetImportedFuncAddrs(std::int32_t, const HostServiceTable*);

// The simulated host with the add-on, its library and the point-cloud template
// loaded, working in a folder of the benchmark's.
class ImportHost
{
public:
    explicit ImportHost(const std::filesystem::path& work)
    {
        namespace fs = std::filesystem;
        const fs::path templates = work / "templates";
        fs::create_directories(templates);
        fs::copy_file(fs::path(SURVANTO_SOURCE_DIR) / "tests/pointclouds/template/VaroPointCloud.gsm",
                      templates / "VaroPointCloud.gsm", fs::copy_options::overwrite_existing);
        SimHost::Host::Options options;
        options.workFolder = work.string();
        host_ = std::make_unique<SimHost::Host>(options);
        host_->LoadStatic({GetExportedFuncAddrs, SetImportedFuncAddrs});
        host_->Start();
        host_->NewProject();
        std::string error;
        // The add-on's library, read-only: the check finds it and adds none.
        SimHost::LoadLibraryFolder(*host_, (fs::path(SURVANTO_SOURCE_DIR) / "resources/library").string(), error, true);
        SimHost::LoadLibraryFolder(*host_, templates.string(), error, true);
    }
    ~ImportHost() { host_->Shutdown(); }
    ImportHost(const ImportHost&) = delete;
    ImportHost& operator=(const ImportHost&) = delete;

    // The command as the user runs it, the file chosen in its dialog: true when it
    // made an element.
    bool Import(const std::string& path)
    {
        const std::size_t before = host_->model_.content.elements.size();
        DG::QueueOpenAnswer(true, {IO::Location(path)});
        theSurvanto.load()->ImportE57File();
        return host_->model_.content.elements.size() > before;
    }

private:
    std::unique_ptr<SimHost::Host> host_;
};
