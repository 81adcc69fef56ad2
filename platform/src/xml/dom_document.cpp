// The DOM document: loads a file of the world's drives (or a text) and is the
// document node the selections start from.
#include "dom_document.h"

#include <oleauto.h>
#include <xlplatform/world.h>

#include <fstream>
#include <new>

#include "dom_objects.h"

namespace xlplatform {
namespace {

// Larger files are refused rather than read into memory.
constexpr std::streamoff kMaxDocumentBytes = 64 << 20;

std::optional<std::string> ReadWholeFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return std::nullopt;
    file.seekg(0, std::ios::end);
    const std::streamoff size = file.tellg();
    if (size < 0 || size > kMaxDocumentBytes) return std::nullopt;
    file.seekg(0, std::ios::beg);
    std::string contents(static_cast<size_t>(size), '\0');
    if (!file.read(contents.data(), size)) return std::nullopt;
    return contents;
}

class Document final : public NodeObject<IXMLDOMDocument> {
  public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (object == nullptr) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IXMLDOMNode ||
            iid == IID_IXMLDOMDocument) {
            *object = static_cast<IXMLDOMDocument*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }

    HRESULT STDMETHODCALLTYPE get_documentElement(IXMLDOMElement** root) override {
        if (root == nullptr) return E_POINTER;
        *root = nullptr;
        if (!tree_) return S_FALSE;
        IXMLDOMNode* node = MakeNode(tree_, xmlDocGetRootElement(tree_.get()));
        if (node == nullptr) return E_OUTOFMEMORY;
        const HRESULT asked =
            node->QueryInterface(IID_IXMLDOMElement, reinterpret_cast<void**>(root));
        node->Release();
        return asked;
    }

    HRESULT STDMETHODCALLTYPE load(VARIANT source, VARIANT_BOOL* isSuccessful) override {
        if (isSuccessful != nullptr) *isSuccessful = VARIANT_FALSE;
        if (source.vt != VT_BSTR || source.bstrVal == nullptr) return E_INVALIDARG;
        tree_.reset();
        const std::u16string path(source.bstrVal, SysStringLen(source.bstrVal));
        if (path.empty()) return S_FALSE;
        const std::optional<std::string> text = ReadWholeFile(HostPath(path));
        if (!text) return S_FALSE;
        return Accept(ParseDocument(*text, false), isSuccessful);
    }

    HRESULT STDMETHODCALLTYPE loadXML(BSTR text, VARIANT_BOOL* isSuccessful) override {
        if (isSuccessful != nullptr) *isSuccessful = VARIANT_FALSE;
        tree_.reset();
        if (text == nullptr) return S_FALSE;
        // The text is already Unicode: an encoding declaration inside it no
        // longer describes its bytes.
        return Accept(ParseDocument(BstrToUtf8(text), true), isSuccessful);
    }

    HRESULT STDMETHODCALLTYPE put_async(VARIANT_BOOL) override { return S_OK; }

  protected:
    const XmlTree& Tree() const override { return tree_; }
    xmlNodePtr Target() const override { return reinterpret_cast<xmlNodePtr>(tree_.get()); }

  private:
    HRESULT Accept(XmlTree tree, VARIANT_BOOL* isSuccessful) {
        tree_ = std::move(tree);
        if (!tree_) return S_FALSE;
        if (isSuccessful != nullptr) *isSuccessful = VARIANT_TRUE;
        return S_OK;
    }

    XmlTree tree_;
};

}  // namespace

HRESULT CreateXmlDocument(REFIID iid, void** object) {
    auto* document = new (std::nothrow) Document;
    if (document == nullptr) return E_OUTOFMEMORY;
    const HRESULT result = document->QueryInterface(iid, object);
    document->Release();
    return result;
}

}  // namespace xlplatform
