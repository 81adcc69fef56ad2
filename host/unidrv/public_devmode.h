// The public device mode of a job, made from the job's choices.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include <windows.h>

namespace xlhost {

// What a job chooses of the public device mode; a choice left unset keeps the
// printer's default.
struct DevModeChoices {
    // A paper name (letter, a4 … in any case; see IsPaperChoice) or a DMPAPER number.
    std::optional<std::string> paper;
    std::optional<short> orientation;    // DMORIENT_
    std::optional<short> color;          // DMCOLOR_
    std::optional<short> duplex;         // DMDUP_
    std::optional<short> ttOption;       // DMTT_
    std::optional<short> defaultSource;  // DMBIN_ or a driver's own number
    std::optional<DWORD> mediaType;      // DMMEDIA_ or a driver's own number
    std::optional<short> copies;
    std::optional<bool> collate;
    std::optional<short> resolution;  // dots per inch, both directions
};

// The printer's default public device mode (paper from the world's locale),
// changed by the choices. Returns false with `error` set for a paper that is
// neither a paper name nor a DMPAPER number.
bool MakePublicDevMode(const DevModeChoices& choices, DEVMODEW& devmode, std::string& error);

// Whether the text names a paper: a paper name (any case) or a DMPAPER number.
bool IsPaperChoice(std::string_view text);

}  // namespace xlhost
