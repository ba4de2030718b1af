#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "GS/UniString.hpp"
#include "exchange/ExchangeBytes.hpp"

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

// The bytes of the file the taken annotation occupies, from its start tag's "<" to
// its end tag's ">"; empty when nothing is taken.
struct AnnotationBytes {
    std::size_t begin = 0;
    std::size_t end = 0;
    bool Empty() const { return begin == end; }
};

enum class DocumentReading { Parsed, Malformed, Unreadable };

// Reads the exchange document as a stream and finds its first "Annotation"; when it
// has content its points are read and `taken` tells which bytes are removed. Every
// other byte goes to `file.Keep` as it passes, so the file is never held whole; an
// empty first annotation stays and nothing is taken. Malformed when the bytes do not
// parse: nothing is taken then, and the kept bytes are not the file's. No DTD is
// loaded and no external entity is resolved; a document that declares entities, or
// nests deeper than a few hundred levels, is refused.
DocumentReading FindFirstAnnotation(ExchangeBytes& file, ExchangeAnnotation& annotation, AnnotationBytes& taken);

// The same for a document already in memory; false when it does not parse.
bool FindFirstAnnotation(std::string_view bytes, ExchangeAnnotation& annotation, AnnotationBytes& taken);
