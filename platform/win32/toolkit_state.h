// Whether the toolkit was started successfully for the call in progress. The plug-in object
// sets it when it starts and stops the toolkit; the stand-ins that may show windows read it,
// since toolkit windows without a running toolkit abort the process.
#pragma once

void SetToolkitReady(bool ready);
bool ToolkitReady();
