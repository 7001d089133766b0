#include "conversion/run/run_result.h"

namespace fendrix {

std::string WarningText(const RunWarning& warning) {
  return (warning.line ? "Zeile " + std::to_string(warning.line) + ": " : "") + warning.text;
}

}  // namespace fendrix
