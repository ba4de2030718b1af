#pragma once
#include <optional>
#include <string_view>

#include "exchange/ExchangeDocument.hpp"

struct ScannedDocument {
    ExchangeAnnotation annotation;
    AnnotationBytes taken;
};

// Finds the first annotation of a document in the plain form PointCab writes, far
// faster than the full parser: UTF-8 without a byte-order mark, an optional XML
// declaration of version 1.0, ASCII names without colons, elements, attributes,
// character data, comments, CDATA sections and the five predefined entities or
// character references. Nothing when the document holds anything else (a doctype,
// an instruction, another encoding, a character a parser might treat apart) or is
// not well-formed in every byte: such a document goes to the full parser, which
// alone accepts or refuses it. What it finds is what the full parser finds.
std::optional<ScannedDocument> ScanPlainDocument(std::string_view bytes);
