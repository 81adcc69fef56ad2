// Nodes, node lists and attribute maps of the DOM component.
#include <oleauto.h>
#include <xlplatform/world.h>

#include <new>

#include "dom_objects.h"

namespace xlplatform {
namespace {

const char* Text(const xmlChar* text) {
    return reinterpret_cast<const char*>(text);
}

bool IsXmlSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// "prefix:name" for a node in a namespace with a prefix.
std::string QualifiedName(const xmlChar* name, const xmlNs* ns) {
    std::string qualified;
    if (ns != nullptr && ns->prefix != nullptr) qualified = std::string(Text(ns->prefix)) + ':';
    if (name != nullptr) qualified += Text(name);
    return qualified;
}

// Only elements and attributes carry an `ns`; the other kinds of node are told
// apart before any member beyond the common head is read.
std::string NameOf(xmlNodePtr node) {
    switch (node->type) {
        case XML_ELEMENT_NODE:
            return QualifiedName(node->name, node->ns);
        case XML_ATTRIBUTE_NODE:
            return QualifiedName(node->name, reinterpret_cast<xmlAttrPtr>(node)->ns);
        case XML_PI_NODE:
            return node->name != nullptr ? Text(node->name) : "";
        case XML_TEXT_NODE:
            return "#text";
        case XML_CDATA_SECTION_NODE:
            return "#cdata-section";
        case XML_COMMENT_NODE:
            return "#comment";
        case XML_DOCUMENT_NODE:
            return "#document";
        case XML_DOCUMENT_FRAG_NODE:
            return "#document-fragment";
        default:
            return "";
    }
}

// Text and CDATA below the node, in document order; attributes of elements and
// comments are not part of an element's text.
void AppendText(xmlNodePtr node, std::string& out) {
    switch (node->type) {
        case XML_TEXT_NODE:
        case XML_CDATA_SECTION_NODE:
            if (node->content != nullptr) out += Text(node->content);
            return;
        case XML_ELEMENT_NODE:
        case XML_ATTRIBUTE_NODE:
        case XML_DOCUMENT_NODE:
        case XML_DOCUMENT_FRAG_NODE:
            for (xmlNodePtr child = node->children; child != nullptr; child = child->next)
                AppendText(child, out);
            return;
        default:
            return;
    }
}

xmlAttrPtr FindAttribute(xmlNodePtr element, std::string_view name) {
    for (xmlAttrPtr attribute = element->properties; attribute != nullptr;
         attribute = attribute->next)
        if (QualifiedName(attribute->name, attribute->ns) == name) return attribute;
    return nullptr;
}

class Node final : public NodeObject<IXMLDOMElement> {
  public:
    Node(XmlTree tree, xmlNodePtr node) : tree_(std::move(tree)), node_(node) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (object == nullptr) return E_POINTER;
        const bool element = node_->type == XML_ELEMENT_NODE;
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IXMLDOMNode ||
            (element && iid == IID_IXMLDOMElement)) {
            *object = static_cast<IXMLDOMElement*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }

    HRESULT STDMETHODCALLTYPE get_tagName(BSTR* tagName) override {
        return NodeName(node_, tagName);
    }

    HRESULT STDMETHODCALLTYPE getAttribute(BSTR name, VARIANT* value) override {
        if (value == nullptr) return E_POINTER;
        VariantInit(value);
        value->vt = VT_NULL;
        if (name == nullptr) return E_INVALIDARG;
        if (node_->type != XML_ELEMENT_NODE) return S_FALSE;
        const xmlAttrPtr attribute = FindAttribute(node_, BstrToUtf8(name));
        if (attribute == nullptr) return S_FALSE;
        std::string text;
        AppendText(reinterpret_cast<xmlNodePtr>(attribute), text);
        BSTR bstr = nullptr;
        const HRESULT made = MakeBstr(text, &bstr);
        if (FAILED(made)) return made;
        value->vt = VT_BSTR;
        value->bstrVal = bstr;
        return S_OK;
    }

  protected:
    const XmlTree& Tree() const override { return tree_; }
    xmlNodePtr Target() const override { return node_; }

