// File paths arrive as wide strings (as the dialog holds them); the file system
// here takes UTF-8 bytes. Texts read from a code page take the same way to UTF-8.
#pragma once

#include <string>

namespace Corvantis {
namespace Host {
namespace Param {

// UTF-8 form of a wide path (UTF-16 or UTF-32, by the size of wchar_t). Code
// units that are no character become U+FFFD.
std::string NarrowPath(const std::wstring& path);

}  // namespace Param
}  // namespace Host
}  // namespace Corvantis
