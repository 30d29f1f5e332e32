#include "win32/code_page.h"

#include <cstring>

int MultiByteToWideChar(UINT codePage, DWORD flags, LPCCH text, int count, LPWSTR wide, int wideCount) {
    if (codePage != CP_ACP || flags != 0 || !text || count < -1 || wideCount < 0) return 0;
    const std::size_t n = count == -1 ? std::strlen(text) + 1 : std::size_t(count);
    if (n > std::size_t(INT32_MAX)) return 0;
    if (wideCount == 0) return int(n);
    if (!wide || std::size_t(wideCount) < n) return 0;
    for (std::size_t i = 0; i < n; ++i) wide[i] = wchar_t(static_cast<unsigned char>(text[i]));
    return int(n);
}
