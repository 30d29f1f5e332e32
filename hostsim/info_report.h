// The text `filterhost info` prints about a module.
#pragma once
#include "hostsim/module_resources.h"

#include <ostream>

namespace hostsim {

class InfoReport {
public:
    // The property list, then the terminology (or a line saying there is none).
    static void Print(std::ostream& out, const ModuleResources& resources);
    static void PrintPipl(std::ostream& out, const Pipl& pipl);
    static void PrintTerminology(std::ostream& out, const Terminology& terminology);
};

}  // namespace hostsim
