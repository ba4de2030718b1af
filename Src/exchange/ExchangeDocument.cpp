#include "exchange/ExchangeDocument.hpp"

#include <xercesc/dom/DOM.hpp>
#include <xercesc/framework/MemBufFormatTarget.hpp>
#include <xercesc/framework/MemBufInputSource.hpp>
#include <xercesc/parsers/XercesDOMParser.hpp>
#include <xercesc/sax/ErrorHandler.hpp>
#include <xercesc/sax/SAXParseException.hpp>
#include <xercesc/util/SecurityManager.hpp>
#include <xercesc/util/XMLException.hpp>
#include <xercesc/validators/DTD/DTDEntityDecl.hpp>

#include <memory>

#include "e57/XercesGuard.hpp"

using namespace xercesc;

namespace {

constexpr XMLSize_t MaxEntityExpansions = 10000;
// Deeper documents are refused before anything walks them: the serializer, the
// text reader and the node release all recurse once per level.
constexpr int MaxNestingDepth = 256;

class FatalErrorCounter : public ErrorHandler {
public:
    void warning(const SAXParseException&) override {}
    void error(const SAXParseException&) override { ++errors_; }
    void fatalError(const SAXParseException&) override { ++errors_; }
    void resetErrors() override { errors_ = 0; }
    int Errors() const { return errors_; }

private:
    int errors_ = 0;
};

// An entity declaration ends the parse before any content is read: a small file can
// declare entities that expand to gigabytes, so no exchange file may declare any.
struct EntityDeclared {};

class NoEntitiesParser : public XercesDOMParser {
public:
    void entityDecl(const DTDEntityDecl&, const bool, const bool) override { throw EntityDeclared(); }
};

template <typename T>
struct XercesRelease {
    void operator()(T* object) const { object->release(); }
};

std::string Utf8(const XMLCh* text) { return text == nullptr ? std::string() : GS::Utf16ToUtf8(std::u16string(text)); }

bool IsElementNamed(const DOMNode* node, const XMLCh* name)
{
    return node->getNodeType() == DOMNode::ELEMENT_NODE && XMLString::equals(node->getNodeName(), name);
}

ExchangePoint ReadPoint(const DOMElement& element, bool& originSeen)
{
    ExchangePoint point;
    point.id = GS::UniString(std::u16string(element.getAttribute(u"uuid")));
    for (const DOMNode* child = element.getFirstChild(); child != nullptr; child = child->getNextSibling()) {
        if (IsElementNamed(child, u"Point3d")) {
            point.point3d = Utf8(child->getTextContent());
        } else if (IsElementNamed(child, u"Origin3d")) {
            point.origin3d = Utf8(child->getTextContent());
            originSeen = true;
        }
    }
    return point;
}

void ReadAnnotation(const DOMNode& node, ExchangeAnnotation& annotation)
{
    for (const DOMNode* child = node.getFirstChild(); child != nullptr; child = child->getNextSibling()) {
        if (!IsElementNamed(child, u"Element")) continue;
        const auto& element = static_cast<const DOMElement&>(*child);
        if (!XMLString::equals(element.getAttribute(u"type"), u"point")) continue;
        annotation.pointSeen = true;
        annotation.points.push_back(ReadPoint(element, annotation.originSeen));
    }
}

void TakeAnnotation(DOMDocument& document, ExchangeAnnotation& annotation)
{
    DOMElement* root = document.getDocumentElement();
    for (DOMNode* child = root->getFirstChild(); child != nullptr; child = child->getNextSibling()) {
        if (!IsElementNamed(child, u"Annotation")) continue;
        if (child->hasChildNodes()) {
            ReadAnnotation(*child, annotation);
            root->removeChild(child)->release();
        }
        return;
    }
}

// Counts without recursion, so any depth can be measured.
bool NestedDeeperThan(const DOMNode& document, int limit)
{
    int depth = 1;
    const DOMNode* node = document.getFirstChild();
    while (node != nullptr) {
        if (depth > limit) return true;
        if (const DOMNode* child = node->getFirstChild()) {
            node = child;
            ++depth;
            continue;
        }
        while (node->getNextSibling() == nullptr) {
            node = node->getParentNode();
            --depth;
            if (node == nullptr || node == &document) return false;
        }
        node = node->getNextSibling();
    }
    return false;
}

bool Serialize(const DOMDocument& document, std::string& bytes)
{
    DOMImplementation* implementation = DOMImplementationRegistry::getDOMImplementation(u"LS");
    if (implementation == nullptr) return false;
    const std::unique_ptr<DOMLSSerializer, XercesRelease<DOMLSSerializer>> serializer(implementation->createLSSerializer());
    const std::unique_ptr<DOMLSOutput, XercesRelease<DOMLSOutput>> output(implementation->createLSOutput());
    MemBufFormatTarget target;
    output->setByteStream(&target);
    output->setEncoding(u"UTF-8");
    if (!serializer->write(&document, output.get())) return false;
    bytes.assign(reinterpret_cast<const char*>(target.getRawBuffer()), target.getLen());
    return true;
}

// The file comes from a folder every program can write: no DTD is fetched, no
// external entity is opened, and entity expansion is bounded.
void ConfigureSafely(XercesDOMParser& parser, SecurityManager& security, ErrorHandler& errors)
{
    parser.setValidationScheme(XercesDOMParser::Val_Never);
    parser.setDoNamespaces(false);
    parser.setDoSchema(false);
    parser.setLoadExternalDTD(false);
    parser.setDisableDefaultEntityResolution(true);
    security.setEntityExpansionLimit(MaxEntityExpansions);
    parser.setSecurityManager(&security);
    parser.setErrorHandler(&errors);
}

bool ParseAndTake(const std::string& bytes, ExchangeAnnotation& annotation, std::string& rewritten)
{
    NoEntitiesParser parser;
    SecurityManager security;
    FatalErrorCounter errors;
    ConfigureSafely(parser, security, errors);
    const MemBufInputSource source(reinterpret_cast<const XMLByte*>(bytes.data()), bytes.size(), "Baba", false);
    parser.parse(source);
    DOMDocument* document = parser.getDocument();
    if (errors.Errors() != 0 || document == nullptr || document->getDocumentElement() == nullptr) return false;
    if (NestedDeeperThan(*document, MaxNestingDepth)) return false;
    ExchangeAnnotation taken;
    TakeAnnotation(*document, taken);
    if (!Serialize(*document, rewritten)) return false;
    annotation = std::move(taken);
    return true;
}

}  // namespace

bool TakeFirstAnnotation(const std::string& bytes, ExchangeAnnotation& annotation, std::string& rewritten)
{
    try {
        // The same guard as the E57 reader's: Xerces starts once for both.
        const e57::XercesGuard xml;
        return ParseAndTake(bytes, annotation, rewritten);
    } catch (...) {
        // Whatever the parser throws ends here: nothing is taken and the file stays.
        return false;
    }
}