  private:
    XmlTree tree_;
    xmlNodePtr node_;
};

class NodeList final : public DispatchObject<IXMLDOMNodeList> {
  public:
    NodeList(XmlTree tree, std::vector<xmlNodePtr> nodes)
        : tree_(std::move(tree)), nodes_(std::move(nodes)) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (object == nullptr) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IXMLDOMNodeList) {
            *object = static_cast<IXMLDOMNodeList*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }

    HRESULT STDMETHODCALLTYPE get_item(LONG index, IXMLDOMNode** item) override {
        if (item == nullptr) return E_POINTER;
        *item = nullptr;
        if (index < 0 || static_cast<size_t>(index) >= nodes_.size()) return S_FALSE;
        *item = MakeNode(tree_, nodes_[static_cast<size_t>(index)]);
        return *item != nullptr ? S_OK : E_OUTOFMEMORY;
    }
    HRESULT STDMETHODCALLTYPE get_length(LONG* length) override {
        if (length == nullptr) return E_POINTER;
        *length = static_cast<LONG>(nodes_.size());
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE nextNode(IXMLDOMNode** item) override {
        if (item == nullptr) return E_POINTER;
        *item = nullptr;
        if (cursor_ >= nodes_.size()) return S_FALSE;
        *item = MakeNode(tree_, nodes_[cursor_]);
        if (*item == nullptr) return E_OUTOFMEMORY;
        ++cursor_;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE reset() override {
        cursor_ = 0;
        return S_OK;
    }

  private:
    XmlTree tree_;
    std::vector<xmlNodePtr> nodes_;
    size_t cursor_ = 0;
};

class AttributeMap final : public DispatchObject<IXMLDOMNamedNodeMap> {
  public:
    AttributeMap(XmlTree tree, xmlNodePtr element) : tree_(std::move(tree)), element_(element) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (object == nullptr) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IXMLDOMNamedNodeMap) {
            *object = static_cast<IXMLDOMNamedNodeMap*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }

    HRESULT STDMETHODCALLTYPE getNamedItem(BSTR name, IXMLDOMNode** item) override {
        if (item == nullptr) return E_POINTER;
        *item = nullptr;
        if (name == nullptr) return E_INVALIDARG;
        const xmlAttrPtr attribute = FindAttribute(element_, BstrToUtf8(name));
        if (attribute == nullptr) return S_FALSE;
        *item = MakeNode(tree_, reinterpret_cast<xmlNodePtr>(attribute));
        return *item != nullptr ? S_OK : E_OUTOFMEMORY;
    }
    HRESULT STDMETHODCALLTYPE get_item(LONG index, IXMLDOMNode** item) override {
        if (item == nullptr) return E_POINTER;
        *item = nullptr;
        xmlAttrPtr attribute = element_->properties;
        for (LONG i = 0; attribute != nullptr && i < index; ++i) attribute = attribute->next;
        if (index < 0 || attribute == nullptr) return S_FALSE;
        *item = MakeNode(tree_, reinterpret_cast<xmlNodePtr>(attribute));
        return *item != nullptr ? S_OK : E_OUTOFMEMORY;
    }
    HRESULT STDMETHODCALLTYPE get_length(LONG* length) override {
        if (length == nullptr) return E_POINTER;
        LONG count = 0;
        for (xmlAttrPtr a = element_->properties; a != nullptr; a = a->next) ++count;
        *length = count;
        return S_OK;
    }

  private:
    XmlTree tree_;
    xmlNodePtr element_;
};

HRESULT MakeList(const XmlTree& tree, std::vector<xmlNodePtr> nodes, IXMLDOMNodeList** list) {
    *list = new (std::nothrow) NodeList(tree, std::move(nodes));
    return *list != nullptr ? S_OK : E_OUTOFMEMORY;
}

}  // namespace

HRESULT MakeBstr(std::string_view utf8, BSTR* out) {
    const std::u16string wide = Utf8ToUtf16(utf8);
    *out = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
    return *out != nullptr ? S_OK : E_OUTOFMEMORY;
}

std::string BstrToUtf8(BSTR text) {
    if (text == nullptr) return {};
    return Utf16ToUtf8(std::u16string_view(text, SysStringLen(text)));
}

