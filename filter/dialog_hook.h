// In-process hosts and tests can answer the dialog in its place. Every request is counted,
// answered by a stand-in or not.
#pragma once
#include "host/host.h"

#include <functional>
#include <optional>

// Counts the request; the stand-in's answer when one is set, else nothing (show the dialog).
std::optional<bool> AskDialogStandIn(Corvantis::Host::PS::Parameters* params);

// Puts an answer in place of the dialog. Reset with nullptr.
void SetDialogStandIn(std::function<bool(Corvantis::Host::PS::Parameters*)> standIn);
// How many times a dialog was asked for in this process.
int DialogRequestCount();
