// The system's XML DOM document component: a document is loaded from a file or
// a text, nodes are selected with XSL patterns, and their names, text, attributes
// and children are read. Only the members the plug-in calls are declared; they
// keep their Windows names, argument types and relative order, so the same
// source builds against the Windows headers (the method table itself is this
// layer's own, shared by the component and its callers).
//
// Selection patterns: the XSL-pattern forms "a/b/c", "//a/b", "a[b]",
// "a[b = "x"]", "a[0]" (positions count from 0) and the comparison operators
// $eq$, $ne$, $lt$, $le$, $gt$, $ge$, $ieq$ and $ine$ (the last two ignore
// the case of ASCII letters), joined by $and$ and $or$, with $not$; XPath
// expressions that use none of these pass through unchanged.
//
// Loading never fetches anything from a network and never expands entities: a
// document with a document type declaration is refused, as is a file that is
// not well-formed or larger than 64 MiB. A refused load answers S_FALSE with
// VARIANT_FALSE.
#pragma once

#include "oaidl.h"

inline constexpr CLSID CLSID_DOMDocument = {
    0x2933BF90, 0x7B36, 0x11D2, {0xB2, 0x0E, 0x00, 0xC0, 0x4F, 0x98, 0x3E, 0x60}};

inline constexpr IID IID_IXMLDOMNode = {
    0x2933BF80, 0x7B36, 0x11D2, {0xB2, 0x0E, 0x00, 0xC0, 0x4F, 0x98, 0x3E, 0x60}};
inline constexpr IID IID_IXMLDOMDocument = {
    0x2933BF81, 0x7B36, 0x11D2, {0xB2, 0x0E, 0x00, 0xC0, 0x4F, 0x98, 0x3E, 0x60}};
inline constexpr IID IID_IXMLDOMNodeList = {
    0x2933BF82, 0x7B36, 0x11D2, {0xB2, 0x0E, 0x00, 0xC0, 0x4F, 0x98, 0x3E, 0x60}};
inline constexpr IID IID_IXMLDOMNamedNodeMap = {
    0x2933BF83, 0x7B36, 0x11D2, {0xB2, 0x0E, 0x00, 0xC0, 0x4F, 0x98, 0x3E, 0x60}};
inline constexpr IID IID_IXMLDOMElement = {
    0x2933BF86, 0x7B36, 0x11D2, {0xB2, 0x0E, 0x00, 0xC0, 0x4F, 0x98, 0x3E, 0x60}};

typedef enum tagDOMNodeType {
    NODE_INVALID = 0,
    NODE_ELEMENT = 1,
    NODE_ATTRIBUTE = 2,
    NODE_TEXT = 3,
    NODE_CDATA_SECTION = 4,
    NODE_ENTITY_REFERENCE = 5,
    NODE_ENTITY = 6,
    NODE_PROCESSING_INSTRUCTION = 7,
    NODE_COMMENT = 8,
    NODE_DOCUMENT = 9,
    NODE_DOCUMENT_TYPE = 10,
    NODE_DOCUMENT_FRAGMENT = 11,
    NODE_NOTATION = 12
} DOMNodeType;

struct IXMLDOMNodeList;
struct IXMLDOMNamedNodeMap;
struct IXMLDOMElement;

struct IXMLDOMNode : IDispatch {
    // The element or attribute name; "#text", "#document" ... for the others.
    virtual HRESULT STDMETHODCALLTYPE get_nodeName(BSTR* name) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_nodeType(DOMNodeType* type) = 0;
    // All children, in document order.
    virtual HRESULT STDMETHODCALLTYPE get_childNodes(IXMLDOMNodeList** children) = 0;
    // An element's attributes; S_FALSE and null for a node that has none.
    virtual HRESULT STDMETHODCALLTYPE get_attributes(IXMLDOMNamedNodeMap** attributes) = 0;
    // The text of the node and everything below it, without the leading and
    // trailing white space (the component does not preserve white space).
    virtual HRESULT STDMETHODCALLTYPE get_text(BSTR* text) = 0;
    // Every node the pattern selects from this node, in document order (an empty
    // list when none); E_FAIL for a pattern that cannot be read.
    virtual HRESULT STDMETHODCALLTYPE selectNodes(BSTR queryString,
                                                  IXMLDOMNodeList** resultList) = 0;
    // The first node the pattern selects; S_FALSE and null when none.
    virtual HRESULT STDMETHODCALLTYPE selectSingleNode(BSTR queryString,
                                                       IXMLDOMNode** resultNode) = 0;
};

struct IXMLDOMNodeList : IDispatch {
    // S_FALSE and null past the end.
    virtual HRESULT STDMETHODCALLTYPE get_item(LONG index, IXMLDOMNode** listItem) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_length(LONG* listLength) = 0;
    // The list's own cursor: the next node, S_FALSE and null after the last.
    virtual HRESULT STDMETHODCALLTYPE nextNode(IXMLDOMNode** nextItem) = 0;
    virtual HRESULT STDMETHODCALLTYPE reset() = 0;
};

struct IXMLDOMNamedNodeMap : IDispatch {
    // S_FALSE and null when there is no item of that name.
    virtual HRESULT STDMETHODCALLTYPE getNamedItem(BSTR name, IXMLDOMNode** namedItem) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_item(LONG index, IXMLDOMNode** listItem) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_length(LONG* listLength) = 0;
};

struct IXMLDOMElement : IXMLDOMNode {
    virtual HRESULT STDMETHODCALLTYPE get_tagName(BSTR* tagName) = 0;
    // VT_BSTR with the value, or VT_NULL and S_FALSE when the attribute is absent.
    virtual HRESULT STDMETHODCALLTYPE getAttribute(BSTR name, VARIANT* value) = 0;
};

struct IXMLDOMDocument : IXMLDOMNode {
    // The root element; S_FALSE and null before a document is loaded.
    virtual HRESULT STDMETHODCALLTYPE get_documentElement(IXMLDOMElement** root) = 0;
    // `xmlSource` is a VT_BSTR path (a Windows path); loading is synchronous
    // whatever put_async says.
    virtual HRESULT STDMETHODCALLTYPE load(VARIANT xmlSource, VARIANT_BOOL* isSuccessful) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_async(VARIANT_BOOL isAsync) = 0;
    virtual HRESULT STDMETHODCALLTYPE loadXML(BSTR bstrXML, VARIANT_BOOL* isSuccessful) = 0;
};
