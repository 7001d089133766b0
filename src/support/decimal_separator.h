#pragma once

namespace fendrix {

/// The user's decimal separator, with which comma values of a skin file are
/// read. On Windows the first character of the locale's monetary decimal
/// separator (a blank when the locale gives none); elsewhere the environment
/// locale's monetary decimal point, else its numeric one, else '.'.
char SystemDecimalSeparator();

}  // namespace fendrix
