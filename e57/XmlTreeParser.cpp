#include "e57/XmlTreeParser.hpp"

#include <xercesc/framework/MemBufInputSource.hpp>
#include <xercesc/sax2/Attributes.hpp>
#include <xercesc/sax2/SAX2XMLReader.hpp>
#include <xercesc/sax2/XMLReaderFactory.hpp>
#include <xercesc/util/TransService.hpp>
#include <xercesc/util/XMLException.hpp>
#include <xercesc/util/XMLUni.hpp>

#include <charconv>
#include <cmath>
#include <limits>

#include "e57/E57Exception.hpp"
#include "e57/XercesGuard.hpp"

namespace e57 {
namespace {

std::string toUtf8(const XMLCh* text, XMLSize_t length) {
    if (!text || length == 0) return {};
    const xercesc::TranscodeToStr utf8(text, length, "UTF-8");
    return std::string(reinterpret_cast<const char*>(utf8.str()), utf8.length());
}

std::string toUtf8(const XMLCh* text) {
    return text ? toUtf8(text, xercesc::XMLString::stringLen(text)) : std::string();
}

std::string trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

[[noreturn]] void badNumber(const std::string& what, const std::string& text) {
    throw E57Exception(ErrorCode::BadXml, what + " is not a valid number: '" + text + "'");
}

template <typename Integer>
Integer parseInteger(const std::string& raw, const std::string& what) {
    std::string text = trimmed(raw);
    if (text.empty()) return 0;
    const char* begin = text.data();
    if (*begin == '+') ++begin;
    Integer value{};
    const auto [end, error] = std::from_chars(begin, text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) badNumber(what, text);
    return value;
}

double parseDouble(const std::string& raw, const std::string& what) {
    std::string text = trimmed(raw);
    if (text.empty()) return 0.0;
    const char* begin = text.data();
    if (*begin == '+') ++begin;
    double value = 0.0;
    const auto [end, error] = std::from_chars(begin, text.data() + text.size(), value);
    if (end != text.data() + text.size()) badNumber(what, text);
    if (error == std::errc::result_out_of_range) {
        // Some writers put +-1.8e308 for "no bound": saturate instead of refusing.
        const auto exponent = text.find_first_of("eE");
        const bool tiny = exponent != std::string::npos && text[exponent + 1] == '-';
        const double magnitude = tiny ? 0.0 : std::numeric_limits<double>::infinity();
        return text[0] == '-' ? -magnitude : magnitude;
    }
    if (error != std::errc()) badNumber(what, text);
    return value;
}

NodeType parseType(const std::string& type, const std::string& elementName) {
    static const std::pair<const char*, NodeType> kTypes[] = {{"Structure", NodeType::Structure},
                                                              {"Vector", NodeType::Vector},
                                                              {"CompressedVector", NodeType::CompressedVector},
                                                              {"Integer", NodeType::Integer},
                                                              {"ScaledInteger", NodeType::ScaledInteger},
                                                              {"Float", NodeType::Float},
                                                              {"String", NodeType::String},
                                                              {"Blob", NodeType::Blob}};
    for (const auto& [name, value] : kTypes)
        if (type == name) return value;
    if (type.empty()) throw E57Exception(ErrorCode::BadXml, "element '" + elementName + "' has no type attribute");
    throw E57Exception(ErrorCode::BadXml, "element '" + elementName + "' has unknown type '" + type + "'");
}

bool isContainer(NodeType type) {
    return type == NodeType::Structure || type == NodeType::Vector || type == NodeType::CompressedVector;
}

}  // namespace

std::unique_ptr<Element> XmlTreeParser::parse(const char* data, std::size_t size) {
    const XercesGuard guard;
    XmlTreeParser handler;
    {
        const std::unique_ptr<xercesc::SAX2XMLReader> reader(xercesc::XMLReaderFactory::createXMLReader());
        reader->setFeature(xercesc::XMLUni::fgSAX2CoreNameSpaces, true);
        reader->setFeature(xercesc::XMLUni::fgSAX2CoreValidation, false);
        reader->setFeature(xercesc::XMLUni::fgXercesSchema, false);
        reader->setFeature(xercesc::XMLUni::fgXercesLoadExternalDTD, false);
        reader->setFeature(xercesc::XMLUni::fgXercesDisableDefaultEntityResolution, true);
        reader->setContentHandler(&handler);
        reader->setErrorHandler(&handler);
        reader->setLexicalHandler(&handler);
        reader->setEntityResolver(&handler);
        const xercesc::MemBufInputSource source(reinterpret_cast<const XMLByte*>(data), size, "e57-xml");
        try {
            reader->parse(source);
        } catch (const xercesc::XMLException& exception) {
            throw E57Exception(ErrorCode::BadXml, toUtf8(exception.getMessage()));
        } catch (const xercesc::SAXException& exception) {
            throw E57Exception(ErrorCode::BadXml, toUtf8(exception.getMessage()));
        }
    }
    if (!handler.root_) throw E57Exception(ErrorCode::BadXml, "no root element");
    if (handler.root_->type != NodeType::Structure)
        throw E57Exception(ErrorCode::BadXml, "root element is not a Structure");
    return std::move(handler.root_);
}

void XmlTreeParser::startElement(const XMLCh*, const XMLCh*, const XMLCh* qualifiedName,
                                 const xercesc::Attributes& attributes) {
    if (open_.size() >= kMaxDepth)
        throw E57Exception(ErrorCode::BadXml, "elements nested deeper than " + std::to_string(kMaxDepth) + " levels");
    auto element = std::make_unique<Element>();
    element->name = toUtf8(qualifiedName);
    element->type = parseType(toUtf8(attributes.getValue(u"type")), element->name);
    readAttributes(*element, attributes);
    Element* raw = element.get();
    if (open_.empty()) {
        root_ = std::move(element);
    } else {
        Element* parent = open_.back();
        if (!isContainer(parent->type))
            throw E57Exception(ErrorCode::BadXml, describe(*parent) + " cannot have child elements");
        element->parent = parent;
        parent->children.push_back(std::move(element));
    }
    open_.push_back(raw);
    text_.clear();
}

void XmlTreeParser::endElement(const XMLCh*, const XMLCh*, const XMLCh*) {
    if (open_.empty()) return;
    storeText(*open_.back());
    open_.pop_back();
    text_.clear();
}

void XmlTreeParser::characters(const XMLCh* chars, XMLSize_t length) {
    if (!open_.empty() && !isContainer(open_.back()->type)) text_ += toUtf8(chars, length);
}

void XmlTreeParser::startDTD(const XMLCh*, const XMLCh*, const XMLCh*) {
    throw E57Exception(ErrorCode::BadXml, "document type declarations are not allowed");
}

xercesc::InputSource* XmlTreeParser::resolveEntity(const XMLCh*, const XMLCh* systemId) {
    throw E57Exception(ErrorCode::BadXml, "external entity '" + toUtf8(systemId) + "' is not allowed");
}

void XmlTreeParser::error(const xercesc::SAXParseException& exception) { fatalError(exception); }

void XmlTreeParser::fatalError(const xercesc::SAXParseException& exception) {
    throw E57Exception(ErrorCode::BadXml, "line " + std::to_string(exception.getLineNumber()) + " column " +
                                              std::to_string(exception.getColumnNumber()) + ": " +
                                              toUtf8(exception.getMessage()));
}

std::string XmlTreeParser::describe(const Element& element) const {
    return std::string(nodeTypeName(element.type)) + " element '" + element.name + "'";
}

void XmlTreeParser::readAttributes(Element& element, const xercesc::Attributes& attributes) const {
    const auto attribute = [&](const char16_t* name) { return toUtf8(attributes.getValue(name)); };
    const auto required = [&](const char16_t* name, const char* label) {
        const XMLCh* value = attributes.getValue(name);
        if (!value) throw E57Exception(ErrorCode::BadXml, describe(element) + " lacks the attribute " + label);
        return toUtf8(value);
    };
    const std::string what = describe(element);
    switch (element.type) {
        case NodeType::Integer:
        case NodeType::ScaledInteger:
            if (attributes.getValue(u"minimum"))
                element.minimum = parseInteger<std::int64_t>(attribute(u"minimum"), what + " minimum");
            if (attributes.getValue(u"maximum"))
                element.maximum = parseInteger<std::int64_t>(attribute(u"maximum"), what + " maximum");
            if (element.minimum > element.maximum)
                throw E57Exception(ErrorCode::BadXml, what + " has minimum above maximum");
            if (element.type == NodeType::ScaledInteger) {
                if (attributes.getValue(u"scale")) element.scale = parseDouble(attribute(u"scale"), what + " scale");
                if (attributes.getValue(u"offset"))
                    element.offset = parseDouble(attribute(u"offset"), what + " offset");
            }
            break;
        case NodeType::Float: {
            const std::string precision = attribute(u"precision");
            if (precision == "single")
                element.singlePrecision = true;
            else if (!precision.empty() && precision != "double")
                throw E57Exception(ErrorCode::BadXml, what + " has unknown precision '" + precision + "'");
            break;
        }
        case NodeType::CompressedVector:
            element.fileOffset = parseInteger<std::uint64_t>(required(u"fileOffset", "fileOffset"), what);
            element.count = parseInteger<std::uint64_t>(required(u"recordCount", "recordCount"), what);
            break;
        case NodeType::Blob:
            element.fileOffset = parseInteger<std::uint64_t>(required(u"fileOffset", "fileOffset"), what);
            element.count = parseInteger<std::uint64_t>(required(u"length", "length"), what);
            break;
        default: break;
    }
}

void XmlTreeParser::storeText(Element& element) const {
    const std::string what = describe(element) + " value";
    switch (element.type) {
        case NodeType::Integer:
        case NodeType::ScaledInteger: element.integerValue = parseInteger<std::int64_t>(text_, what); break;
        case NodeType::Float: element.floatValue = parseDouble(text_, what); break;
        case NodeType::String: element.stringValue = text_; break;
        default: break;
    }
}

}  // namespace e57
