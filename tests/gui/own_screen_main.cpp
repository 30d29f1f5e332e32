// Test main of the GUI test programs: each process gets an X server of its own (Xvfb, which
// picks a free display itself) before its tests run. Simulated input goes to whichever window
// has the focus or lies under the pointer, and a window that maps takes the focus from the
// others: on a shared screen, the windows of tests running in parallel would take each other's
// input and focus. Listing the tests needs no screen; a missing Xvfb fails the run rather than
// skipping what it should check. TELLORA_SCREEN sets the screen's size and depth (default
// 1280x1024x24), as for tools/with-display.sh.
#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

pid_t gServer = -1;

void StopServer() {
    if (gServer <= 0) return;
    ::kill(gServer, SIGTERM);
    int status = 0;
    while (::waitpid(gServer, &status, 0) < 0 && errno == EINTR) {
    }
    gServer = -1;
}

// Starts Xvfb on a free display and points DISPLAY at it; false when it cannot be started.
bool StartServer(std::string& why) {
    int ready[2];
    if (::pipe(ready) != 0) {
        why = std::strerror(errno);
        return false;
    }
    gServer = ::fork();
    if (gServer < 0) {
        why = std::strerror(errno);
        return false;
    }
    if (gServer == 0) {
        ::close(ready[0]);
        const std::string fd = std::to_string(ready[1]);
        const char* screen = std::getenv("TELLORA_SCREEN");
        ::execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", screen && *screen ? screen : "1280x1024x24",
                 "-nolisten", "tcp", "-noreset", static_cast<char*>(nullptr));
        std::_Exit(127);
    }
    ::close(ready[1]);
    // Xvfb writes the display number once it accepts clients; end of file means it failed.
    std::string number;
    char c = 0;
    ssize_t n = 0;
    while ((n = ::read(ready[0], &c, 1)) == 1 && c != '\n') number += c;
    ::close(ready[0]);
    if (number.empty()) {
        why = "Xvfb did not start";
        StopServer();
        return false;
    }
    ::setenv("DISPLAY", (":" + number).c_str(), 1);
    ::unsetenv("WAYLAND_DISPLAY");
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    const bool listing = ::testing::GTEST_FLAG(list_tests);
    if (!listing) {
        std::string why;
        if (!StartServer(why)) {
            std::fprintf(stderr, "no X server of our own for the tests: %s\n", why.c_str());
            return 1;
        }
    }
    const int result = RUN_ALL_TESTS();
    // The toolkit keeps its connection to the server until the process ends, and ends the
    // process with an error when the server goes first: leave without running exit handlers.
    std::fflush(stdout);
    std::fflush(stderr);
    StopServer();
    std::_Exit(result);
}
