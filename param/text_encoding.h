// Texts of the parameters are UTF-8 in the model; texts that older hosts, recorded actions and
// stores of other programs hand over may be in the system's single-byte code page instead.
#pragma once

#include <string>

namespace Corvantis {
namespace Host {
namespace Param {

// Whether the bytes are well-formed UTF-8: no overlong forms, surrogates or code points past
// U+10FFFF, no sequence cut short.
bool IsUtf8(const std::string& bytes);

// The text as UTF-8: the bytes themselves when they are UTF-8, else read in the system's code
// page (the Windows ANSI code page; Latin-1 elsewhere), so that a text in a legacy encoding
// shows its characters instead of none.
std::string TextAsUtf8(const std::string& bytes);

}  // namespace Param
}  // namespace Host
}  // namespace Corvantis
