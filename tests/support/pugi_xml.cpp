#include "pugi_xml.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace scribo::testing {

std::string toUtf8(std::u16string_view s) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        char32_t c = s[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < s.size() && s[i + 1] >= 0xDC00 &&
            s[i + 1] < 0xE000)
            c = 0x10000 + ((c - 0xD800) << 10) + (s[++i] - 0xDC00);
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::u16string fromUtf8(std::string_view s) {
    std::u16string out;
    for (std::size_t i = 0; i < s.size();) {
        const unsigned char b = static_cast<unsigned char>(s[i]);
        const int n = b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
        char32_t c = n == 1 ? b : n == 2 ? b & 0x1F : n == 3 ? b & 0x0F : b & 0x07;
        for (int k = 1; k < n && i + k < s.size(); ++k)
            c = (c << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
        i += n;
        if (c >= 0x10000) {
            c -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (c >> 10));
            out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
        } else {
            out += static_cast<char16_t>(c);
        }
    }
    return out;
}

namespace {

pugi::xml_node firstElement(pugi::xml_node n) {
    while (n && n.type() != pugi::node_element) n = n.next_sibling();
    return n;
}

class PugiNode : public XmlNode {
public:
    explicit PugiNode(pugi::xml_node n) : n_(n) {}
    pugi::xml_node node() const { return n_; }

    std::unique_ptr<XmlNode> firstChild() const override {
        return wrap(firstElement(n_.first_child()));
    }
    std::unique_ptr<XmlNode> nextSibling() const override {
        return wrap(firstElement(n_.next_sibling()));
    }
    std::u16string name() const override { return fromUtf8(n_.name()); }
    bool setAttribute(std::u16string_view name, std::u16string_view value) override {
        const std::string key = toUtf8(name);
        pugi::xml_attribute a = n_.attribute(key.c_str());
        if (!a) a = n_.append_attribute(key.c_str());
        return a.set_value(toUtf8(value).c_str());
    }
    bool setText(std::u16string_view text) override {
        while (n_.first_child()) n_.remove_child(n_.first_child());
        if (text.empty()) return true;
        return n_.append_child(pugi::node_pcdata).set_value(toUtf8(text).c_str());
    }
    bool append(XmlNode& child) override {
        return static_cast<bool>(n_.append_move(static_cast<PugiNode&>(child).n_));
    }
    bool remove(XmlNode& child) override {
        return n_.remove_child(static_cast<PugiNode&>(child).n_);
    }
    std::optional<std::u16string> attribute(std::u16string_view name) const override {
        pugi::xml_attribute a = n_.attribute(toUtf8(name).c_str());
        if (!a) return std::nullopt;
        return fromUtf8(a.value());
    }
    std::u16string text() const override { return fromUtf8(n_.text().get()); }

    static std::unique_ptr<XmlNode> wrap(pugi::xml_node n) {
        return n ? std::make_unique<PugiNode>(n) : nullptr;
    }

private:
    pugi::xml_node n_;
};

}  // namespace

bool PugiDocument::load(const std::u16string& path) {
    doc_.reset();
    return static_cast<bool>(doc_.load_file(toUtf8(path).c_str()));
}

bool PugiDocument::loadText(const std::string& xml) {
    doc_.reset();
    return static_cast<bool>(doc_.load_string(xml.c_str()));
}

std::unique_ptr<XmlNode> PugiDocument::documentElement() const {
    return PugiNode::wrap(doc_.document_element());
}

std::unique_ptr<XmlNode> PugiDocument::createElement(std::u16string_view name) {
    // pugixml has no detached nodes: park the new element at document level until appended.
    return PugiNode::wrap(doc_.append_child(toUtf8(name).c_str()));
}

bool PugiDocument::save(const std::u16string& path) {
    ++saves_;
    const std::string text = toText();
    std::ofstream out(toUtf8(path), std::ios::binary | std::ios::trunc);
    if (!out) return false;
    if (text.size() > failAfter_) {
        out.write(text.data(), static_cast<std::streamsize>(failAfter_));
        return false;
    }
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    return static_cast<bool>(out.flush());
}

std::string PugiDocument::toText() const {
    std::ostringstream s;
    doc_.save(s, "  ", pugi::format_indent);
    return s.str();
}

std::unique_ptr<XmlDocument> PugiFactory::createDocument() {
    if (failCreate) return nullptr;
    auto doc = std::make_unique<PugiDocument>();
    last = doc.get();
    ++created;
    return doc;
}

bool NativeFiles::replace(const std::u16string& from, const std::u16string& to) {
    std::error_code ec;
    std::filesystem::rename(toUtf8(from), toUtf8(to), ec);
    return !ec;
}

void NativeFiles::remove(const std::u16string& path) {
    std::error_code ec;
    std::filesystem::remove(toUtf8(path), ec);
}

bool NativeFiles::copy(const std::u16string& from, const std::u16string& to) {
    std::error_code ec;
    std::filesystem::copy_file(toUtf8(from), toUtf8(to),
                               std::filesystem::copy_options::overwrite_existing, ec);
    return !ec;
}

std::string canonicalXml(const std::string& xml) {
    PugiDocument doc;
    if (!doc.loadText(xml)) return "<not well-formed>";
    return doc.toText();
}

}  // namespace scribo::testing
