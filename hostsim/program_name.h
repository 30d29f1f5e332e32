// The name filterhost gives itself where others see it: its window's title and its temporary
// files.
#pragma once

namespace hostsim {

constexpr char kProgramName[] = "filterhost";

}  // namespace hostsim
