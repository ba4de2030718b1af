#pragma once
#include <string>
#include <vector>

#include "GS/UniString.hpp"

// One "Element" of type "point" from an annotation of the exchange file: its id
// and the texts of its last "Point3d" and "Origin3d".
struct ExchangePoint {
    GS::UniString id;
    std::string point3d;
    std::string origin3d;
};

struct ExchangeAnnotation {
    std::vector<ExchangePoint> points;
    bool pointSeen = false;
    bool originSeen = false;
};

// Parses the exchange document and takes its first "Annotation" out when it has
// content; an empty first annotation stays and nothing is taken. `rewritten` is
// the document as it is left, in UTF-8 with a declaration that says so. False when
// the bytes do not parse or the document cannot be written: nothing is taken then.
// No DTD is loaded and no external entity is resolved; a document that declares
// entities, or nests deeper than a few hundred levels, is refused.
bool TakeFirstAnnotation(const std::string& bytes, ExchangeAnnotation& annotation, std::string& rewritten);
