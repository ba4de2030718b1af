#pragma once
#include "GS/UniString.hpp"
#include "IO/Folder.hpp"
#include "IO/Location.hpp"
#include "framework/TypVektor.hpp"

// The image files of a photo folder and the names photos go by.

// The enumeration callback: appends the folder's location with the entry's name
// to the list (a TypVektor<IO::Location>) for every file whose extension is
// jpg, png, bmp, tiff or tga in any letter case that is a regular file (also
// behind a link); folders, pipes and devices are passed over.
// Always goes on.
bool CollectImageFile(const IO::Folder& folder, const IO::Name& entryName, bool isFolder, void* list);

// The image files of the folder in enumeration order; none for a folder that is
// missing or empty.
TypVektor<IO::Location> ListImageFiles(const IO::Location& folder);

// The file name without its extension, as photos are named and shown.
GS::UniString PhotoNameOf(const IO::Location& photo);
