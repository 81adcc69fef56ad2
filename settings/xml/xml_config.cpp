#include "settings/xml/xml_config.h"

#include <cstdint>

#include <windows.h>

namespace xlr {
namespace {

constexpr LANGID kJapanesePrimaryLanguage = 0x11;

struct ListQuery {
    XmlList slot;
    WideStringView pattern;
};
constexpr ListQuery kListQueries[] = {
    {XmlList::kEvents, WSTR("//helper/events/event")},
    {XmlList::kFeatures, WSTR("//helper/features/feature")},
    {XmlList::kColorOptions, WSTR("//helper/ColorQuality/ColorOption")},
    {XmlList::kMacros, WSTR("//helper/macros/macro")},
    {XmlList::kPresets, WSTR("//helper/presets/preset")},
    {XmlList::kJobUiEvents, WSTR("//helper/JobUIEventInfo/JobUIEvent")},
    {XmlList::kHybridSettings, WSTR("//helper/hybrid_setting/hybrid")},
    {XmlList::kProxyDll, WSTR("//helper/Proxy_Dll")},
    {XmlList::kBandSizes, WSTR("//helper/Band_Size/option")},
    {XmlList::kCallbacks, WSTR("//helper/Command_Callback/Callback")},
    {XmlList::kCommandStore, WSTR("//helper/Command_Store/Command")},
    {XmlList::kBorderless, WSTR("//helper/BorderlessSettings/Borderless")},
    {XmlList::kMargins, WSTR("//helper/MarginValues/Margin")},
    {XmlList::kMacros2, WSTR("//helper/macros/macro")},
    {XmlList::kMacros3, WSTR("//helper/macros/macro")},
    {XmlList::kMacros4, WSTR("//helper/macros/macro")},
    {XmlList::kDocumentUi, WSTR("//helper/DocUISettings/DocSetting")},
    {XmlList::kPaperSizes, WSTR("//helper/PapersizeSetting/Paperoption")},
    {XmlList::kPmlOids, WSTR("//helper/PmlOIDs/pmldata")},
    {XmlList::kJapaneseDeviceSettings, WSTR("//helper/DeviceSettings/japanesesetting")},
    {XmlList::kEnglishDeviceSettings, WSTR("//helper/DeviceSettings/englishsetting")},
    {XmlList::kRollSheetData, WSTR("//helper/ICDRollSheetData")},
    {XmlList::kRollWidthSettings, WSTR("//helper/ICDDeviceSetting/RollWidth")},
    {XmlList::kRollTypeSettings, WSTR("//helper/ICDDeviceSetting/RollType")},
    {XmlList::kRollWidths, WSTR("//helper/ICDRollWidth/RollWidth")},
    {XmlList::kGroups, WSTR("//helper/groups/group")},
};
static_assert(std::size(kListQueries) == static_cast<size_t>(XmlList::kCount));

long Length(IXMLDOMNodeList* list) {
    LONG length = 0;
    if (list == nullptr || FAILED(list->get_length(&length)) || length < 0) return 0;
    return length;
}

ComRef<IXMLDOMNode> Item(IXMLDOMNodeList* list, long index) {
    ComRef<IXMLDOMNode> node;
    if (list != nullptr) list->get_item(index, node.put());
    return node;
}

WideString Name(IXMLDOMNode* node) {
    Bstr name;
    if (FAILED(node->get_nodeName(name.put()))) return {};
    return name.str();
}

WideString Text(IXMLDOMNode* node) {
    Bstr text;
    if (node == nullptr || FAILED(node->get_text(text.put()))) return {};
    return text.str();
}

// Calls `visit` for each child element named `name` until it returns true.
template <typename Visit>
bool ForEachChild(IXMLDOMNode* parent, WideStringView name, Visit visit) {
    ComRef<IXMLDOMNodeList> children;
    if (parent == nullptr || FAILED(parent->get_childNodes(children.put())) || !children)
        return false;
    const long count = Length(children.get());
    for (long i = 0; i < count; ++i) {
        ComRef<IXMLDOMNode> child = Item(children.get(), i);
        if (!child) continue;
        DOMNodeType type = NODE_INVALID;
        if (FAILED(child->get_nodeType(&type)) || type != NODE_ELEMENT) continue;
        if (Name(child.get()) == name && visit(child.get())) return true;
    }
    return false;
}

// The text of the first child element named `name`.
std::optional<WideString> ChildText(IXMLDOMNode* parent, WideStringView name) {
    std::optional<WideString> text;
    ForEachChild(parent, name, [&](IXMLDOMNode* child) {
        text = Text(child);
        return true;
    });
    return text;
}

std::optional<WideString> Attribute(IXMLDOMNode* node, WideStringView name) {
    ComRef<IXMLDOMElement> element;
    if (FAILED(node->QueryInterface(IID_IXMLDOMElement, element.put_void())) || !element)
        return std::nullopt;
    const Bstr attributeName(name);
    Variant value;
    if (element->getAttribute(attributeName.get(), value.get()) != S_OK || (*value).vt != VT_BSTR ||
        (*value).bstrVal == nullptr)
        return std::nullopt;
    return WideString((*value).bstrVal, SysStringLen((*value).bstrVal));
}

// wcstol's reading: optional blanks and sign, then digits up to the first
// other character; saturates instead of overflowing.
int64_t DecimalValue(WideStringView text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == WSTR(' ') || text[i] == WSTR('\t'))) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == WSTR('-') || text[i] == WSTR('+')))
        negative = text[i++] == WSTR('-');
    int64_t value = 0;
    constexpr int64_t kCeiling = INT64_MAX / 10 - 9;
    for (; i < text.size() && text[i] >= WSTR('0') && text[i] <= WSTR('9'); ++i)
        if (value < kCeiling) value = value * 10 + (text[i] - WSTR('0'));
    return negative ? -value : value;
}

