// A host object whose handlers do what a test tells them, over a filter record the test owns.
#pragma once
#include "host/host.h"
#include "param/ps_parameters.h"

#include <functional>

struct TestHost : Corvantis::Host::PS::Host {
    std::function<void()> onStart;
    bool RunDialog(Corvantis::Host::PS::Parameters*) override { return true; }
    void DefineParameters(Corvantis::Host::PS::Parameters*) override {}
    void RenderTile(Corvantis::Host::PS::Parameters*, Corvantis::Host::PS::ImageBuffer&,
                    Corvantis::Host::PS::ImageBuffer&, Corvantis::Host::PS::ImageBuffer&,
                    Corvantis::Host::PS::ImageBuffer*) override {}
    void OnStart() override {
        if (onStart) onStart();
    }
};
