#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "GS/UniString.hpp"
#include "exchange/ExchangeBytes.hpp"

// One "Element" of type "point" from an annotation of the exchange file: its id
// and the texts of its last "Point3d" and "Origin3d".
struct ExchangePoint
{
    GS::UniString id;
    std::string point3d;
    std::string origin3d;
};

struct ExchangeAnnotation
{
    std::vector<ExchangePoint> points;
    bool pointSeen = false;
    bool originSeen = false;
};

// The bytes of the file the taken annotation occupies, from its start tag's "<" to
// its end tag's ">"; empty when nothing is taken.
struct AnnotationBytes
{
    std::size_t begin = 0;
    std::size_t end = 0;
    bool Empty() const { return begin == end; }
};

enum class DocumentReading
{
    Parsed,
    Malformed,
    Unreadable
};

// Deeper documents are refused: a node below this many levels (elements, texts,
// comments alike) ends the reading.
constexpr int ExchangeNestingLimit = 256;

// Reads the exchange document and finds its first "Annotation"; when it has content
// its points are read and `taken` tells which bytes are removed. Every other byte
// goes to `file.Keep`, in order; an empty first annotation stays and nothing is
// taken. Malformed when the bytes do not parse: nothing is taken then, and the kept
// bytes are not the file's. No DTD is loaded and no external entity is resolved; a
// document that declares entities, or nests deeper than a few hundred levels, is
// refused. A document in the plain form PointCab writes is scanned piece by piece,
// so the file is never held whole; any other goes to the full XML parser from its
// first byte, the file being read again when the scan had already let bytes go.
DocumentReading FindFirstAnnotation(ExchangeBytes& file, ExchangeAnnotation& annotation, AnnotationBytes& taken);

// The same for a document already in memory; false when it does not parse.
bool FindFirstAnnotation(std::string_view bytes, ExchangeAnnotation& annotation, AnnotationBytes& taken);

// The same through the full XML parser alone, reading the file as a stream: only the
// bytes up to the first annotation's end are ever held.
DocumentReading ParseFirstAnnotation(ExchangeBytes& file, ExchangeAnnotation& annotation, AnnotationBytes& taken);
