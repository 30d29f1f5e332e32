// Message boxes in unattended runs. On Windows the plug-in's boxes are the system's own and wait
// for a click that nobody gives in a batch run; while a watch is active on the host's thread,
// every message box shown on that thread is recorded and answered with its default button, as
// a test harness host would. Each box is reported the way the plug-in's stand-in box reports
// itself elsewhere: "[caption]" and the text on standard error, and a record appended to the
// file TELLORA_MESSAGEBOX_LOG names. Elsewhere the stand-in box answers itself: the watch does
// nothing (message_box_watch_posix.cpp).
#pragma once
#include <string>
#include <vector>

namespace hostsim {

struct WatchedBox {
    std::string caption;
    std::string text;
    void* owner = nullptr;  // the box's owner window (GetWindow(box, GW_OWNER)), or null
    int answer = 0;         // the id of the button that answered it
};

class MessageBoxWatch {
public:
    // Whether boxes want watching: the run is unattended (TELLORA_BATCH).
    static bool Wanted();
    // Watches the calling thread until destroyed. `hostWindow` is the host's own window, so
    // that the log can say whether a box is owned by it.
    explicit MessageBoxWatch(void* hostWindow);
    ~MessageBoxWatch();
    MessageBoxWatch(const MessageBoxWatch&) = delete;
    MessageBoxWatch& operator=(const MessageBoxWatch&) = delete;

    // The boxes seen so far, in order.
    const std::vector<WatchedBox>& boxes() const { return boxes_; }

    // Records and answers a box (for the platform's hook).
    void Answer(void* box);

private:
    void* hostWindow_;
    void* hook_ = nullptr;
    MessageBoxWatch* outer_ = nullptr;
    std::vector<WatchedBox> boxes_;
};

}  // namespace hostsim
