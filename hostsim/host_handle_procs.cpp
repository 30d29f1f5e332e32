#include "hostsim/host_handle_procs.h"

#include "hostsim/host_session.h"

#include <cstdio>
#include <string>

namespace hostsim {

namespace {

std::string HandleText(Handle h) {
    char text[32];
    std::snprintf(text, sizeof text, "%p", static_cast<void*>(h));
    return text;
}

// Tells the session why a handle was refused: never disposed, disposed before, or unknown.
void ReportBadHandle(HostSession& s, const char* proc, Handle h) {
    if (!h) {
        s.ReportMisuse(std::string(proc) + ": null handle");
    } else if (s.handles().WasDisposed(h)) {
        s.ReportMisuse(std::string(proc) + ": handle " + HandleText(h) + " was already disposed");
    } else {
        s.ReportMisuse(std::string(proc) + ": " + HandleText(h) + " is not a handle of this host");
    }
}

Handle NewHandleProc(int32 size) {
    HostSession* s = HostSession::Current();
    if (!s || s->callbacks().Enter(HostCallback::NewHandle)) return nullptr;
    return s->handles().New(size);
}

void DisposeHandleProc(Handle h) {
    HostSession* s = HostSession::Current();
    if (!s || s->callbacks().Enter(HostCallback::DisposeHandle)) return;
    // Disposing null is allowed, as it is for the memory manager's handles.
    if (h && !s->handles().Dispose(h)) ReportBadHandle(*s, "disposeProc", h);
}

int32 GetHandleSizeProc(Handle h) {
    HostSession* s = HostSession::Current();
    if (!s || s->callbacks().Enter(HostCallback::GetHandleSize)) return 0;
    const int32 size = s->handles().Size(h);
    if (size < 0) {
        ReportBadHandle(*s, "getSizeProc", h);
        return 0;
    }
    return s->options().unsizedHandles ? 0 : size;
}

OSErr SetHandleSizeProc(Handle h, int32 size) {
    HostSession* s = HostSession::Current();
    if (!s) return paramErr;
    if (s->callbacks().Enter(HostCallback::SetHandleSize)) return s->callbacks().FailureCode(HostCallback::SetHandleSize);
    const OSErr err = s->handles().SetSize(h, size);
    if (err == nilHandleErr) ReportBadHandle(*s, "setSizeProc", h);
    return err;
}

Ptr LockHandleProc(Handle h, Boolean) {
    HostSession* s = HostSession::Current();
    if (!s || s->callbacks().Enter(HostCallback::LockHandle)) return nullptr;
    Ptr p = s->handles().Lock(h);
    if (!p) ReportBadHandle(*s, "lockProc", h);
    return p;
}

void UnlockHandleProc(Handle h) {
    HostSession* s = HostSession::Current();
    if (!s || s->callbacks().Enter(HostCallback::UnlockHandle)) return;
    // Unlocking null is harmless, as it is for the memory manager's handles.
    if (h && !s->handles().Unlock(h)) ReportBadHandle(*s, "unlockProc", h);
}

void RecoverSpaceProc(int32) {
    HostSession* s = HostSession::Current();
    if (s) s->callbacks().Enter(HostCallback::RecoverSpace);
    // The host keeps no caches to purge.
}

void DisposeRegularHandleProc(Handle h) {
    HostSession* s = HostSession::Current();
    if (!s || s->callbacks().Enter(HostCallback::DisposeRegularHandle)) return;
    // The host hands out no other kind of handle, so a regular handle is one of the store's.
    if (h && !s->handles().Dispose(h)) ReportBadHandle(*s, "disposeRegularHandleProc", h);
}

template <class Proc>
Proc Offer(const CallbackTable& callbacks, HostCallback callback, Proc proc) {
    return callbacks.Present(callback) ? proc : nullptr;
}

}  // namespace

void FillHandleProcs(HandleProcs& procs, const CallbackTable& c) {
    procs.handleProcsVersion = kCurrentHandleProcsVersion;
    procs.numHandleProcs = kCurrentHandleProcsCount;
    procs.newProc = Offer(c, HostCallback::NewHandle, &NewHandleProc);
    procs.disposeProc = Offer(c, HostCallback::DisposeHandle, &DisposeHandleProc);
    procs.getSizeProc = Offer(c, HostCallback::GetHandleSize, &GetHandleSizeProc);
    procs.setSizeProc = Offer(c, HostCallback::SetHandleSize, &SetHandleSizeProc);
    procs.lockProc = Offer(c, HostCallback::LockHandle, &LockHandleProc);
    procs.unlockProc = Offer(c, HostCallback::UnlockHandle, &UnlockHandleProc);
    procs.recoverSpaceProc = Offer(c, HostCallback::RecoverSpace, &RecoverSpaceProc);
    procs.disposeRegularHandleProc = Offer(c, HostCallback::DisposeRegularHandle, &DisposeRegularHandleProc);
}

}  // namespace hostsim
