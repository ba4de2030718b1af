#include "pointclouds/JobFolderScan.hpp"

#include <filesystem>
#include <string>

#include "pointclouds/CurrentStorey.hpp"

namespace
{

bool Contains(const std::string& text, const char* part) { return text.find(part) != std::string::npos; }

std::string WithoutLastInfo(std::string name)
{
    const std::size_t at = name.rfind("_info");
    return name.erase(at, 5);
}

// A job with the defaults, its tiles and the current storey's floor plan as target.
void AddJob(const IO::Folder& parent, const std::string& folderName, VaroImportData& list)
{
    OrtophotoData job;
    const std::string jobName = WithoutLastInfo(folderName);
    job.jobName = GS::UniString(jobName);
    IO::Location tileFile = parent.GetLocation();
    tileFile.AppendToLocal(folderName);
    tileFile.AppendToLocal(jobName + "-coord.txt");
    OrtophotoData::ReadTileFile(job, tileFile);
    job.target.databaseType = ACDatabaseID::FloorPlan;
    job.target.storey = CurrentStoreyIndex();
    list.jobs.Add(job);
}

// A link to a folder is not walked: one back to a parent would list its jobs
// again, one to the root would walk the whole file system.
bool IsLink(const IO::Folder& parent, const std::string& name)
{
    std::error_code error;
    return std::filesystem::is_symlink(std::filesystem::path(parent.GetLocation().ToPath()) / name, error);
}

}  // namespace

bool ScanJobFolderEntry(const IO::Folder& parent, const IO::Name& entryName, bool isFolder, void* userData)
{
    auto& scan = *static_cast<JobFolderScan*>(userData);
    const std::string& name = entryName.ToString();
    if (scan.depth > JobFolderScan::DeepestLevel || !isFolder || IsLink(parent, name)) return true;
    if (Contains(name, "_info"))
    {
        AddJob(parent, name, scan.list);
        return true;
    }
    if (Contains(name, "_results")) return true;
    IO::Location below = parent.GetLocation();
    below.AppendToLocal(name);
    ++scan.depth;
    IO::Folder(below).Enumerate(ScanJobFolderEntry, &scan);
    --scan.depth;
    return true;
}
