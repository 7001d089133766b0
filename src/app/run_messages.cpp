#include "app/run_messages.h"

namespace fendrix {

std::string WarningsMessage(const std::vector<RunWarning>& warnings) {
  std::string text = "Hinweise zur Umwandlung:\n";
  std::size_t shown = 0;
  for (const RunWarning& warning : warnings) {
    if (shown == kMaxWarningsShown) break;
    text += "\n" + WarningText(warning);
    ++shown;
  }
  if (std::size_t rest = warnings.size() - shown; rest > 0) {
    text += "\n... und " + std::to_string(rest) + (rest == 1 ? " weiterer" : " weitere");
  }
  return text;
}

}  // namespace fendrix
