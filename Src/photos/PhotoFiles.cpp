#include "photos/PhotoFiles.hpp"

#include <strings.h>
#include <sys/stat.h>

namespace
{

constexpr const char* ImageExtensions[] = {"jpg", "png", "bmp", "tiff", "tga"};

std::string ExtensionOf(const std::string& name)
{
    const auto dot = name.find_last_of('.');
    return dot == std::string::npos ? std::string() : name.substr(dot + 1);
}

// A pipe or a device named like a photo would block the thumbnail thread.
bool IsRegularFile(const IO::Location& file)
{
    struct stat info
    {};
    return ::stat(file.ToPath().c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

}  // namespace

bool CollectImageFile(const IO::Folder& folder, const IO::Name& entryName, bool isFolder, void* list)
{
    if (isFolder || list == nullptr) return true;
    const std::string extension = ExtensionOf(entryName.ToString());
    if (extension.empty()) return true;
    for (const char* known : ImageExtensions)
    {
        if (strcasecmp(extension.c_str(), known) != 0) continue;
        IO::Location file = folder.GetLocation();
        file.AppendToLocal(entryName.ToString());
        if (IsRegularFile(file)) static_cast<TypVektor<IO::Location>*>(list)->Add(file);
        break;
    }
    return true;
}

TypVektor<IO::Location> ListImageFiles(const IO::Location& folder)
{
    TypVektor<IO::Location> files;
    const IO::Folder photoFolder(folder);
    photoFolder.Enumerate(CollectImageFile, &files);
    return files;
}

GS::UniString PhotoNameOf(const IO::Location& photo)
{
    const std::string name = photo.GetLastLocalName();
    const auto dot = name.find_last_of('.');
    return GS::UniString(dot == std::string::npos || dot == 0 ? name : name.substr(0, dot));
}
