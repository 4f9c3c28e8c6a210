#include "platform/msxml_document.h"

#include <windows.h>
#include <msxml2.h>
#include <oleauto.h>

#include "platform/wide.h"

namespace platform {

namespace {

// MSXML 3.0 DOMDocument.
const CLSID kDomDocument30 = {
    0xF5078F32, 0xC551, 0x11D3, {0x89, 0xB9, 0x00, 0x00, 0xF8, 0x1F, 0xE2, 0x21}};
// IXMLDOMDocument2, which carries setProperty; not in every tool chain's uuid library.
const IID kDomDocument2 = {
    0x2933BF95, 0x7B36, 0x11D2, {0xB2, 0x0E, 0x00, 0xC0, 0x4F, 0x98, 0x3E, 0x60}};

class Bstr {
public:
    explicit Bstr(std::u16string_view s)
        : b_(SysAllocStringLen(reinterpret_cast<const OLECHAR*>(s.data()),
                               static_cast<UINT>(s.size()))) {}
    Bstr() = default;
    ~Bstr() { SysFreeString(b_); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    BSTR get() const { return b_; }
    BSTR* put() {
        SysFreeString(b_);
        b_ = nullptr;
        return &b_;
    }
    std::u16string text() const {
        return b_ ? std::u16string(reinterpret_cast<const char16_t*>(b_), SysStringLen(b_)) : u"";
    }
    bool ok() const { return b_ != nullptr; }

private:
    BSTR b_ = nullptr;
};

// A VARIANT holding a string; cleared on destruction.
class StringVariant {
public:
    explicit StringVariant(std::u16string_view s) {
        VariantInit(&v_);
        v_.vt = VT_BSTR;
        v_.bstrVal = SysAllocStringLen(reinterpret_cast<const OLECHAR*>(s.data()),
                                       static_cast<UINT>(s.size()));
    }
    ~StringVariant() { VariantClear(&v_); }
    StringVariant(const StringVariant&) = delete;
    StringVariant& operator=(const StringVariant&) = delete;
    const VARIANT& get() const { return v_; }
    bool ok() const { return v_.bstrVal != nullptr; }

private:
    VARIANT v_;
};

bool isElement(IXMLDOMNode* n) {
    DOMNodeType type = NODE_INVALID;
    return SUCCEEDED(n->get_nodeType(&type)) && type == NODE_ELEMENT;
}

// `n` itself or its first following sibling that is an element.
ComPtr<IXMLDOMNode> elementFrom(ComPtr<IXMLDOMNode> n) {
    while (n && !isElement(n.get())) {
        ComPtr<IXMLDOMNode> next;
        if (n->get_nextSibling(next.put()) != S_OK) return {};
        n = next;
    }
    return n;
}

class MsxmlNode : public scribo::XmlNode {
public:
    explicit MsxmlNode(ComPtr<IXMLDOMNode> n) : n_(std::move(n)) {}
    static std::unique_ptr<scribo::XmlNode> wrap(ComPtr<IXMLDOMNode> n) {
        return n ? std::make_unique<MsxmlNode>(std::move(n)) : nullptr;
    }
    IXMLDOMNode* node() const { return n_.get(); }

    std::unique_ptr<scribo::XmlNode> firstChild() const override {
        ComPtr<IXMLDOMNode> c;
        if (n_->get_firstChild(c.put()) != S_OK) return nullptr;
        return wrap(elementFrom(c));
    }
    std::unique_ptr<scribo::XmlNode> nextSibling() const override {
        ComPtr<IXMLDOMNode> c;
        if (n_->get_nextSibling(c.put()) != S_OK) return nullptr;
        return wrap(elementFrom(c));
    }
    std::u16string name() const override {
        Bstr b;
        return SUCCEEDED(n_->get_nodeName(b.put())) ? b.text() : u"";
    }
    bool setAttribute(std::u16string_view name, std::u16string_view value) override {
        ComPtr<IXMLDOMElement> e = element();
        Bstr key(name);
        StringVariant v(value);
        return e && key.ok() && v.ok() && e->setAttribute(key.get(), v.get()) == S_OK;
    }
    bool setText(std::u16string_view text) override {
        Bstr b(text);
        return b.ok() && n_->put_text(b.get()) == S_OK;
    }
    bool append(scribo::XmlNode& child) override {
        ComPtr<IXMLDOMNode> out;
        return n_->appendChild(static_cast<MsxmlNode&>(child).node(), out.put()) == S_OK;
    }
    bool remove(scribo::XmlNode& child) override {
        ComPtr<IXMLDOMNode> out;
        return n_->removeChild(static_cast<MsxmlNode&>(child).node(), out.put()) == S_OK;
    }
    std::optional<std::u16string> attribute(std::u16string_view name) const override {
        ComPtr<IXMLDOMElement> e = element();
        Bstr key(name);
        if (!e || !key.ok()) return std::nullopt;
        VARIANT v;
        VariantInit(&v);
        std::optional<std::u16string> result;
        if (e->getAttribute(key.get(), &v) == S_OK && v.vt == VT_BSTR && v.bstrVal != nullptr)
            result = std::u16string(reinterpret_cast<const char16_t*>(v.bstrVal),
                                    SysStringLen(v.bstrVal));
        VariantClear(&v);
        return result;
    }
    std::u16string text() const override {
        Bstr b;
        return SUCCEEDED(n_->get_text(b.put())) ? b.text() : u"";
    }

private:
    ComPtr<IXMLDOMElement> element() const {
        ComPtr<IXMLDOMElement> e;
        n_->QueryInterface(IID_IXMLDOMElement, reinterpret_cast<void**>(e.put()));
        return e;
    }

