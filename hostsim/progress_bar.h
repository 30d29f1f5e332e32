// The plug-in's progress reports as a bar on a terminal line: "[#####.....]  50%".
#pragma once
#include "pluginapi/pi_types.h"

#include <ostream>

namespace hostsim {

class ProgressBar {
public:
    // A disabled bar draws nothing (output that is not a terminal).
    ProgressBar(std::ostream& out, bool enabled, int width = 40);
    ~ProgressBar();
    ProgressBar(const ProgressBar&) = delete;
    ProgressBar& operator=(const ProgressBar&) = delete;

    // Redraws the line when the shown percentage changes; nonsense reports are ignored.
    void Update(int32 done, int32 total);
    // Ends the line, when anything was drawn.
    void Finish();

    static bool StderrIsTerminal();

private:
    std::ostream& out_;
    bool enabled_;
    int width_;
    int shown_ = -1;  // percentage on the line, -1 before the first draw
};

}  // namespace hostsim
