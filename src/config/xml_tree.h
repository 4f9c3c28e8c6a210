// The small XML DOM the configuration file code needs, so the positional walk stays portable.
// The product implements it over MSXML (src/platform/msxml_document.h); tests use a native DOM.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace scribo {

// One element. Positions in the configuration tree count elements only: comments, processing
// instructions and text between elements are never a position.
class XmlNode {
public:
    virtual ~XmlNode() = default;

    virtual std::unique_ptr<XmlNode> firstChild() const = 0;   // first child element or null
    virtual std::unique_ptr<XmlNode> nextSibling() const = 0;  // next sibling element or null
    virtual std::u16string name() const = 0;

    // Writers; false when the DOM reports an error.
    virtual bool setAttribute(std::u16string_view name, std::u16string_view value) = 0;
    virtual bool setText(std::u16string_view text) = 0;  // replaces everything inside the element
    virtual bool append(XmlNode& child) = 0;
    virtual bool remove(XmlNode& child) = 0;

    // Readers (the service's side of the format).
    virtual std::optional<std::u16string> attribute(std::u16string_view name) const = 0;
    virtual std::u16string text() const = 0;
};

class XmlDocument {
public:
    virtual ~XmlDocument() = default;
    // Loads a file, dropping whitespace-only text; false when missing or not well-formed.
    virtual bool load(const std::u16string& path) = 0;
    virtual std::unique_ptr<XmlNode> documentElement() const = 0;  // null when empty
    virtual std::unique_ptr<XmlNode> createElement(std::u16string_view name) = 0;  // null on error
    // Writes the whole document to `path`; false when the file could not be written completely.
    virtual bool save(const std::u16string& path) = 0;
};

class XmlDocumentFactory {
public:
    virtual ~XmlDocumentFactory() = default;
    // A new empty document, or null when the DOM implementation cannot be created.
    virtual std::unique_ptr<XmlDocument> createDocument() = 0;
};

}  // namespace scribo
