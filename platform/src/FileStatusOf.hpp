#pragma once
#include <sys/stat.h>

#include "IO/FileStatus.hpp"

namespace IO
{

FileStatus FileStatusOf(const struct stat& info);

}  // namespace IO
