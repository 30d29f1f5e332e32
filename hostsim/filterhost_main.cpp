// filterhost: drives a filter plug-in module from the command line.
#include "hostsim/filter_host_app.h"

#include <iostream>

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    return hostsim::FilterHostApp(std::cout, std::cerr).Run(args);
}
