// Runs the plug-in's modal dialog over the working parameter list; true when confirmed.
#pragma once
#include "host/host.h"

#include <functional>

bool RunTelloraDialog(Corvantis::Host::PS::Host& host, Corvantis::Host::PS::Parameters* params);

// Tests and hosts without a user can put an answer in place of the dialog. Reset with nullptr.
void SetDialogStandIn(std::function<bool(Corvantis::Host::PS::Parameters*)> standIn);
// How many times a dialog was asked for in this process.
int DialogRequestCount();
