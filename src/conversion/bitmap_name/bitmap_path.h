#pragma once

#include <filesystem>
#include <string>
#include <string_view>

// Bitmap names come from skins that strangers made, and the program runs
// with administrator rights: a name must never steer it to read or write
// outside the skin's folders.

namespace fendrix {

/// Turns a bitmap value of Skin.vsk (code-page bytes, "\" or "/" between
/// folders) into a path relative to the base folder. Refuses, with a reason
/// in German, a name that is empty, absolute, holds a drive or stream (":"),
/// climbs out (".."), names a device (CON, NUL, COM1...), ends a part in a dot
/// or blank (Windows would read another file), holds characters Windows
/// forbids, or has a part longer than 255 bytes.
bool ResolveBitmapPath(std::string_view value, std::filesystem::path* relative, std::string* why);

/// True when `name` (code-page bytes) is safe as one file name in a folder,
/// by the same rules.
bool IsSafeFileName(std::string_view name, std::string* why);

}  // namespace fendrix
