#pragma once

#include <xercesc/sax2/DefaultHandler.hpp>

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "e57/Element.hpp"

namespace e57 {

// Builds the element tree from the XML section with a SAX parser that loads no DTD,
// resolves no entity and refuses document type declarations outright, so the XML
// can reach neither the network nor the file system.
class XmlTreeParser : public xercesc::DefaultHandler {
public:
    static std::unique_ptr<Element> parse(const char* data, std::size_t size);

    void startElement(const XMLCh* uri, const XMLCh* localName, const XMLCh* qualifiedName,
                      const xercesc::Attributes& attributes) override;
    void endElement(const XMLCh* uri, const XMLCh* localName, const XMLCh* qualifiedName) override;
    void characters(const XMLCh* chars, XMLSize_t length) override;
    void startDTD(const XMLCh* name, const XMLCh* publicId, const XMLCh* systemId) override;
    xercesc::InputSource* resolveEntity(const XMLCh* publicId, const XMLCh* systemId) override;
    void error(const xercesc::SAXParseException& exception) override;
    void fatalError(const xercesc::SAXParseException& exception) override;

private:
    static constexpr std::size_t kMaxDepth = 200;

    XmlTreeParser() = default;
    void readAttributes(Element& element, const xercesc::Attributes& attributes) const;
    void storeText(Element& element) const;
    std::string describe(const Element& element) const;

    std::unique_ptr<Element> root_;
    std::vector<Element*> open_;
    std::string text_;
};

}  // namespace e57