void Trace(const std::string& message) {
    OutputDebugStringA(("CKXXmlConfig: " + message + "\n").c_str());
}

}  // namespace

CKXXmlConfig::CKXXmlConfig(WideStringView path) {
    if (!apartment_.Usable()) return;
    if (FAILED(CoCreateInstance(CLSID_DOMDocument, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IXMLDOMDocument, document_.put_void())) ||
        !document_)
        return;
    document_->put_async(VARIANT_FALSE);
    Variant source;  // frees the path
    source.get()->vt = VT_BSTR;
    source.get()->bstrVal = SysAllocStringLen(path.data(), static_cast<UINT>(path.size()));
    if (source.get()->bstrVal == nullptr) return;
    VARIANT_BOOL loaded = VARIANT_FALSE;
    if (document_->load(*source, &loaded) != S_OK || loaded != VARIANT_TRUE) return;
    const Bstr componentQuery(kXmlComponentQuery);
    if (document_->selectSingleNode(componentQuery.get(), component_.put()) != S_OK) {
        component_.reset();
        return;
    }
    SelectLists();
}

void CKXXmlConfig::SelectLists() {
    const bool japanese = (GetUserDefaultUILanguage() & 0x3FF) == kJapanesePrimaryLanguage;
    for (const ListQuery& query : kListQueries) {
        const Bstr selection(query.pattern);
        ComRef<IXMLDOMNodeList> found;
        if (FAILED(component_->selectNodes(selection.get(), found.put())) ||
            Length(found.get()) == 0)
            found.reset();
        // Presets without a language of their own come in the user interface's language.
        if (!found && query.slot == XmlList::kPresets) {
            const Bstr localised(japanese ? WSTR("//helper/presets/presetjapanese")
                                          : WSTR("//helper/presets/presetenglish"));
            if (FAILED(component_->selectNodes(localised.get(), found.put())) ||
                Length(found.get()) == 0)
                found.reset();
        }
        lists_[static_cast<size_t>(query.slot)] = std::move(found);
    }
}

long CKXXmlConfig::ListLength(XmlList list) const {
    return Length(List(list));
}

std::optional<WideString> CKXXmlConfig::CallbackCommandText(WideStringView number,
                                                            WideStringView kind) const {
    IXMLDOMNodeList* callbacks = List(XmlList::kCallbacks);
    if (callbacks == nullptr) return std::nullopt;
    const std::optional<size_t> position = FindCallbackEntry(
        static_cast<size_t>(Length(callbacks)),
        [&](size_t at) {
            ComRef<IXMLDOMNode> entry = Item(callbacks, static_cast<long>(at - 1));
            return ChildText(entry.get(), WSTR("Value")).value_or(WSTR(""));
        },
        number);
    if (!position) return std::nullopt;
    ComRef<IXMLDOMNode> entry = Item(callbacks, static_cast<long>(*position - 1));
    std::optional<WideString> command;
    ForEachChild(entry.get(), WSTR("Select_Command"), [&](IXMLDOMNode* select) {
        if (Attribute(select, WSTR("path")) != kind) return false;
        command = Text(select);
        return true;
    });
    if (command && command->size() > kMaxCallbackCommandUnits)
        command->resize(kMaxCallbackCommandUnits);
    return command;
}

