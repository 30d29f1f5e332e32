#include "win32/module_manifest.h"

#ifdef _WIN32
#include "win32/module_handle.h"

namespace {
constexpr WORD kModuleManifestId = 2;  // a DLL's manifest (ISOLATIONAWARE_MANIFEST_RESOURCE_ID)
}

ModuleManifestScope::ModuleManifestScope() {
    ACTCTXW request{};
    request.cbSize = sizeof request;
    request.dwFlags = ACTCTX_FLAG_HMODULE_VALID | ACTCTX_FLAG_RESOURCE_NAME_VALID;
    request.hModule = ThisModule();
    request.lpResourceName = MAKEINTRESOURCEW(kModuleManifestId);
    HANDLE made = request.hModule ? CreateActCtxW(&request) : INVALID_HANDLE_VALUE;
    // Without it the module still works, with the controls of the host's own context.
    if (made == INVALID_HANDLE_VALUE) return;
    ULONG_PTR activated = 0;
    if (!ActivateActCtx(made, &activated)) {
        ReleaseActCtx(made);
        return;
    }
    context = made;
    cookie = activated;
    active = true;
}

ModuleManifestScope::~ModuleManifestScope() {
    if (!active) return;
    DeactivateActCtx(0, static_cast<ULONG_PTR>(cookie));
    ReleaseActCtx(static_cast<HANDLE>(context));
}
#else
ModuleManifestScope::ModuleManifestScope() = default;
ModuleManifestScope::~ModuleManifestScope() = default;
#endif
