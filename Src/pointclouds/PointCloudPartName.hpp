#pragma once
#include "GS/UniString.hpp"

// The name of a point-cloud part as it goes into file names and GDL text: folder
// separators, runs of dots, control characters, quotes and the characters Windows
// refuses in file names (: * ? < > |) become "_"; an empty
// name becomes the fallback (the E57 file's name), made safe the same way.
GS::UniString PointCloudPartName(const GS::UniString& wanted, const GS::UniString& fallback);
