#pragma once

#include <memory>

#include "e57/Element.hpp"
#include "e57/PagedFile.hpp"

namespace e57 {

// What an open image file shares with its node handles and readers: the element
// tree and the paged file. Handles keep it alive; closing the file ends its reads.
struct ImageData {
    std::shared_ptr<PagedFile> file;
    std::unique_ptr<Element> root;
};

}  // namespace e57