std::optional<std::string> CKXXmlConfig::LookUpCallbackCommand(
    WideStringView number, WideStringView kind, const StandardVariables& variables) const {
    const std::optional<WideString> command = CallbackCommandText(number, kind);
    if (!command) return std::nullopt;
    ExpandedCommand expanded = ExpandCommand(NarrowToBytes(*command), variables);
    if (!expanded.error.empty()) {
        Trace("callback " + NarrowToBytes(number) + " not sent: " + expanded.error);
        return std::nullopt;
    }
    return std::move(expanded.bytes);
}

std::optional<WideString> CKXXmlConfig::LookUpSwitchData(WideStringView feature,
                                                         WideStringView switchName,
                                                         WideStringView caseName) const {
    IXMLDOMNodeList* features = List(XmlList::kFeatures);
    const long count = Length(features);
    for (long i = 0; i < count; ++i) {
        ComRef<IXMLDOMNode> entry = Item(features, i);
        if (!entry || ChildText(entry.get(), WSTR("name")) != feature) continue;
        std::optional<WideString> data;
        ForEachChild(entry.get(), WSTR("switch"), [&](IXMLDOMNode* choice) {
            if (ChildText(choice, WSTR("name")) != switchName) return false;
            ComRef<IXMLDOMNode> chosen;
            ForEachChild(choice, WSTR("case"), [&](IXMLDOMNode* option) {
                if (ChildText(option, WSTR("name")) != caseName) return false;
                option->AddRef();
                *chosen.put() = option;
                return true;
            });
            if (!chosen)
                ForEachChild(choice, WSTR("case_default"), [&](IXMLDOMNode* fallback) {
                    fallback->AddRef();
                    *chosen.put() = fallback;
                    return true;
                });
            if (chosen) data = ChildText(chosen.get(), WSTR("data"));
            return true;
        });
        if (data && !data->empty()) return data;
        return std::nullopt;
    }
    return std::nullopt;
}

std::optional<WideString> CKXXmlConfig::MacroReplacement(std::string_view name) const {
    if (!macros_) {
        macros_.emplace();
        IXMLDOMNodeList* macros = List(XmlList::kMacros);
        const long count = Length(macros);
        for (long i = 0; i < count; ++i) {
            ComRef<IXMLDOMNode> macro = Item(macros, i);
            ForEachChild(macro.get(), WSTR("option"), [&](IXMLDOMNode* option) {
                if (const auto value = Attribute(option, WSTR("value")))
                    macros_->try_emplace(NarrowToBytes(*value), Text(option));
                return false;
            });
        }
    }
    const auto found = macros_->find(name);
    if (found == macros_->end()) return std::nullopt;
    return found->second;
}

ExpandedCommand CKXXmlConfig::ExpandCommand(std::string_view text,
                                            const StandardVariables& variables) const {
    return xlr::ExpandCommand(
        text, [this](std::string_view name) { return MacroReplacement(name); }, variables);
}

bool CKXXmlConfig::IsBorderlessForm(WideStringView formName) const {
    IXMLDOMNodeList* entries = List(XmlList::kBorderless);
    const long count = Length(entries);
    for (long i = 0; i < count; ++i) {
        ComRef<IXMLDOMNode> entry = Item(entries, i);
        const std::optional<WideString> name = ChildText(entry.get(), WSTR("name"));
        if (name && !name->empty() && SameText(*name, formName)) return true;
    }
    return false;
}

std::optional<size_t> FindCallbackEntry(size_t count,
                                        const std::function<WideString(size_t)>& valueAt,
                                        WideStringView wanted) {
    const int64_t wantedNumber = DecimalValue(wanted);
    size_t low = 1, high = count;
    while (low <= high) {
        const size_t middle = low + (high - low) / 2;
        const WideString value = valueAt(middle);
        if (value == wanted) return middle;
        if (wantedNumber > DecimalValue(value))
            low = middle + 1;
        else
            high = middle - 1;  // low is at least 1, so this stays >= 0
    }
    return std::nullopt;
}

}  // namespace xlr
