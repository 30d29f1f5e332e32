// Build tool of the Windows build: writes the PiPL and terminology bytes to pipl.bin and
// aete.bin in the folder given, for tellora.rc to include. Compiled for the build machine from
// the same sources the Linux module links, so both modules carry the same bytes.
#include "resources/pipl.h"
#include "resources/terminology.h"

#include <cstdio>
#include <string>

namespace {

bool Write(const std::string& path, const unsigned char* bytes, std::size_t size) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    const bool written = std::fwrite(bytes, 1, size, file) == size;
    return std::fclose(file) == 0 && written;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT-FOLDER\n", argv[0]);
        return 2;
    }
    const std::string folder = argv[1];
    if (!Write(folder + "/pipl.bin", kTelloraPipl, kTelloraPiplSize) ||
        !Write(folder + "/aete.bin", kTelloraTerminology, kTelloraTerminologySize)) {
        std::fprintf(stderr, "%s: cannot write the resource files in %s\n", argv[0], folder.c_str());
        return 1;
    }
    return 0;
}