    ComPtr<IXMLDOMNode> n_;
};

// A file to load comes from anywhere (an import, a configuration file someone replaced), so the
// parser takes no document type declaration at all: no internal entity expansion ("billion
// laughs"), no external entity or DTD fetched, no validation. Loads are synchronous and the
// whitespace between elements is not kept. False when the parser refuses one of these settings.
bool applyParserSettings(IXMLDOMDocument* doc) {
    ComPtr<IXMLDOMDocument2> doc2;
    if (FAILED(doc->QueryInterface(kDomDocument2, reinterpret_cast<void**>(doc2.put()))) || !doc2)
        return false;
    Bstr prohibitDtd(u"ProhibitDTD");
    VARIANT on;
    VariantInit(&on);
    on.vt = VT_BOOL;
    on.boolVal = VARIANT_TRUE;
    return prohibitDtd.ok() && SUCCEEDED(doc2->setProperty(prohibitDtd.get(), on)) &&
           SUCCEEDED(doc->put_resolveExternals(VARIANT_FALSE)) &&
           SUCCEEDED(doc->put_validateOnParse(VARIANT_FALSE)) &&
           SUCCEEDED(doc->put_async(VARIANT_FALSE)) &&
           SUCCEEDED(doc->put_preserveWhiteSpace(VARIANT_FALSE));
}

class MsxmlDocument : public scribo::XmlDocument {
public:
    explicit MsxmlDocument(ComPtr<IXMLDOMDocument> doc) : doc_(std::move(doc)) {}

    bool load(const std::u16string& path) override {
        StringVariant source(path);
        VARIANT_BOOL ok = VARIANT_FALSE;
        if (!source.ok() || doc_->load(source.get(), &ok) != S_OK || ok != VARIANT_TRUE)
            return false;
        // A parser that ignores ProhibitDTD still reports the declaration it read: such a
        // document is refused all the same, and its tree is not kept.
        ComPtr<IXMLDOMDocumentType> type;
        if (doc_->get_doctype(type.put()) == S_OK && type) {
            Bstr nothing(u"");
            VARIANT_BOOL cleared = VARIANT_FALSE;
            doc_->loadXML(nothing.get(), &cleared);
            return false;
        }
        return true;
    }
    std::unique_ptr<scribo::XmlNode> documentElement() const override {
        ComPtr<IXMLDOMElement> root;
        if (doc_->get_documentElement(root.put()) != S_OK || !root) return nullptr;
        ComPtr<IXMLDOMNode> node;
        root->QueryInterface(IID_IXMLDOMNode, reinterpret_cast<void**>(node.put()));
        return MsxmlNode::wrap(node);
    }
    std::unique_ptr<scribo::XmlNode> createElement(std::u16string_view name) override {
        VARIANT type;
        VariantInit(&type);
        type.vt = VT_I4;
        type.lVal = NODE_ELEMENT;
        Bstr tag(name);
        Bstr noNamespace(u"");
        ComPtr<IXMLDOMNode> node;
        if (!tag.ok() || doc_->createNode(type, tag.get(), noNamespace.get(), node.put()) != S_OK)
            return nullptr;
        return MsxmlNode::wrap(node);
    }
    bool save(const std::u16string& path) override {
        StringVariant target(path);
        return target.ok() && doc_->save(target.get()) == S_OK;
    }

private:
    ComPtr<IXMLDOMDocument> doc_;
};

}  // namespace

std::unique_ptr<scribo::XmlDocument> MsxmlFactory::createDocument() {
    if (!com_) com_ = std::make_unique<ComInit>();
    if (!com_->usable()) {
        com_.reset();  // try again next time
        return nullptr;
    }
    ComPtr<IXMLDOMDocument> doc;
    if (FAILED(CoCreateInstance(kDomDocument30, nullptr, CLSCTX_INPROC_SERVER, IID_IXMLDOMDocument,
                                reinterpret_cast<void**>(doc.put()))) ||
        !doc || !applyParserSettings(doc.get()))
        return nullptr;
    return std::make_unique<MsxmlDocument>(std::move(doc));
}

}  // namespace platform
