// The two calls into libxml2 that the DOM component makes: parsing a document
// and evaluating a selection. Both run with libxml2's error output silenced (a
// bad file is the caller's ordinary failure, not a message on stderr).
#include <libxml/parser.h>
#include <libxml/xpath.h>

#include <climits>
#include <memory>
#include <mutex>

#include "dom_objects.h"
#include "xsl_pattern.h"

namespace xlplatform {
namespace {

// Loading never reaches the network, never substitutes entities and never
// loads an external DTD (those options are left out); white-space-only text
// between elements is dropped, as the component does when it does not
// preserve white space.
constexpr int kParseOptions =
    XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING | XML_PARSE_NOBLANKS;

// Enough for any selection a configuration needs; a pattern that would take
// longer (a fuzzer's "//*//*//*" over a large tree) fails instead of hanging.
constexpr unsigned long kXPathOperationLimit = 10'000'000;

void DropStructured(void*, xmlErrorPtr) {}
void DropGeneric(void*, const char*, ...) {}

// Silences libxml2's thread-wide error handlers for one call.
class QuietErrors {
  public:
    QuietErrors()
        : structured_(xmlStructuredError),
          structuredContext_(xmlStructuredErrorContext),
          generic_(xmlGenericError),
          genericContext_(xmlGenericErrorContext) {
        xmlSetStructuredErrorFunc(nullptr, &DropStructured);
        xmlSetGenericErrorFunc(nullptr, &DropGeneric);
    }
    ~QuietErrors() {
        xmlSetStructuredErrorFunc(structuredContext_, structured_);
        xmlSetGenericErrorFunc(genericContext_, generic_);
    }
    QuietErrors(const QuietErrors&) = delete;
    QuietErrors& operator=(const QuietErrors&) = delete;

  private:
    xmlStructuredErrorFunc structured_;
    void* structuredContext_;
    xmlGenericErrorFunc generic_;
    void* genericContext_;
};

void InitialiseLibrary() {
    static std::once_flag once;
    std::call_once(once, [] { xmlInitParser(); });
}

struct FreeXPathContext {
    void operator()(xmlXPathContextPtr context) const { xmlXPathFreeContext(context); }
};
struct FreeXPathObject {
    void operator()(xmlXPathObjectPtr object) const { xmlXPathFreeObject(object); }
};

}  // namespace

XmlTree ParseDocument(std::string_view text, bool forceUtf8) {
    if (text.size() > static_cast<size_t>(INT_MAX)) return nullptr;
    InitialiseLibrary();
    QuietErrors quiet;
    XmlTree tree(xmlReadMemory(text.data(), static_cast<int>(text.size()), nullptr,
                               forceUtf8 ? "UTF-8" : nullptr, kParseOptions),
                 xmlFreeDoc);
    if (!tree) return nullptr;
    // A configuration has no use for a document type declaration; refusing one
    // keeps entity definitions (and their expansion) out of the tree entirely.
    if (tree->intSubset != nullptr || tree->extSubset != nullptr) return nullptr;
    if (xmlDocGetRootElement(tree.get()) == nullptr) return nullptr;
    return tree;
}

HRESULT Select(const XmlTree& tree, xmlNodePtr node, BSTR query, std::vector<xmlNodePtr>& found) {
    found.clear();
    if (query == nullptr) return E_INVALIDARG;
    const std::optional<std::string> xpath = XslPatternToXPath(BstrToUtf8(query));
    if (!xpath) return E_FAIL;
    if (!tree || node == nullptr) return S_OK;
    InitialiseLibrary();
    QuietErrors quiet;
    std::unique_ptr<xmlXPathContext, FreeXPathContext> context(xmlXPathNewContext(tree.get()));
    if (!context) return E_OUTOFMEMORY;
    context->node = node;
    context->opLimit = kXPathOperationLimit;
    context->error = &DropStructured;
    std::unique_ptr<xmlXPathObject, FreeXPathObject> result(
        xmlXPathEvalExpression(reinterpret_cast<const xmlChar*>(xpath->c_str()), context.get()));
    if (!result || result->type != XPATH_NODESET) return E_FAIL;
    if (result->nodesetval == nullptr) return S_OK;
    for (int i = 0; i < result->nodesetval->nodeNr; ++i) {
        xmlNodePtr selected = result->nodesetval->nodeTab[i];
        // Namespace nodes of a result are libxml2's own records, not tree nodes.
        if (selected == nullptr || selected->type == XML_NAMESPACE_DECL) continue;
        found.push_back(selected);
    }
    return S_OK;
}

}  // namespace xlplatform
