// Reads a printer description written in the subset of the GPD syntax that the
// host understands:
//
//   *GPDSpecVersion: "1.0"        *ModelName: "..."        *MasterUnits: PAIR(1200, 1200)
//   *Feature: Name { *Name: "Shown name"  *DefaultOption: X
//                    *Option: X { *Name: "..."  *Command: CmdSelect { ... }
//                                 *PageDimensions: PAIR(w, h)  *PrintableArea: PAIR(w, h)
//                                 *PrintableOrigin: PAIR(x, y)  *DPI: PAIR(600, 600) } }
//   *Command: CmdStartJob { *Order: JOB_SETUP.10  *Cmd: "<1B>%%-12345X" }
//   *Command: CmdStartPage { *Order: PAGE_SETUP.5  *CallbackID: 2  *Params: LIST(NumOfCopies) }
//
// Names hold letters, digits and "_"; option names may also hold "." and "-"
// after their first character, so that an option can name a file
// (*Option: configured-laser.xml of KXXMLFileUsed).
// "*%" starts a comment; a line beginning with "+" continues the entry before it;
// *Cmd values hold <hex> bytes and parameters such as %d[1,99]{NumOfCopies}
// (formats d, D, c, l, m; expressions with + - * / MOD and parentheses), between
// or inside the quoted strings. A construct named again adds to the first one,
// as in GPD.
// Entries outside this subset (and *Include) are skipped with a warning, so that
// a full description can be read; malformed text is an error. Every message
// names the file and the line.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/gpd/printer_description.h"

namespace xlhost {

struct GpdDiagnostic {
    std::string file;
    int line = 0;  // 0 when the message concerns the file as a whole
    std::string message;

    std::string Text() const;  // "file:line: message"
};

struct GpdReadResult {
    std::optional<PrinterDescription> description;  // absent when `error` is set
    std::vector<GpdDiagnostic> warnings;
    std::optional<GpdDiagnostic> error;
};

// Feature and option keywords longer than this are refused: Unidrv hands an
// option keyword to the plug-in in a 256-byte buffer.
inline constexpr size_t kLongestFeatureName = 255;

// Descriptions larger than this are refused before they are read.
inline constexpr size_t kLargestDescription = 16u << 20;

GpdReadResult ReadPrinterDescription(std::string_view text, std::string_view fileName);
GpdReadResult ReadPrinterDescriptionFile(const std::string& path);

}  // namespace xlhost
