#include "hostsim/four_cc.h"

#include <cstdio>

namespace hostsim {

namespace {
bool Printable(uint32 code) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        const unsigned c = (code >> shift) & 0xFFu;
        if (c < 0x20 || c > 0x7E) return false;
    }
    return true;
}
}  // namespace

std::string FourCCText(uint32 code) {
    if (!Printable(code)) {
        char hex[16];
        std::snprintf(hex, sizeof hex, "0x%08X", static_cast<unsigned>(code));
        return hex;
    }
    std::string text;
    for (int shift = 24; shift >= 0; shift -= 8) text += static_cast<char>((code >> shift) & 0xFFu);
    return text;
}

std::string QuotedFourCC(uint32 code) {
    return Printable(code) ? "'" + FourCCText(code) + "'" : FourCCText(code);
}

}  // namespace hostsim
