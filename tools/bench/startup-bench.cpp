// SPDX-License-Identifier: MIT
// Starts programs in turn under the current X server and measures, for each start:
//  - the time from spawning the process to its window's first painted frame, seen from
//    this separate X client: the X server reports every drawing into the window (XDamage),
//    and after each batch of reports a few pixels of the window are read back and compared with the
//    picture the window must show. The first report after which all of them match is the
//    first frame. A 5 ms poll of the same pixels backs the reports up; the table says how
//    often it, not a report, saw the frame first.
//  - peak resident memory: VmHWM from /proc/PID/status, read after the window has been
//    idle for the settle time, just before the window is asked to close.
// Subjects are started round-robin, so that drift of the machine spreads over all of them.
//
// usage: startup-bench --picture PNG [--runs N] [--warmup N] [--settle MS] [--reference LABEL]
//            --subject 'LABEL|[VAR=VALUE ...] [-VAR ...] PROGRAM [ARG ...]' ...
// VAR=VALUE sets and -VAR unsets a variable for that subject only.
//        startup-bench --picture PNG --write-raw FILE   writes the picture's RGB32 pixels
#include <QImage>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xdamage.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <fstream>
#include <map>
#include <poll.h>
#include <spawn.h>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char **environ;

namespace {
constexpr int WindowWidth = 508;
constexpr int WindowHeight = 384;
constexpr int PollMs = 5;
constexpr double StartTimeoutMs = 30000;

// Window points where the picture shows in the tool and the baseline alike: clear of the
// fields, labels, buttons and the strip, and of colours an unpainted window could have.
struct Probe
{
    int x, y;
    unsigned long rgb = 0;
};
std::vector<Probe> g_probes = {{425, 62}, {122, 72},  {122, 250}, {40, 150},
                               {200, 45}, {470, 130}, {60, 320},  {300, 20}};

double nowMs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

int g_xErrors = 0;
int ignoreXError(Display *, XErrorEvent *)
{
    // Reads of a window that is not (or no longer) viewable fail; the next event retries.
    ++g_xErrors;
    return 0;
}

struct Sample
{
    double frameMs = 0;
    long hwmKiB = 0;
    long maxRssKiB = 0;
    double cpuMs = 0;
    bool byPoll = false;
};

struct Subject
{
    std::string label;
    std::vector<std::string> setEnv;
    std::vector<std::string> unsetEnv;
    std::vector<std::string> argv;
    std::vector<Sample> samples;
    int failures = 0;
};

Subject parseSubject(const std::string &text)
{
    Subject s;
    const auto bar = text.find('|');
    if (bar == std::string::npos) {
        std::fprintf(stderr, "subject '%s' lacks 'LABEL|'\n", text.c_str());
        std::exit(2);
    }
    s.label = text.substr(0, bar);
    std::istringstream words(text.substr(bar + 1));
    std::string w;
    while (words >> w) {
        if (s.argv.empty() && w.size() > 1 && w[0] == '-')
            s.unsetEnv.push_back(w.substr(1));
        else if (s.argv.empty() && w.find('=') != std::string::npos)
            s.setEnv.push_back(w);
        else
            s.argv.push_back(w);
    }
    if (s.argv.empty()) {
        std::fprintf(stderr, "subject '%s' names no program\n", text.c_str());
        std::exit(2);
    }
    return s;
}

std::vector<std::string> environmentFor(const Subject &s)
{
    std::map<std::string, std::string> vars;
    for (char **e = environ; *e; ++e) {
        const std::string kv = *e;
        const auto eq = kv.find('=');
        vars[kv.substr(0, eq)] = kv;
    }
    for (const std::string &name : s.unsetEnv)
        vars.erase(name);
    for (const std::string &kv : s.setEnv)
        vars[kv.substr(0, kv.find('='))] = kv;
    std::vector<std::string> out;
    for (const auto &entry : vars)
        out.push_back(entry.second);
    return out;
}

long statusKiB(pid_t pid, const char *field)
{
    std::ifstream in("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    const size_t n = std::strlen(field);
    while (std::getline(in, line))
        if (line.compare(0, n, field) == 0 && line.size() > n && line[n] == ':')
            return std::atol(line.c_str() + n + 1);
    return -1;
}

class Observer
{
public:
    explicit Observer(Display *display) : m_display(display), m_root(DefaultRootWindow(display))
    {
        int errorBase = 0;
        if (!XDamageQueryExtension(m_display, &m_damageEvent, &errorBase)) {
            std::fprintf(stderr, "the X server has no DAMAGE extension\n");
            std::exit(2);
        }
        XSelectInput(m_display, m_root, SubstructureNotifyMask);
        m_wmProtocols = XInternAtom(m_display, "WM_PROTOCOLS", False);
        m_wmDelete = XInternAtom(m_display, "WM_DELETE_WINDOW", False);
        XSync(m_display, False);
    }

    bool run(Subject &subject, int settleMs, Sample &sample)
    {
        drain();
        std::vector<std::string> env = environmentFor(subject);
        std::vector<char *> envp, argv;
        for (std::string &kv : env)
            envp.push_back(kv.data());
        envp.push_back(nullptr);
        for (std::string &a : subject.argv)
            argv.push_back(a.data());
        argv.push_back(nullptr);

        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        if (!std::getenv("STARTUP_BENCH_VERBOSE"))
            posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);

        m_window = None;
        m_mapped = false;
        const double start = nowMs();
        pid_t pid = 0;
        const int rc = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
        posix_spawn_file_actions_destroy(&actions);
        if (rc != 0) {
            std::fprintf(stderr, "cannot start %s: %s\n", argv[0], std::strerror(rc));
            return false;
        }

        double frame = -1;
        bool byPoll = false;
        while (frame < 0 && nowMs() - start < StartTimeoutMs) {
            int status = 0;
            if (waitpid(pid, &status, WNOHANG) == pid) {
                std::fprintf(stderr, "%s exited before its first frame\n", subject.label.c_str());
                return false;
            }
            if (!waitForEvent(PollMs)) {
                const double looked = nowMs();
                if (m_window != None && m_mapped && picturePainted()) {
                    frame = looked - start;
                    byPoll = true;
                }
                continue;
            }
            // One look after all the reports at hand: a frame may come in several puts.
            const double seen = nowMs();
            bool changed = false;
            while (XPending(m_display)) {
                XEvent event;
                XNextEvent(m_display, &event);
                changed = handle(event) || changed;
            }
            if (changed && picturePainted())
                frame = seen - start;
        }

        bool ok = frame >= 0;
        if (ok) {
            const double settled = nowMs() + settleMs;
            while (nowMs() < settled) {
                waitForEvent(int(std::max(1.0, settled - nowMs())));
                drain();
            }
            sample.frameMs = frame;
            sample.byPoll = byPoll;
            sample.hwmKiB = statusKiB(pid, "VmHWM");
        } else {
            std::fprintf(stderr, "%s: no frame within %.0f ms\n", subject.label.c_str(),
                         StartTimeoutMs);
        }
        sample.maxRssKiB = closeAndReap(pid, sample.cpuMs);
        ok = ok && sample.maxRssKiB >= 0;
        return ok;
    }

private:
    bool waitForEvent(int timeoutMs)
    {
        if (XPending(m_display))
            return true;
        pollfd fd{ConnectionNumber(m_display), POLLIN, 0};
        return poll(&fd, 1, timeoutMs) > 0 && XPending(m_display);
    }

    void drain()
    {
        while (XPending(m_display)) {
            XEvent event;
            XNextEvent(m_display, &event);
        }
    }

    // Returns whether the window may have changed in a way worth a look.
    bool handle(const XEvent &event)
    {
        if (event.type == CreateNotify) {
            const XCreateWindowEvent &e = event.xcreatewindow;
            if (e.parent == m_root && !e.override_redirect)
                return watchIfWindow(e.window, e.width, e.height);
        } else if (event.type == ConfigureNotify) {
            // Wine makes its windows small and sizes them afterwards.
            const XConfigureEvent &e = event.xconfigure;
            if (e.event == m_root && !e.override_redirect)
                return watchIfWindow(e.window, e.width, e.height);
        } else if (event.type == MapNotify) {
            if (event.xmap.window == m_window && m_window != None) {
                m_mapped = true;
                return true;
            }
        } else if (event.type == m_damageEvent + XDamageNotify) {
            const auto &e = reinterpret_cast<const XDamageNotifyEvent &>(event);
            return e.drawable == m_window && m_mapped;
        }
        return false;
    }

    // Watches the first top-level window of the designer's size.
    bool watchIfWindow(Window window, int width, int height)
    {
        if (m_window != None || width != WindowWidth || height != WindowHeight)
            return false;
        m_window = window;
        // Every drawing operation is reported, so that no put of a frame goes unseen.
        XDamageCreate(m_display, m_window, XDamageReportRawRectangles);
        XSync(m_display, False);
        // It may have been mapped and drawn before the damage record existed.
        XWindowAttributes attributes;
        m_mapped = XGetWindowAttributes(m_display, m_window, &attributes) &&
                   attributes.map_state == IsViewable;
        return m_mapped;
    }

    bool picturePainted()
    {
        for (const Probe &p : g_probes) {
            XImage *image = XGetImage(m_display, m_window, p.x, p.y, 1, 1, AllPlanes, ZPixmap);
            if (!image)
                return false;
            const unsigned long pixel = XGetPixel(image, 0, 0) & 0xFFFFFF;
            XDestroyImage(image);
            if (pixel != p.rgb)
                return false;
        }
        return true;
    }

    // Closes the window as a window manager's close box would; returns ru_maxrss in KiB
    // and the CPU time of the whole life of the process.
    long closeAndReap(pid_t pid, double &cpuMs)
    {
        if (m_window != None) {
            XEvent event{};
            event.xclient.type = ClientMessage;
            event.xclient.window = m_window;
            event.xclient.message_type = m_wmProtocols;
            event.xclient.format = 32;
            event.xclient.data.l[0] = long(m_wmDelete);
            event.xclient.data.l[1] = CurrentTime;
            XSendEvent(m_display, m_window, False, NoEventMask, &event);
            XFlush(m_display);
        } else {
            kill(pid, SIGTERM);
        }
        const double deadline = nowMs() + 10000;
        for (;;) {
            int status = 0;
            rusage usage{};
            const pid_t done = wait4(pid, &status, WNOHANG, &usage);
            if (done == pid) {
                cpuMs = (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
                        (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
                return usage.ru_maxrss;
            }
            if (done < 0)
                return -1;
            if (nowMs() > deadline)
                kill(pid, SIGKILL);
            drain();
            usleep(2000);
        }
    }

    Display *m_display;
    Window m_root;
    int m_damageEvent = 0;
    Atom m_wmProtocols = None;
    Atom m_wmDelete = None;
    Window m_window = None;
    bool m_mapped = false;
};

template <typename F> std::vector<double> collect(const Subject &s, F value)
{
    std::vector<double> v;
    for (const Sample &x : s.samples)
        v.push_back(value(x));
    std::sort(v.begin(), v.end());
    return v;
}

double median(const std::vector<double> &v)
{
    if (v.empty())
        return NAN;
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}
} // namespace

int main(int argc, char **argv)
{
    int runs = 15, warmup = 1, settleMs = 500;
    std::string picturePath, reference, rawOut;
    std::vector<Subject> subjects;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const char *next = i + 1 < argc ? argv[i + 1] : nullptr;
        if (!next) {
            std::fprintf(stderr, "%s wants a value\n", a.c_str());
            return 2;
        }
        if (a == "--runs")
            runs = std::atoi(argv[++i]);
        else if (a == "--warmup")
            warmup = std::atoi(argv[++i]);
        else if (a == "--settle")
            settleMs = std::atoi(argv[++i]);
        else if (a == "--picture")
            picturePath = argv[++i];
        else if (a == "--write-raw")
            rawOut = argv[++i];
        else if (a == "--reference")
            reference = argv[++i];
        else if (a == "--subject")
            subjects.push_back(parseSubject(argv[++i]));
        else {
            std::fprintf(stderr, "unknown option %s\n", a.c_str());
            return 2;
        }
    }
    if ((subjects.empty() && rawOut.empty()) || picturePath.empty() || runs < 1) {
        std::fprintf(stderr, "usage: see the head of startup-bench.cpp\n");
        return 2;
    }
    if (reference.empty() && !subjects.empty())
        reference = subjects.back().label;

    const QImage picture(QString::fromStdString(picturePath));
    if (picture.isNull()) {
        std::fprintf(stderr, "cannot read %s\n", picturePath.c_str());
        return 2;
    }
    if (!rawOut.empty()) {
        // The picture's pixels as they lie in memory, for the baseline's --raw.
        const QImage rgb = picture.convertToFormat(QImage::Format_RGB32);
        FILE *out = std::fopen(rawOut.c_str(), "wb");
        const size_t bytes = size_t(rgb.sizeInBytes());
        const bool written = out && std::fwrite(rgb.constBits(), 1, bytes, out) == bytes;
        return (out && std::fclose(out) == 0 && written) ? 0 : 1;
    }
    for (Probe &p : g_probes)
        p.rgb = picture.pixel(p.x, p.y) & 0xFFFFFF;

    Display *display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "no X display\n");
        return 2;
    }
    XSetErrorHandler(ignoreXError);
    const int depth = DefaultDepth(display, DefaultScreen(display));
    if (depth != 24) {
        std::fprintf(stderr, "the probes read 24-bit pixels; the screen is %d-bit\n", depth);
        return 2;
    }
    Observer observer(display);

    for (int round = -warmup; round < runs; ++round) {
        for (Subject &s : subjects) {
            Sample sample;
            if (!observer.run(s, settleMs, sample)) {
                ++s.failures;
                continue;
            }
            if (round >= 0)
                s.samples.push_back(sample);
        }
    }

    const Subject *ref = nullptr;
    for (const Subject &s : subjects)
        if (s.label == reference)
            ref = &s;
    const auto frames = [](const Sample &x) { return x.frameMs; };
    const auto peaks = [](const Sample &x) { return x.hwmKiB / 1024.0; };
    const auto cpu = [](const Sample &x) { return x.cpuMs; };
    const auto refMedian = [&](auto value) { return ref ? median(collect(*ref, value)) : NAN; };
    const double refFrame = refMedian(frames), refPeak = refMedian(peaks), refCpu = refMedian(cpu);

    std::printf("\n%d runs each after %d warm-up, alternating; settle %d ms; ratios against '%s'\n",
                runs, warmup, settleMs, reference.c_str());
    std::printf("%-24s %4s | %-29s | %-27s | %-12s | %s\n", "program", "runs",
                "first frame ms: median (range)", "peak RSS MiB: median (range)", "CPU ms", "poll");
    int failures = 0;
    for (const Subject &s : subjects) {
        failures += s.failures;
        const auto f = collect(s, frames);
        const auto m = collect(s, peaks);
        const auto c = collect(s, cpu);
        int byPoll = 0;
        for (const Sample &x : s.samples)
            byPoll += x.byPoll;
        if (f.empty()) {
            std::printf("%-24s %4d | no frame seen\n", s.label.c_str(), 0);
            continue;
        }
        std::printf("%-24s %4zu | %6.1f (%5.1f-%5.1f) x%4.2f | %5.1f (%4.1f-%4.1f) x%4.2f | %5.0f "
                    "x%4.2f | %d\n",
                    s.label.c_str(), f.size(), median(f), f.front(), f.back(), median(f) / refFrame,
                    median(m), m.front(), m.back(), median(m) / refPeak, median(c),
                    median(c) / refCpu, byPoll);
    }
    if (failures)
        std::printf("%d start(s) failed (no frame, or the process did not end)\n", failures);
    return failures ? 1 : 0;
}
