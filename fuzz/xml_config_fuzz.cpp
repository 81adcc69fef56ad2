// Feeds arbitrary bytes to the XML configuration reader and the command
// expansion. The input is up to three parts separated by zero bytes:
//   1. a configuration file, loaded from the driver directory as the plug-in
//      loads it (the DOM component's parse and every list selection);
//   2. a command text, expanded with the file's macros, and also used as the
//      callback number and switch case to look up;
//   3. a selection pattern, run on the document.
// The DOM component is compiled into this target (instrumented) and replaces
// the platform library's registration.
#include <msxml.h>
#include <xlplatform/world.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "settings/xml/xml_config.h"
#include "xml/dom_document.h"

namespace {

constexpr char16_t kConfigPath[] = u"C:\\fuzz\\config.xml";

std::optional<int32_t> Variables(DWORD index) {
    return static_cast<int32_t>(index * 100 - 7);
}

std::string_view NextPart(std::string_view& rest) {
    const size_t end = rest.find('\0');
    const std::string_view part = rest.substr(0, end);
    rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    return part;
}

std::u16string Widen(std::string_view bytes) {
    std::u16string wide;
    for (char c : bytes) wide += static_cast<char16_t>(static_cast<unsigned char>(c));
    return wide;
}

// One private drive C for the run and the instrumented DOM component.
void PrepareWorld() {
    static const bool prepared = [] {
        xlplatform::RegisterComClass(CLSID_DOMDocument, xlplatform::CreateXmlDocument);
        std::filesystem::create_directories(xlplatform::HostPath(u"C:\\fuzz"));
        return true;
    }();
    (void)prepared;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    PrepareWorld();
    std::string_view rest(reinterpret_cast<const char*>(data), size);
    const std::string_view document = NextPart(rest);
    const std::string_view command = NextPart(rest);
    const std::string_view pattern = NextPart(rest);

    std::ofstream(xlplatform::HostPath(kConfigPath), std::ios::binary | std::ios::trunc)
        .write(document.data(), static_cast<std::streamsize>(document.size()));

    const xlr::CKXXmlConfig config(kConfigPath);
    const std::u16string wide = Widen(command);
    (void)config.ExpandCommand(command, Variables);
    const std::u16string_view numbers[] = {u"1", u"40", u"99", wide};
    for (std::u16string_view number : numbers)
        (void)config.LookUpCallbackCommand(number, u"PDL", Variables);
    (void)config.LookUpSwitchData(u"KX_Emulate_Margins", u"Paper_Dimensions", wide);
    (void)config.IsBorderlessForm(wide);

    if (!pattern.empty()) {
        xlr::ComRef<IXMLDOMDocument> dom;
        if (SUCCEEDED(CoInitialize(nullptr))) {
            if (SUCCEEDED(CoCreateInstance(CLSID_DOMDocument, nullptr, CLSCTX_INPROC_SERVER,
                                           IID_IXMLDOMDocument, dom.put_void()))) {
                const xlr::Bstr text(Widen(document));
                VARIANT_BOOL loaded = VARIANT_FALSE;
                dom->loadXML(text.get(), &loaded);
                const xlr::Bstr query(Widen(pattern));
                xlr::ComRef<IXMLDOMNodeList> nodes;
                if (dom->selectNodes(query.get(), nodes.put()) == S_OK) {
                    xlr::ComRef<IXMLDOMNode> node;
                    while (nodes->nextNode(node.put()) == S_OK) {
                        xlr::Bstr nodeText, name;
                        node->get_text(nodeText.put());
                        node->get_nodeName(name.put());
                    }
                }
                dom.reset();
            }
            CoUninitialize();
        }
    }
    return 0;
}
