#pragma once
#include <cstddef>
#include <memory>
#include <optional>
#include <string_view>

#include "exchange/ExchangeDocument.hpp"

struct ScannedDocument
{
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

// The same over a document that arrives in pieces, so that it is never held whole.
class PlainDocumentScan
{
public:
    enum class Step
    {
        NeedMore,
        Done,
        LeftToParser
    };

    PlainDocumentScan();
    ~PlainDocumentScan();
    PlainDocumentScan(const PlainDocumentScan&) = delete;
    PlainDocumentScan& operator=(const PlainDocumentScan&) = delete;

    // Goes on over `window`, the document's bytes from `HeldFrom()` on; `final`
    // when the window reaches the document's end. NeedMore asks for a window that
    // reaches further.
    Step Resume(std::string_view window, bool final);
    // The offset of the first byte the scan still needs; the bytes before it are done with.
    std::size_t HeldFrom() const;
    ScannedDocument& Result();

private:
    class Scanner;
    std::unique_ptr<Scanner> scanner_;
};
