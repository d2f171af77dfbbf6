// Starts a program on the current X display and tells, in milliseconds from the moment it was
// forked, when each of its top-level windows was created, mapped, first painted and unmapped.
// A paint is the first damage the server reports on the window, so it is the moment the
// program's pixels reach the screen, not the moment it asked for them.
//
//   startupwatch [-t MILLISECONDS] PROGRAM [ARGUMENT...]
//
// Prints "pid N" first, then one line per event:
//   create|map|paint|unmap WINDOW WIDTHxHEIGHT MILLISECONDS
//   exit STATUS MILLISECONDS
// and returns after the given time (default 5000 ms), leaving the program running.

#include <X11/Xlib.h>
#include <X11/extensions/Xdamage.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <map>

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

struct TopLevel
{
    int width = 0;
    int height = 0;
    bool painted = false;
};

timespec start;

double sinceStart()
{
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return double(now.tv_sec - start.tv_sec) * 1e3 + double(now.tv_nsec - start.tv_nsec) / 1e6;
}

void report(const char *what, Window window, const TopLevel &w)
{
    std::printf("%s 0x%lx %dx%d %.3f\n", what, window, w.width, w.height, sinceStart());
    std::fflush(stdout);
}

// Windows may vanish between an event and the request that follows it.
int ignoreErrors(Display *, XErrorEvent *)
{
    return 0;
}

void usage()
{
    std::fprintf(stderr, "usage: startupwatch [-t MILLISECONDS] PROGRAM [ARGUMENT...]\n");
    std::exit(2);
}

} // namespace

int main(int argc, char *argv[])
{
    double watchMs = 5000;
    int first = 1;
    if (first + 1 < argc && std::strcmp(argv[first], "-t") == 0) {
        watchMs = std::strtod(argv[first + 1], nullptr);
        first += 2;
    }
    if (first >= argc || watchMs <= 0)
        usage();

    Display *display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "startupwatch: cannot open display\n");
        return 1;
    }
    int damageEvent = 0;
    int damageError = 0;
    if (!XDamageQueryExtension(display, &damageEvent, &damageError)) {
        std::fprintf(stderr, "startupwatch: the display has no DAMAGE extension\n");
        return 1;
    }
    int major = 1;
    int minor = 1;
    XDamageQueryVersion(display, &major, &minor);
    XSetErrorHandler(ignoreErrors);

    const Window root = DefaultRootWindow(display);
    XSelectInput(display, root, SubstructureNotifyMask);
    XSync(display, False);
    fcntl(ConnectionNumber(display), F_SETFD, FD_CLOEXEC);

    clock_gettime(CLOCK_MONOTONIC, &start);
    const pid_t child = fork();
    if (child < 0) {
        std::perror("startupwatch: fork");
        return 1;
    }
    if (child == 0) {
        execvp(argv[first], argv + first);
        std::perror("startupwatch: exec");
        _exit(127);
    }
    std::printf("pid %d\n", static_cast<int>(child));
    std::fflush(stdout);

    std::map<Window, TopLevel> windows;
    bool running = true;
    while (sinceStart() < watchMs) {
        while (XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == CreateNotify && event.xcreatewindow.parent == root) {
                const XCreateWindowEvent &e = event.xcreatewindow;
                TopLevel &w = windows[e.window];
                w.width = e.width;
                w.height = e.height;
                XDamageCreate(display, e.window, XDamageReportNonEmpty);
                XFlush(display);
                report("create", e.window, w);
            } else if (event.type == ConfigureNotify) {
                auto it = windows.find(event.xconfigure.window);
                if (it != windows.end()) {
                    it->second.width = event.xconfigure.width;
                    it->second.height = event.xconfigure.height;
                }
            } else if (event.type == MapNotify) {
                auto it = windows.find(event.xmap.window);
                if (it != windows.end())
                    report("map", it->first, it->second);
            } else if (event.type == UnmapNotify && !event.xunmap.send_event) {
                auto it = windows.find(event.xunmap.window);
                if (it != windows.end())
                    report("unmap", it->first, it->second);
            } else if (event.type == DestroyNotify) {
                windows.erase(event.xdestroywindow.window);
            } else if (event.type == damageEvent + XDamageNotify) {
                const auto &e = reinterpret_cast<const XDamageNotifyEvent &>(event);
                auto it = windows.find(e.drawable);
                if (it != windows.end() && !it->second.painted) {
                    it->second.painted = true;
                    report("paint", it->first, it->second);
                }
            }
        }
        if (running) {
            int status = 0;
            if (waitpid(child, &status, WNOHANG) == child) {
                running = false;
                std::printf("exit %d %.3f\n", WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status),
                            sinceStart());
                std::fflush(stdout);
            }
        }
        pollfd fd = { ConnectionNumber(display), POLLIN, 0 };
        const int wait = running ? 20 : static_cast<int>(watchMs - sinceStart());
        if (poll(&fd, 1, wait > 0 ? wait : 0) < 0 && errno != EINTR)
            break;
    }
    XCloseDisplay(display);
    return 0;
}
