// Starts a program and prints how long it took until its main window was mapped on the
// X display, measured from just before the program is started; optionally how much
// memory it holds a while later. Used by bench/startup-race.sh.
//   window-mapped [--title TITLE] [--hold MS] [--timeout MS] -- PROGRAM [ARGS...]
// The window is the first top-level one mapped whose title is TITLE, or, without
// --title, the first one mapped that carries the program's process id (_NET_WM_PID).
// Prints "mapped-ms N" and, with --hold, "rss-kb N" read MS milliseconds after the map;
// then ends the program. Exit status 1 when no such window appeared within the timeout.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

std::string WindowTitle(Display* d, Window w) {
    const Atom utf8 = XInternAtom(d, "UTF8_STRING", False);
    const Atom netName = XInternAtom(d, "_NET_WM_NAME", False);
    Atom type = None;
    int format = 0;
    unsigned long items = 0, after = 0;
    unsigned char* data = nullptr;
    std::string title;
    if (XGetWindowProperty(d, w, netName, 0, 1024, False, utf8, &type, &format, &items, &after,
                           &data) == Success &&
        data) {
        title.assign(reinterpret_cast<char*>(data), items);
        XFree(data);
    }
    if (title.empty()) {
        char* name = nullptr;
        if (XFetchName(d, w, &name) && name) {
            title = name;
            XFree(name);
        }
    }
    return title;
}

long WindowPid(Display* d, Window w) {
    const Atom pidAtom = XInternAtom(d, "_NET_WM_PID", False);
    Atom type = None;
    int format = 0;
    unsigned long items = 0, after = 0;
    unsigned char* data = nullptr;
    long pid = -1;
    if (XGetWindowProperty(d, w, pidAtom, 0, 1, False, XA_CARDINAL, &type, &format, &items, &after,
                           &data) == Success &&
        data) {
        if (items == 1 && format == 32) pid = *reinterpret_cast<long*>(data);
        XFree(data);
    }
    return pid;
}

long RssKb(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
    return -1;
}

}  // namespace

int main(int argc, char** argv) {
    std::string title;
    int holdMs = -1, timeoutMs = 20000;
    int i = 1;
    for (; i < argc; ++i) {
        if (std::strcmp(argv[i], "--") == 0) {
            ++i;
            break;
        }
        if (i + 1 >= argc) break;
        if (std::strcmp(argv[i], "--title") == 0)
            title = argv[++i];
        else if (std::strcmp(argv[i], "--hold") == 0)
            holdMs = std::atoi(argv[++i]);
        else if (std::strcmp(argv[i], "--timeout") == 0)
            timeoutMs = std::atoi(argv[++i]);
        else
            break;
    }
    if (i >= argc) {
        std::fprintf(stderr,
                     "usage: window-mapped [--title T] [--hold MS] [--timeout MS] -- PROGRAM "
                     "[ARGS...]\n");
        return 2;
    }
    Display* d = XOpenDisplay(nullptr);
    if (!d) {
        std::fprintf(stderr, "window-mapped: no X display\n");
        return 2;
    }
    const Window root = DefaultRootWindow(d);
    XSelectInput(d, root, SubstructureNotifyMask);
    XSync(d, False);

    const Clock::time_point start = Clock::now();
    const pid_t child = fork();
    if (child == 0) {
        execvp(argv[i], argv + i);
        std::perror("window-mapped: exec");
        _exit(127);
    }
    double mappedMs = -1;
    const int fd = ConnectionNumber(d);
    while (mappedMs < 0) {
        const double waited =
            std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        if (waited > timeoutMs) break;
        if (!XPending(d)) {
            pollfd p{fd, POLLIN, 0};
            poll(&p, 1, 20);
            continue;
        }
        XEvent e;
        XNextEvent(d, &e);
        if (e.type != MapNotify || e.xmap.override_redirect) continue;
        const Clock::time_point at = Clock::now();
        const Window w = e.xmap.window;
        const bool ours = title.empty() ? WindowPid(d, w) == child : WindowTitle(d, w) == title;
        if (ours) mappedMs = std::chrono::duration<double, std::milli>(at - start).count();
    }
    int status = 0;
    if (mappedMs >= 0) {
        std::printf("mapped-ms %.1f\n", mappedMs);
        if (holdMs >= 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(holdMs));
            std::printf("rss-kb %ld\n", RssKb(child));
        }
    } else {
        std::fprintf(stderr, "window-mapped: no window within %d ms\n", timeoutMs);
    }
    std::fflush(stdout);
    kill(child, SIGKILL);
    waitpid(child, &status, 0);
    XCloseDisplay(d);
    return mappedMs >= 0 ? 0 : 1;
}
