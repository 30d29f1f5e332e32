// displayPixels on Windows: the bitmap goes onto the paint's device context as a top-down
// 32-bit device-independent bitmap.
#include "hostsim/pixel_display.h"

#include <windows.h>

namespace hostsim {

std::string DisplayContextProblem(DisplayContext context) {
    const DWORD type = GetObjectType(context);
    if (type != OBJ_DC && type != OBJ_MEMDC && type != OBJ_ENHMETADC && type != OBJ_METADC)
        return "not a device context";
    return {};
}

std::string DrawDisplayBitmap(DisplayContext context, const DisplayBitmap& bitmap, int32 dstRow, int32 dstCol) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = bitmap.width;
    info.bmiHeader.biHeight = -bitmap.height;  // rows from the top down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;  // 0xFFRRGGBB words are blue, green, red, unused in memory
    info.bmiHeader.biCompression = BI_RGB;
    const int lines = SetDIBitsToDevice(context, dstCol, dstRow, DWORD(bitmap.width), DWORD(bitmap.height), 0, 0, 0,
                                        UINT(bitmap.height), bitmap.pixels.data(), &info, DIB_RGB_COLORS);
    if (lines == 0) return "SetDIBitsToDevice failed (error " + std::to_string(GetLastError()) + ")";
    return {};
}

}  // namespace hostsim
