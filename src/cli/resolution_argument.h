#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "repository/skin_repository.h"

// A resolution on the command line: the same rule for every command and
// every place (a skin's new resolution, --from, --all's list, check's and
// render's screen), stricter than the window's two boxes, since a script's
// typo must not become a folder.

namespace fendrix {

/// `text` as a resolution: decimal digits, a lower-case "x", decimal digits,
/// each side from 1 to 32767 ("1024x768"; "01024x768" is 1024x768). Nothing
/// for anything else: a third field, a sign, a blank, a decimal separator.
/// The name comes back as the numbers' own text.
std::optional<BaseResolution> ParseResolutionArgument(std::string_view text);

/// The one message for a resolution that the command line or the run
/// refuses: "Keine gültige Auflösung angegeben: <text> (...)".
std::string InvalidResolutionText(std::string_view text);

}  // namespace fendrix
