// Message boxes in the adapter's own flag bits, shown through the system's message box.
#include "host/host.h"
#include "win32/message_box.h"

namespace Corvantis::Host::PS {

int ShowMessageBox(void* owner, const char* text, const char* caption, uint32 flags) {
    UINT type = MB_OK;
    if (flags & kMessageYesNo) {
        type = (flags & kMessageCancel) ? MB_YESNOCANCEL : MB_YESNO;
        if (flags & kMessageSecondDefault) type |= MB_DEFBUTTON2;
    }
    if (flags & kMessageOk) type = (flags & kMessageCancel) ? MB_OKCANCEL : MB_OK;

    if (flags & kMessageWarning) type |= MB_ICONEXCLAMATION;
    else if (flags & kMessageError) type |= MB_ICONHAND;
    else if (flags & kMessageInformation) type |= MB_ICONASTERISK;
    else if (flags & kMessageQuestion) type |= MB_ICONQUESTION;

    if (!owner) type |= MB_TASKMODAL;

    switch (MessageBoxA(static_cast<HWND>(owner), text, caption, type)) {
        case IDOK:
        case IDYES: return 1;
        case IDCANCEL: return 2;
        case IDNO: return 3;
        default: return 1;
    }
}

}  // namespace Corvantis::Host::PS
