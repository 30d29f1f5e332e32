#include "param/text_encoding.h"

#include <cstdint>
#include <limits>

#include "param/wide_path.h"
#include "win32/code_page.h"

namespace Corvantis {
namespace Host {
namespace Param {

namespace {

// Length of the well-formed UTF-8 sequence at bytes[i], or 0 when there is none.
std::size_t SequenceLength(const std::string& bytes, std::size_t i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(bytes[k]); };
    const unsigned char b0 = byte(i);
    std::size_t len;
    std::uint32_t cp, min;
    if (b0 < 0x80) {
        return 1;
    } else if (b0 >= 0xC2 && b0 <= 0xDF) {
        len = 2, cp = b0 & 0x1F, min = 0x80;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        len = 3, cp = b0 & 0x0F, min = 0x800;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        len = 4, cp = b0 & 0x07, min = 0x10000;
    } else {
        return 0;
    }
    if (i + len > bytes.size())
        return 0;
    for (std::size_t k = 1; k < len; ++k) {
        const unsigned char b = byte(i + k);
        if ((b & 0xC0) != 0x80)
            return 0;
        cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return 0;
    return len;
}

}  // namespace

bool IsUtf8(const std::string& bytes) {
    for (std::size_t i = 0; i < bytes.size();) {
        const std::size_t len = SequenceLength(bytes, i);
        if (len == 0)
            return false;
        i += len;
    }
    return true;
}

std::string TextAsUtf8(const std::string& bytes) {
    if (IsUtf8(bytes) || bytes.size() > std::size_t(std::numeric_limits<int>::max()))
        return bytes;
    const int count = static_cast<int>(bytes.size());
    const int length = MultiByteToWideChar(CP_ACP, 0, bytes.data(), count, nullptr, 0);
    if (length <= 0)
        return bytes;
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    if (MultiByteToWideChar(CP_ACP, 0, bytes.data(), count, &wide[0], length) != length)
        return bytes;
    return NarrowPath(wide);
}

}  // namespace Param
}  // namespace Host
}  // namespace Corvantis
