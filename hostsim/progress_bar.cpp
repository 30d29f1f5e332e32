#include "hostsim/progress_bar.h"

#include <string>
#include <unistd.h>

namespace hostsim {

ProgressBar::ProgressBar(std::ostream& out, bool enabled, int width)
    : out_(out), enabled_(enabled), width_(width > 0 ? width : 40) {}

ProgressBar::~ProgressBar() { Finish(); }

bool ProgressBar::StderrIsTerminal() { return isatty(STDERR_FILENO) == 1; }

void ProgressBar::Update(int32 done, int32 total) {
    if (!enabled_ || total <= 0 || done < 0 || done > total) return;
    const int percent = int(int64_t(done) * 100 / total);
    if (percent == shown_) return;
    shown_ = percent;
    const int filled = int(int64_t(done) * width_ / total);
    std::string line = "\r[" + std::string(std::size_t(filled), '#') + std::string(std::size_t(width_ - filled), '.') + "] ";
    const std::string number = std::to_string(percent);
    line += std::string(3 - number.size(), ' ') + number + "%";
    out_ << line << std::flush;
}

void ProgressBar::Finish() {
    if (shown_ < 0) return;
    out_ << '\n' << std::flush;
    shown_ = -1;
}

}  // namespace hostsim
