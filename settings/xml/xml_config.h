// The printer's XML configuration file: commands for the callbacks the plug-in
// does not compose itself, the macros those commands use, per-feature data
// chosen by a switch and a case (paper dimensions for emulated margins), and the
// borderless forms. One reader is made where a lookup is needed and destroyed
// afterwards; the document is parsed by the system's XML DOM component.
#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include <msxml.h>

#include "settings/xml/com_handles.h"
#include "settings/xml/command_expansion.h"
#include "settings/wide_text.h"

namespace xlr {

// The lists the reader selects, in the order it selects them. Most are kept
// for other parts of the driver and not read here.
enum class XmlList : size_t {
    kEvents,
    kFeatures,  // switch data
    kColorOptions,
    kMacros,  // macro replacements
    kPresets,
    kJobUiEvents,
    kHybridSettings,
    kProxyDll,
    kBandSizes,
    kCallbacks,  // callback commands
    kCommandStore,
    kBorderless,  // borderless forms
    kMargins,
    kMacros2,
    kMacros3,
    kMacros4,
    kDocumentUi,
    kPaperSizes,
    kPmlOids,
    kJapaneseDeviceSettings,
    kEnglishDeviceSettings,
    kRollSheetData,
    kRollWidthSettings,
    kRollTypeSettings,
    kRollWidths,
    kGroups,
    kCount
};

// The component whose configuration the driver reads.
inline constexpr WideStringView kXmlComponentQuery =
    WSTR("device/software/component[name $ieq$ \"Verno\"]");

// Callback numbers are looked up only as far as this many units of command text.
constexpr size_t kMaxCallbackCommandUnits = 511;

class CKXXmlConfig {
  public:
    // Loads the file at `path` (a Windows path). Every failure — no COM, no DOM
    // component, a file that is absent or not well-formed, no component node —
    // leaves a reader whose lookups find nothing.
    explicit CKXXmlConfig(WideStringView path);
    CKXXmlConfig(const CKXXmlConfig&) = delete;
    CKXXmlConfig& operator=(const CKXXmlConfig&) = delete;

    // The document loaded and holds the component node.
    bool Usable() const { return static_cast<bool>(component_); }
    // Nodes in a list slot; 0 for a list that found nothing.
    long ListLength(XmlList list) const;

    // The expanded command of a callback number (decimal text) for an output
    // kind ("PDL"); nothing when none is configured or it cannot be expanded.
    std::optional<std::string> LookUpCallbackCommand(WideStringView number, WideStringView kind,
                                                     const StandardVariables& variables) const;
    // The command text of a callback number for an output kind as the file holds
    // it (at most 511 units), before expansion.
    std::optional<WideString> CallbackCommandText(WideStringView number, WideStringView kind) const;
    // The data of the case (else the switch's default case) of a feature's switch;
    // nothing when there is none or it is empty.
    std::optional<WideString> LookUpSwitchData(WideStringView feature, WideStringView switchName,
                                               WideStringView caseName) const;
    // Expands a command text with this file's macros (command_expansion.h).
    ExpandedCommand ExpandCommand(std::string_view text, const StandardVariables& variables) const;
    // The replacement of the macro option whose "value" is `name`.
    std::optional<WideString> MacroReplacement(std::string_view name) const;
    // A "Borderless" entry names the form (its "name" child, compared without
    // regard to case).
    bool IsBorderlessForm(WideStringView formName) const;

  private:
    void SelectLists();
    IXMLDOMNodeList* List(XmlList list) const { return lists_[static_cast<size_t>(list)].get(); }

    // Destroyed last: the lists and the document are released while COM is up.
    ComApartment apartment_;
    ComRef<IXMLDOMDocument> document_;
    ComRef<IXMLDOMNode> component_;
    std::array<ComRef<IXMLDOMNodeList>, static_cast<size_t>(XmlList::kCount)> lists_;
    // Macro replacements by name, read from the document on first use.
    mutable std::optional<std::map<std::string, WideString, std::less<>>> macros_;
};

// Binary search over callback entries sorted by number: `valueAt` gives the
// "Value" text of the entry at a 1-based position. A probe whose text equals
// `wanted` exactly is the answer; otherwise the two are compared as decimal
// integers. Returns the 1-based position, or nothing.
std::optional<size_t> FindCallbackEntry(size_t count,
                                        const std::function<WideString(size_t)>& valueAt,
                                        WideStringView wanted);

}  // namespace xlr