IXMLDOMNode* MakeNode(const XmlTree& tree, xmlNodePtr node) {
    return new (std::nothrow) Node(tree, node);
}

HRESULT NodeName(xmlNodePtr node, BSTR* name) {
    if (name == nullptr) return E_POINTER;
    return MakeBstr(node != nullptr ? NameOf(node) : "#document", name);
}

HRESULT NodeType(xmlNodePtr node, DOMNodeType* type) {
    if (type == nullptr) return E_POINTER;
    if (node == nullptr) {
        *type = NODE_DOCUMENT;
        return S_OK;
    }
    switch (node->type) {
        case XML_ELEMENT_NODE:
            *type = NODE_ELEMENT;
            break;
        case XML_ATTRIBUTE_NODE:
            *type = NODE_ATTRIBUTE;
            break;
        case XML_TEXT_NODE:
            *type = NODE_TEXT;
            break;
        case XML_CDATA_SECTION_NODE:
            *type = NODE_CDATA_SECTION;
            break;
        case XML_PI_NODE:
            *type = NODE_PROCESSING_INSTRUCTION;
            break;
        case XML_COMMENT_NODE:
            *type = NODE_COMMENT;
            break;
        case XML_DOCUMENT_NODE:
            *type = NODE_DOCUMENT;
            break;
        case XML_DOCUMENT_FRAG_NODE:
            *type = NODE_DOCUMENT_FRAGMENT;
            break;
        default:
            *type = NODE_INVALID;
            break;
    }
    return S_OK;
}

HRESULT ChildNodes(const XmlTree& tree, xmlNodePtr node, IXMLDOMNodeList** children) {
    if (children == nullptr) return E_POINTER;
    std::vector<xmlNodePtr> nodes;
    if (node != nullptr) {
        switch (node->type) {
            case XML_ELEMENT_NODE:
            case XML_ATTRIBUTE_NODE:
            case XML_DOCUMENT_NODE:
            case XML_DOCUMENT_FRAG_NODE:
                for (xmlNodePtr child = node->children; child != nullptr; child = child->next)
                    nodes.push_back(child);
                break;
            default:
                break;
        }
    }
    return MakeList(tree, std::move(nodes), children);
}

HRESULT Attributes(const XmlTree& tree, xmlNodePtr node, IXMLDOMNamedNodeMap** attributes) {
    if (attributes == nullptr) return E_POINTER;
    *attributes = nullptr;
    if (node == nullptr || node->type != XML_ELEMENT_NODE) return S_FALSE;
    *attributes = new (std::nothrow) AttributeMap(tree, node);
    return *attributes != nullptr ? S_OK : E_OUTOFMEMORY;
}

HRESULT NodeText(xmlNodePtr node, BSTR* text) {
    if (text == nullptr) return E_POINTER;
    std::string collected;
    if (node != nullptr) AppendText(node, collected);
    size_t begin = 0, end = collected.size();
    while (begin < end && IsXmlSpace(collected[begin])) ++begin;
    while (end > begin && IsXmlSpace(collected[end - 1])) --end;
    return MakeBstr(std::string_view(collected).substr(begin, end - begin), text);
}

HRESULT SelectNodes(const XmlTree& tree, xmlNodePtr node, BSTR query, IXMLDOMNodeList** list) {
    if (list == nullptr) return E_POINTER;
    *list = nullptr;
    std::vector<xmlNodePtr> nodes;
    const HRESULT selected = Select(tree, node, query, nodes);
    if (FAILED(selected)) return selected;
    return MakeList(tree, std::move(nodes), list);
}

HRESULT SelectSingleNode(const XmlTree& tree, xmlNodePtr node, BSTR query, IXMLDOMNode** found) {
    if (found == nullptr) return E_POINTER;
    *found = nullptr;
    std::vector<xmlNodePtr> nodes;
    const HRESULT selected = Select(tree, node, query, nodes);
    if (FAILED(selected)) return selected;
    if (nodes.empty()) return S_FALSE;
    *found = MakeNode(tree, nodes.front());
    return *found != nullptr ? S_OK : E_OUTOFMEMORY;
}

}  // namespace xlplatform
