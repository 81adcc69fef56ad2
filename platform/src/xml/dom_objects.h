// The DOM component's objects over a libxml2 tree. Every node, list and
// attribute map holds a reference to the tree it came from, so it stays valid
// after the document is released or loads another file.
#pragma once

#include <atomic>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <libxml/tree.h>
#include <msxml.h>

#include "dispatch_object.h"

namespace xlplatform {

using XmlTree = std::shared_ptr<xmlDoc>;

// A new BSTR with the UTF-16 form of `utf8`; E_OUTOFMEMORY when it cannot be made.
HRESULT MakeBstr(std::string_view utf8, BSTR* out);
std::string BstrToUtf8(BSTR text);

// The IXMLDOMNode members over a libxml2 node (null: a document not yet loaded).
HRESULT NodeName(xmlNodePtr node, BSTR* name);
HRESULT NodeType(xmlNodePtr node, DOMNodeType* type);
HRESULT ChildNodes(const XmlTree& tree, xmlNodePtr node, IXMLDOMNodeList** children);
HRESULT Attributes(const XmlTree& tree, xmlNodePtr node, IXMLDOMNamedNodeMap** attributes);
HRESULT NodeText(xmlNodePtr node, BSTR* text);
HRESULT SelectNodes(const XmlTree& tree, xmlNodePtr node, BSTR query, IXMLDOMNodeList** list);
HRESULT SelectSingleNode(const XmlTree& tree, xmlNodePtr node, BSTR query, IXMLDOMNode** found);

// The nodes an XSL pattern selects from `node`, in document order. E_FAIL for a
// pattern that cannot be read or evaluated; S_OK and no nodes without a tree.
HRESULT Select(const XmlTree& tree, xmlNodePtr node, BSTR query, std::vector<xmlNodePtr>& found);

// A node object for a node of `tree`; null when memory runs out.
IXMLDOMNode* MakeNode(const XmlTree& tree, xmlNodePtr node);

// The parsed tree of a document text, or null when the text is not a
// well-formed document this component accepts.
XmlTree ParseDocument(std::string_view text, bool forceUtf8);

// Implements the IXMLDOMNode members for a class that says which node it stands for.
template <typename Interface>
class NodeObject : public DispatchObject<Interface> {
  public:
    HRESULT STDMETHODCALLTYPE get_nodeName(BSTR* name) override { return NodeName(Target(), name); }
    HRESULT STDMETHODCALLTYPE get_nodeType(DOMNodeType* type) override {
        return NodeType(Target(), type);
    }
    HRESULT STDMETHODCALLTYPE get_childNodes(IXMLDOMNodeList** children) override {
        return ChildNodes(Tree(), Target(), children);
    }
    HRESULT STDMETHODCALLTYPE get_attributes(IXMLDOMNamedNodeMap** attributes) override {
        return Attributes(Tree(), Target(), attributes);
    }
    HRESULT STDMETHODCALLTYPE get_text(BSTR* text) override { return NodeText(Target(), text); }
    HRESULT STDMETHODCALLTYPE selectNodes(BSTR query, IXMLDOMNodeList** list) override {
        return SelectNodes(Tree(), Target(), query, list);
    }
    HRESULT STDMETHODCALLTYPE selectSingleNode(BSTR query, IXMLDOMNode** found) override {
        return SelectSingleNode(Tree(), Target(), query, found);
    }

  protected:
    virtual const XmlTree& Tree() const = 0;
    virtual xmlNodePtr Target() const = 0;
};

}  // namespace xlplatform
