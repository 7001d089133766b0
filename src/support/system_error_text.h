#pragma once

#include <string>
#include <system_error>

// The reason in a message about a file ("... (Datei oder Verzeichnis nicht
// gefunden)") speaks the language of everything else the program says. The C
// library and std::filesystem give English texts off Windows; Windows gives
// its own in the language of its users.

namespace fendrix {

/// The German text for the errno value `error`, or "Systemfehler N" for one
/// without a text of its own.
std::string SystemErrorText(int error);

/// The German text for `error`: that of its errno value for a code that has
/// one, otherwise the system's own text.
std::string SystemErrorText(const std::error_code& error);

}  // namespace fendrix
