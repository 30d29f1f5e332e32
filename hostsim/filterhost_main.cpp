// filterhost: drives a filter plug-in module from the command line.
#include "hostsim/filter_host_app.h"

#include <iostream>
#include <string>
#include <vector>

#ifdef _WIN32
#include "hostsim/windows_text.h"

#include <windows.h>

// Windows hands the arguments over as UTF-16, whatever the code page can say; the host's texts
// are UTF-8, converted here once. The environment is read the same way (EnvironmentValue).
int wmain(int argc, wchar_t** argv) {
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) args.push_back(hostsim::Narrow(argv[i]));
    // A console shows what the host prints, names of files among it, as the UTF-8 it is; the
    // console gets its code page back at the end.
    const UINT consolePage = GetConsoleOutputCP();
    if (consolePage) SetConsoleOutputCP(CP_UTF8);
    const int status = hostsim::FilterHostApp(std::cout, std::cerr).Run(args);
    std::cout.flush();
    std::cerr.flush();
    if (consolePage) SetConsoleOutputCP(consolePage);
    return status;
}
#else
int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    return hostsim::FilterHostApp(std::cout, std::cerr).Run(args);
}
#endif
