#include "InProcessHost.hpp"

#include <filesystem>
#include <random>

#include "API/AddOnInterface.hpp"

extern "C" GSErrCode GetExportedFuncAddrs(std::int32_t, API_ExportedFuncs*);
extern "C" GSErrCode SetImportedFuncAddrs(std::int32_t, const HostServiceTable*);

InProcessHost::InProcessHost(SimHost::Host::Options options)
{
    host_ = std::make_unique<SimHost::Host>(std::move(options));
    host_->LoadStatic({GetExportedFuncAddrs, SetImportedFuncAddrs});
    host_->Start();
}

InProcessHost::~InProcessHost() { host_->Shutdown(); }

TempFolder::TempFolder()
{
    std::random_device random;
    path_ = (std::filesystem::temp_directory_path() / ("survanto-test-" + std::to_string(random()))).string();
    std::filesystem::create_directories(path_);
}

TempFolder::~TempFolder()
{
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}
