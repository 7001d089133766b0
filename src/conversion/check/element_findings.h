#pragma once

#include <span>
#include <string>
#include <vector>

#include "conversion/check/skin_check.h"

namespace fendrix {

/// What the elements of the deciphered lines (code-page bytes, line i + 1 at
/// index i) get wrong: an element that reaches off the screen of `request`,
/// one given some but not all of Left, Top, Width and Height (unless
/// `findings` already hold a misspelt property or a line without "=" of it),
/// and, with the request's conversion, one whose Width or Height it makes 0.
void FindElementFindings(std::span<const std::string> plain, const CheckRequest& request,
                         std::vector<CheckFinding>* findings);

}  // namespace fendrix
