#include "pointclouds/ImportLibraries.hpp"

#include "API/AddOnInterface.hpp"

ImportLibraries ImportLibraries::Read()
{
    ImportLibraries libraries;
    // Libraries the host does not list are none to choose from.
    if (HostEnvironmentRequest(FourCC("GLIB"), &libraries.list, &libraries.embedded) != NoError) return ImportLibraries {};
    return libraries;
}

bool ImportLibraries::IsUsable(std::size_t index) const
{
    return index < list.size() && list[index].available && !list[index].readOnly && static_cast<std::int32_t>(index) != embedded;
}

std::optional<IO::Location> ImportLibraries::ProjectPointCloudFolder()
{
    API_ProjectInfo project;
    if (HostEnvironmentRequest(FourCC("PROJ"), &project, nullptr) != NoError || project.location == nullptr) return std::nullopt;
    IO::Location folder = *project.location;
    folder.DeleteLastLocalName();
    folder.AppendToLocal("Point Cloud");
    return folder;
}

bool ImportLibraries::HoldsFolder(const IO::Location& folder) const
{
    const std::string& path = folder.ToPath();
    for (std::size_t i = 0; i < list.size(); ++i)
    {
        if (!IsUsable(i)) continue;
        std::string library = list[i].location.ToPath();
        if (path == library) return true;
        if (!library.empty() && library.back() != '/') library += '/';
        if (path.compare(0, library.size(), library) == 0) return true;
    }
    return false;
}
