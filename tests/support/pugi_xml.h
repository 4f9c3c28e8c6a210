// Native backend of the configuration file's XML interface (pugixml), for tests and benchmarks.
#pragma once

#include <pugixml.hpp>

#include <cstddef>
#include <limits>
#include <string>

#include "config/config_writer.h"
#include "config/xml_tree.h"

namespace scribo::testing {

std::string toUtf8(std::u16string_view s);
std::u16string fromUtf8(std::string_view s);

class PugiDocument : public XmlDocument {
public:
    bool load(const std::u16string& path) override;
    bool loadText(const std::string& xml);
    std::unique_ptr<XmlNode> documentElement() const override;
    std::unique_ptr<XmlNode> createElement(std::u16string_view name) override;
    bool save(const std::u16string& path) override;

    std::string toText() const;  // indented, for comparisons
    // Makes save() write only the first `bytes` bytes and then report failure, as a write
    // that breaks off midway (disk full, device gone).
    void failSaveAfter(std::size_t bytes) { failAfter_ = bytes; }
    int saves() const { return saves_; }

private:
    pugi::xml_document doc_;
    std::size_t failAfter_ = std::numeric_limits<std::size_t>::max();
    int saves_ = 0;
};

class PugiFactory : public XmlDocumentFactory {
public:
    std::unique_ptr<XmlDocument> createDocument() override;
    bool failCreate = false;
    PugiDocument* last = nullptr;  // the document handed out last
    int created = 0;
};

// std::filesystem moves and removals.
class NativeFiles : public FileReplacer {
public:
    bool replace(const std::u16string& from, const std::u16string& to) override;
    void remove(const std::u16string& path) override;
    bool copy(const std::u16string& from, const std::u16string& to) override;
};

// Parses `xml` and prints it indented, so trees compare independent of layout.
std::string canonicalXml(const std::string& xml);

}  // namespace scribo::testing
