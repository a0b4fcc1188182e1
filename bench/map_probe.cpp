// Starts a program and reports how long it took until its first top-level window was mapped
// on the X server, then its resident memory a few seconds after start; then, if asked, runs a
// further command against the still running program before ending it.
//
//   map_probe [--settle SECONDS] [--stderr FILE] [--then COMMAND] -- PROGRAM [ARGS...]
//
// Prints "pid=<n> map_ms=<n> rss_kb=<n>" once the settle time (default 5 s) has passed since
// the start. COMMAND runs through /bin/sh with BENCH_PID set to the program's process id and
// its output going to this probe's; the probe exits with its status. The program's stderr goes
// to FILE if given, so a run can be checked for warnings.
//
// Needs a window manager: the frame it maps on the root window is what the user first sees.
// Windows that bypass the window manager (tool tips, pop-ups) do not count.
#include <xcb/xcb.h>

#include "proc_status.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <memory>
#include <string>
#include <string_view>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

[[noreturn]] void usage(const char *self)
{
    std::fprintf(stderr,
                 "usage: %s [--settle SECONDS] [--stderr FILE] [--then COMMAND] -- PROGRAM "
                 "[ARGS...]\n",
                 self);
    std::exit(2);
}

int exitStatus(int status)
{
    if (WIFEXITED(status))
        return WEXITSTATUS(status);
    return 128 + (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
}

} // namespace

int main(int argc, char *argv[])
{
    int settleSeconds = 5;
    const char *stderrFile = nullptr;
    const char *then = nullptr;
    int first = 1;
    for (; first < argc; ++first) {
        const std::string_view option = argv[first];
        if (option == "--") {
            ++first;
            break;
        }
        if (first + 1 >= argc)
            usage(argv[0]);
        if (option == "--settle")
            settleSeconds = std::atoi(argv[++first]);
        else if (option == "--stderr")
            stderrFile = argv[++first];
        else if (option == "--then")
            then = argv[++first];
        else
            usage(argv[0]);
    }
    if (first >= argc)
        usage(argv[0]);

    xcb_connection_t *connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection)) {
        std::fprintf(stderr, "map_probe: cannot open the display\n");
        return 1;
    }
    xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(connection, screen->root, XCB_CW_EVENT_MASK, &mask);
    // Make sure the server has the mask before the program can map anything.
    std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));

    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) {
        if (stderrFile != nullptr) {
            const int fd = open(stderrFile, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
            if (fd >= 0)
                dup2(fd, STDERR_FILENO);
        }
        execvp(argv[first], argv + first);
        _exit(127);
    }

    long mapMilliseconds = -1;
    while (xcb_generic_event_t *event = xcb_wait_for_event(connection)) {
        const std::unique_ptr<xcb_generic_event_t, decltype(&std::free)> owner(event, &std::free);
        if ((event->response_type & 0x7f) != XCB_MAP_NOTIFY)
            continue;
        if (reinterpret_cast<xcb_map_notify_event_t *>(event)->override_redirect)
            continue;
        mapMilliseconds = std::chrono::duration_cast<std::chrono::milliseconds>(
                              std::chrono::steady_clock::now() - start)
                              .count();
        break;
    }
    xcb_disconnect(connection);
    std::this_thread::sleep_until(start + std::chrono::seconds(settleSeconds));
    const long rss = residentKilobytes(child);
    std::printf("pid=%d map_ms=%ld rss_kb=%ld\n", static_cast<int>(child), mapMilliseconds, rss);
    std::fflush(stdout);

    int status = mapMilliseconds < 0 ? 1 : 0;
    if (then != nullptr && status == 0) {
        const std::string pid = std::to_string(child);
        setenv("BENCH_PID", pid.c_str(), 1);
        const pid_t command = fork();
        if (command == 0) {
            execl("/bin/sh", "sh", "-c", then, static_cast<char *>(nullptr));
            _exit(127);
        }
        int commandStatus = 0;
        waitpid(command, &commandStatus, 0);
        status = exitStatus(commandStatus);
    }

    // A program that ended by itself meanwhile is a failed run.
    int childStatus = 0;
    if (waitpid(child, &childStatus, WNOHANG) == child) {
        std::fprintf(stderr, "map_probe: the program ended early (status %d)\n",
                     exitStatus(childStatus));
        return status == 0 ? 1 : status;
    }
    kill(child, SIGTERM);
    waitpid(child, nullptr, 0);
    return status;
}
