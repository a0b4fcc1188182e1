// Starts a program and reports, in milliseconds, how long it took until its first top-level
// window was mapped on the X server, then its resident memory a few seconds after start.
//   map_probe SECONDS PROGRAM [ARGS...]   ->  "map_ms=<n> rss_kb=<n>"
// Needs a window manager: the frame it maps on the root window is what the user first sees.
#include <xcb/xcb.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

long residentKilobytes(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stol(line.substr(6));
    return -1;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s SECONDS PROGRAM [ARGS...]\n", argv[0]);
        return 2;
    }
    const int settleSeconds = std::atoi(argv[1]);
    xcb_connection_t *connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection)) {
        std::fprintf(stderr, "map_probe: cannot open the display\n");
        return 1;
    }
    xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(connection, screen->root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(connection);

    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) {
        execvp(argv[2], argv + 2);
        _exit(127);
    }

    long mapMilliseconds = -1;
    while (xcb_generic_event_t *event = xcb_wait_for_event(connection)) {
        const std::unique_ptr<xcb_generic_event_t, decltype(&std::free)> owner(event, &std::free);
        if ((event->response_type & 0x7f) == XCB_MAP_NOTIFY) {
            mapMilliseconds = std::chrono::duration_cast<std::chrono::milliseconds>(
                                  std::chrono::steady_clock::now() - start)
                                  .count();
            break;
        }
    }
    std::this_thread::sleep_until(start + std::chrono::seconds(settleSeconds));
    const long rss = residentKilobytes(child);
    kill(child, SIGTERM);
    waitpid(child, nullptr, 0);
    xcb_disconnect(connection);
    std::printf("map_ms=%ld rss_kb=%ld\n", mapMilliseconds, rss);
    return mapMilliseconds < 0 ? 1 : 0;
}
