#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "conversion/run/run_result.h"

namespace fendrix {

/// The most warnings one message lists; the rest are counted.
inline constexpr std::size_t kMaxWarningsShown = 12;

/// One message (UTF-8) listing what a run carried over or left out, one
/// warning a line, with its line of Skin.vsk when it has one.
std::string WarningsMessage(const std::vector<RunWarning>& warnings);

}  // namespace fendrix
