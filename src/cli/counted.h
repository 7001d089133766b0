#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace fendrix {

/// A count with its noun in the right number: "1 Befund", "2 Befunde",
/// "0 Befunde".
inline std::string Counted(std::size_t count, std::string_view one, std::string_view many) {
  return std::to_string(count) + " " + std::string(count == 1 ? one : many);
}

}  // namespace fendrix
