// Puts the module's own manifest in force for the length of a call from the host. The module
// carries a manifest (resource 2) that asks for the common controls version 6; Windows applies
// a DLL's manifest only while an activation context made from it is active. Made for each call,
// so that every window the module creates gets the themed controls (and their keys, such as
// Ctrl+A in a field) whatever manifest the host process has, or none. Elsewhere it does nothing.
#pragma once

class ModuleManifestScope {
public:
    ModuleManifestScope();
    ~ModuleManifestScope();
    ModuleManifestScope(const ModuleManifestScope&) = delete;
    ModuleManifestScope& operator=(const ModuleManifestScope&) = delete;

    // Whether the module's manifest is in force (false where there is none to use).
    bool Active() const { return active; }

private:
    void* context = nullptr;
    unsigned long long cookie = 0;
    bool active = false;
};
