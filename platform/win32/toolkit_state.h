// What the stand-ins and the dialog need to know about the call in progress before they show a
// window: whether the toolkit was started successfully (the plug-in object sets it when it starts
// and stops the toolkit; toolkit windows without a running toolkit abort the process), and
// whether the host asked for a run without a user.
#pragma once

void SetToolkitReady(bool ready);
bool ToolkitReady();

// True when the host asked for a batch run (TELLORA_BATCH is set in its environment): no window
// waits for a user, boxes answer their default button and the dialog ends itself with OK. This
// is the only way the plug-in decides that nobody is there: a host without a terminal or a
// console (every image editor on Windows) still has a user at the screen.
bool BatchRunRequested();
