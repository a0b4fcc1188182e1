// Watches a running drill from outside: when each problem appears on the screen, when each
// tick sounds, and what the program costs meanwhile.
//
//   problem_probe --pid PID --seconds S [--window WID --region X,Y,W,H] [--period-ms MS]
//                 [--source PULSE_SOURCE --tick WAV] [--click COMMAND] [--rss-every SECONDS]
//                 [--pulse-pid PID] [--log FILE]
//
// Problems: the X server's DAMAGE extension reports every drawing into the window; when a
// drawing touches the region (the problem counter, in window coordinates) the probe reads the
// region back and notes the time if its pixels changed. The time is when the server told the
// probe, a fraction of a millisecond after the pixels were in the frame buffer.
//
// Ticks: parec records PULSE_SOURCE (the sink's monitor) at the tick's own rate in 10 ms
// pieces, and each piece is timestamped as it arrives, on the same clock as the problems. A
// sample cannot arrive before the server has mixed it, so arrival time minus the samples
// still behind it bounds the time it was mixed from above; the tightest bound over the pieces
// that follow it is taken. A tick is found where the recording first rises from silence and
// placed exactly by matching the tick's own samples (WAV) against it.
//
// With --click, COMMAND is started once the probe watches and records (it should press
// Start), and S seconds are counted from the first problem; without it, from the probe's
// start. CPU is the program's utime + stime (/proc/PID/stat) over those S seconds. The probe
// keeps watching one more second, for the last problem and its tick.
//
// Prints one line of key=value figures; --log FILE gets every problem, tick and memory sample.
#include <xcb/damage.h>
#include <xcb/xcb.h>

#include "proc_status.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <map>
#include <memory>
#include <optional>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <string_view>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char **environ;

namespace {

using Clock = std::chrono::steady_clock;

constexpr int rate = 22050; // the tick's own rate
constexpr double samplesPerMs = rate / 1000.0;
constexpr int silenceThreshold = 300; // the tick peaks at about 8500; the null sink is exact 0

Clock::time_point probeStart = Clock::now();

double nowMs()
{
    return std::chrono::duration<double, std::milli>(Clock::now() - probeStart).count();
}

struct Options
{
    int pid = 0;
    double seconds = 60;
    xcb_window_t window = 0;
    std::array<int, 4> region{};
    double periodMs = 2000;
    std::string source;
    std::string tickWav;
    std::string click;
    double rssEverySeconds = 0;
    int pulsePid = 0;
    std::string log;
};

[[noreturn]] void usage()
{
    std::fprintf(stderr, "usage: problem_probe --pid PID --seconds S [--window WID --region "
                         "X,Y,W,H] [--period-ms MS] [--source SOURCE --tick WAV] [--click "
                         "COMMAND] [--rss-every SECONDS] [--pulse-pid PID] [--log FILE]\n");
    std::exit(2);
}

Options parse(int argc, char *argv[])
{
    Options options;
    for (int i = 1; i < argc; i += 2) {
        if (i + 1 >= argc)
            usage();
        const std::string_view name = argv[i];
        const char *value = argv[i + 1];
        if (name == "--pid")
            options.pid = std::atoi(value);
        else if (name == "--seconds")
            options.seconds = std::atof(value);
        else if (name == "--window")
            options.window = static_cast<xcb_window_t>(std::strtoul(value, nullptr, 0));
        else if (name == "--region") {
            if (std::sscanf(value, "%d,%d,%d,%d", &options.region[0], &options.region[1],
                            &options.region[2], &options.region[3]) != 4)
                usage();
        } else if (name == "--period-ms")
            options.periodMs = std::atof(value);
        else if (name == "--source")
            options.source = value;
        else if (name == "--tick")
            options.tickWav = value;
        else if (name == "--click")
            options.click = value;
        else if (name == "--rss-every")
            options.rssEverySeconds = std::atof(value);
        else if (name == "--pulse-pid")
            options.pulsePid = std::atoi(value);
        else if (name == "--log")
            options.log = value;
        else
            usage();
    }
    if (options.pid <= 0 || options.seconds <= 0 ||
        options.source.empty() != options.tickWav.empty())
        usage();
    return options;
}

// --- the process watched ---------------------------------------------------------------------

std::string readFile(const std::string &path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// utime + stime in milliseconds, and the thread's or process's name, from a /proc stat file.
std::optional<std::pair<double, std::string>> cpuOf(const std::string &statPath)
{
    const std::string stat = readFile(statPath);
    const auto open = stat.find('(');
    const auto close = stat.rfind(')');
    if (open == std::string::npos || close == std::string::npos)
        return std::nullopt;
    // After the name: state (field 3) ... utime (14), stime (15).
    std::vector<std::string> fields;
    std::size_t at = close + 2;
    while (at < stat.size()) {
        const auto end = stat.find(' ', at);
        fields.push_back(stat.substr(at, end - at));
        if (end == std::string::npos)
            break;
        at = end + 1;
    }
    if (fields.size() < 13)
        return std::nullopt;
    const double ticks = std::atof(fields[11].c_str()) + std::atof(fields[12].c_str());
    return std::pair{ticks * 1000.0 / static_cast<double>(sysconf(_SC_CLK_TCK)),
                     stat.substr(open + 1, close - open - 1)};
}

double processCpuMs(int pid)
{
    if (pid <= 0)
        return 0;
    const auto cpu = cpuOf("/proc/" + std::to_string(pid) + "/stat");
    return cpu ? cpu->first : 0;
}

// Every thread's CPU so far, keyed by thread id and name.
std::map<std::string, double> threadCpuMs(int pid)
{
    std::map<std::string, double> threads;
    std::error_code error;
    const std::filesystem::path tasks = "/proc/" + std::to_string(pid) + "/task";
    for (const auto &entry : std::filesystem::directory_iterator(tasks, error)) {
        const auto cpu = cpuOf(entry.path() / "stat");
        if (cpu)
            threads[entry.path().filename().string() + " " + cpu->second] = cpu->first;
    }
    return threads;
}

// --- the screen ------------------------------------------------------------------------------

class ScreenWatch final
{
public:
    ScreenWatch(xcb_window_t window, std::array<int, 4> region)
        : m_window(window)
        , m_region(region)
    {
        m_connection = xcb_connect(nullptr, nullptr);
        if (xcb_connection_has_error(m_connection))
            fail("cannot open the display");
        const xcb_query_extension_reply_t *damage =
            xcb_get_extension_data(m_connection, &xcb_damage_id);
        if (damage == nullptr || !damage->present)
            fail("the X server has no DAMAGE extension");
        m_damageEvent = damage->first_event + XCB_DAMAGE_NOTIFY;
        std::free(xcb_damage_query_version_reply(
            m_connection, xcb_damage_query_version(m_connection, 1, 1), nullptr));
        const xcb_damage_damage_t id = xcb_generate_id(m_connection);
        xcb_damage_create(m_connection, id, m_window, XCB_DAMAGE_REPORT_LEVEL_RAW_RECTANGLES);
        m_pixels = read();
        if (m_pixels.empty())
            fail("cannot read the window's pixels");
    }
    ~ScreenWatch() { xcb_disconnect(m_connection); }
    ScreenWatch(const ScreenWatch &) = delete;
    ScreenWatch &operator=(const ScreenWatch &) = delete;

    [[nodiscard]] int fd() const { return xcb_get_file_descriptor(m_connection); }

    // Takes every event there is; returns the time of the first drawing into the region that
    // changed its pixels, if one did.
    std::optional<double> collect()
    {
        std::optional<double> touched;
        while (xcb_generic_event_t *event = xcb_poll_for_event(m_connection)) {
            const double at = nowMs();
            const std::unique_ptr<xcb_generic_event_t, decltype(&std::free)> owner(event,
                                                                                   &std::free);
            if ((event->response_type & 0x7f) != m_damageEvent)
                continue;
            const auto *notify = reinterpret_cast<xcb_damage_notify_event_t *>(event);
            if (!touched && intersects(notify->area))
                touched = at;
        }
        if (xcb_connection_has_error(m_connection))
            fail("lost the display");
        if (!touched)
            return std::nullopt;
        std::vector<std::uint8_t> pixels = read();
        if (pixels.empty() || pixels == m_pixels)
            return std::nullopt;
        m_pixels = std::move(pixels);
        return touched;
    }

private:
    [[noreturn]] static void fail(const char *why)
    {
        std::fprintf(stderr, "problem_probe: %s\n", why);
        std::exit(1);
    }

    [[nodiscard]] bool intersects(const xcb_rectangle_t &area) const
    {
        return area.x < m_region[0] + m_region[2] && m_region[0] < area.x + area.width &&
               area.y < m_region[1] + m_region[3] && m_region[1] < area.y + area.height;
    }

    std::vector<std::uint8_t> read()
    {
        xcb_get_image_reply_t *reply = xcb_get_image_reply(
            m_connection,
            xcb_get_image(m_connection, XCB_IMAGE_FORMAT_Z_PIXMAP, m_window,
                          static_cast<int16_t>(m_region[0]), static_cast<int16_t>(m_region[1]),
                          static_cast<uint16_t>(m_region[2]), static_cast<uint16_t>(m_region[3]),
                          ~0U),
            nullptr);
        if (reply == nullptr)
            return {};
        const std::uint8_t *data = xcb_get_image_data(reply);
        std::vector<std::uint8_t> pixels(
            data, data + static_cast<std::size_t>(xcb_get_image_data_length(reply)));
        std::free(reply);
        return pixels;
    }

    xcb_connection_t *m_connection = nullptr;
    xcb_window_t m_window;
    std::array<int, 4> m_region;
    std::uint8_t m_damageEvent = 0;
    std::vector<std::uint8_t> m_pixels;
};

// --- the sound -------------------------------------------------------------------------------

std::vector<double> readTick(const std::string &path)
{
    const std::string wav = readFile(path);
    const auto u32 = [&](std::size_t at) {
        std::uint32_t value = 0;
        std::memcpy(&value, wav.data() + at, 4);
        return value;
    };
    std::vector<double> samples;
    // RIFF, then chunks: find "data".
    for (std::size_t at = 12; at + 8 <= wav.size();) {
        const std::uint32_t size = u32(at + 4);
        if (wav.compare(at, 4, "data") == 0) {
            for (std::size_t i = at + 8; i + 1 < wav.size() && i < at + 8 + size; i += 2) {
                std::int16_t sample = 0;
                std::memcpy(&sample, wav.data() + i, 2);
                samples.push_back(sample);
            }
            break;
        }
        at += 8 + size + (size & 1U);
    }
    return samples;
}

struct Segment
{
    std::size_t first = 0; // index of samples[0] in the whole recording
    std::vector<std::int16_t> samples;
};

struct Tick
{
    std::size_t at = 0; // the tick's first sample in the recording
    double ms = 0;      // when the server mixed it, at the latest
    double match = 0;   // correlation with the tick over its whole length
    double gain = 0;    // 1: as loud as the file
};

class SoundWatch final
{
public:
    explicit SoundWatch(const std::string &source)
    {
        int pipeFds[2];
        if (pipe(pipeFds) != 0)
            fail();
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
        const std::string device = "--device=" + source;
        const std::string rateOption = "--rate=" + std::to_string(rate);
        std::vector<std::string> args{"parec",
                                      device,
                                      "--raw",
                                      "--format=s16le",
                                      "--channels=1",
                                      rateOption,
                                      "--latency-msec=10"};
        std::vector<char *> argv;
        for (std::string &arg : args)
            argv.push_back(arg.data());
        argv.push_back(nullptr);
        if (posix_spawnp(&m_parec, "parec", &actions, nullptr, argv.data(), environ) != 0)
            fail();
        posix_spawn_file_actions_destroy(&actions);
        close(pipeFds[1]);
        m_fd = pipeFds[0];
    }
    ~SoundWatch()
    {
        stop();
        if (m_fd >= 0)
            close(m_fd);
    }
    SoundWatch(const SoundWatch &) = delete;
    SoundWatch &operator=(const SoundWatch &) = delete;

    [[nodiscard]] int fd() const { return m_fd; }
    [[nodiscard]] std::size_t sampleCount() const { return m_count; }

    void collect()
    {
        std::array<char, 16384> buffer{};
        const ssize_t got = ::read(m_fd, buffer.data(), buffer.size());
        const double at = nowMs();
        if (got <= 0) {
            if (got == 0 || (errno != EINTR && errno != EAGAIN)) {
                close(m_fd);
                m_fd = -1;
            }
            return;
        }
        m_pending.append(buffer.data(), static_cast<std::size_t>(got));
        const std::size_t whole = m_pending.size() & ~std::size_t{1};
        for (std::size_t i = 0; i < whole; i += 2) {
            std::int16_t sample = 0;
            std::memcpy(&sample, m_pending.data() + i, 2);
            take(sample);
        }
        m_pending.erase(0, whole);
        if (whole > 0)
            m_arrivals.push_back({at, m_count});
    }

    void stop()
    {
        if (m_parec > 0) {
            kill(m_parec, SIGTERM);
            waitpid(m_parec, nullptr, 0);
            m_parec = 0;
        }
    }

    // Places every tick found by matching `tick` against the recording.
    [[nodiscard]] std::vector<Tick> ticks(const std::vector<double> &tick) const
    {
        std::vector<Tick> found;
        const std::size_t length = tick.size();
        const std::size_t head = std::min(length, static_cast<std::size_t>(200 * samplesPerMs));
        for (const Segment &segment : m_segments) {
            // The rise is a few ms into the tick: look from 80 ms before it to 5 ms after.
            const std::size_t rise = static_cast<std::size_t>(100 * samplesPerMs);
            const std::size_t from = rise - static_cast<std::size_t>(80 * samplesPerMs);
            const std::size_t to = rise + static_cast<std::size_t>(5 * samplesPerMs);
            std::size_t best = from;
            double bestScore = -1;
            for (std::size_t at = from; at < to && at + length <= segment.samples.size(); ++at) {
                const double score = correlation(segment.samples.data() + at, tick.data(), head);
                if (score > bestScore) {
                    bestScore = score;
                    best = at;
                }
            }
            if (best + length > segment.samples.size())
                continue;
            Tick placed;
            placed.at = segment.first + best;
            placed.ms = timeOf(placed.at);
            placed.match = correlation(segment.samples.data() + best, tick.data(), length);
            double tickEnergy = 0;
            for (const double sample : tick)
                tickEnergy += sample * sample;
            placed.gain = dot(segment.samples.data() + best, tick.data(), length) / tickEnergy;
            found.push_back(placed);
        }
        return found;
    }

private:
    struct Arrival
    {
        double ms;
        std::size_t samplesSoFar;
    };

    [[noreturn]] static void fail()
    {
        std::fprintf(stderr, "problem_probe: cannot start parec: %s\n", std::strerror(errno));
        std::exit(1);
    }

    static double dot(const std::int16_t *a, const double *b, std::size_t n)
    {
        double sum = 0;
        for (std::size_t i = 0; i < n; ++i)
            sum += a[i] * b[i];
        return sum;
    }

    static double correlation(const std::int16_t *a, const double *b, std::size_t n)
    {
        double aa = 0;
        double bb = 0;
        double ab = 0;
        for (std::size_t i = 0; i < n; ++i) {
            const auto sample = static_cast<double>(a[i]);
            aa += sample * sample;
            bb += b[i] * b[i];
            ab += sample * b[i];
        }
        return aa > 0 && bb > 0 ? ab / std::sqrt(aa * bb) : 0;
    }

    // A sample's time: the tightest upper bound from the pieces that arrived after it.
    [[nodiscard]] double timeOf(std::size_t index) const
    {
        auto arrival = std::lower_bound(
            m_arrivals.begin(), m_arrivals.end(), index + 1,
            [](const Arrival &a, std::size_t count) { return a.samplesSoFar < count; });
        double best = INFINITY;
        for (; arrival != m_arrivals.end(); ++arrival) {
            const double behind = static_cast<double>(arrival->samplesSoFar - index) / samplesPerMs;
            if (behind > 500)
                break;
            best = std::min(best, arrival->ms - behind);
        }
        return best;
    }

    // Keeps the last few seconds; cuts out a segment around every rise from silence.
    void take(std::int16_t sample)
    {
        const std::size_t index = m_count++;
        m_recent.push_back(sample);
        const auto before = static_cast<std::size_t>(100 * samplesPerMs);
        const auto after = static_cast<std::size_t>(450 * samplesPerMs);
        if (index >= m_armedFrom && std::abs(int{sample}) > silenceThreshold) {
            m_rise = index;
            m_armedFrom = index + static_cast<std::size_t>(1000 * samplesPerMs);
        }
        if (m_rise && index + 1 == *m_rise + after) {
            const std::size_t first = *m_rise >= before ? *m_rise - before : 0;
            if (first >= m_recentFirst) {
                const auto offset = static_cast<std::ptrdiff_t>(first - m_recentFirst);
                m_segments.push_back(
                    {first, std::vector<std::int16_t>(m_recent.begin() + offset, m_recent.end())});
            }
            m_rise.reset();
        }
        const auto keep = static_cast<std::size_t>(2 * rate);
        if (m_recent.size() > 2 * keep) {
            const std::size_t drop = m_recent.size() - keep;
            m_recent.erase(m_recent.begin(), m_recent.begin() + static_cast<std::ptrdiff_t>(drop));
            m_recentFirst += drop;
        }
    }

    pid_t m_parec = 0;
    int m_fd = -1;
    std::string m_pending;
    std::size_t m_count = 0;
    std::vector<Arrival> m_arrivals;
    std::vector<std::int16_t> m_recent;
    std::size_t m_recentFirst = 0;
    std::size_t m_armedFrom = 0;
    std::optional<std::size_t> m_rise;
    std::vector<Segment> m_segments;
};

// --- figures ---------------------------------------------------------------------------------

struct Summary
{
    double median = NAN;
    double min = NAN;
    double max = NAN;
};

Summary summarize(std::vector<double> values)
{
    if (values.empty())
        return {};
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    const double median = n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
    return {median, values.front(), values.back()};
}

void spawnShell(const std::string &command)
{
    pid_t pid = 0;
    std::string copy = command;
    std::array<char *, 4> argv{const_cast<char *>("sh"), const_cast<char *>("-c"), copy.data(),
                               nullptr};
    if (posix_spawn(&pid, "/bin/sh", nullptr, nullptr, argv.data(), environ) != 0) {
        std::fprintf(stderr, "problem_probe: cannot run the click command\n");
        std::exit(1);
    }
}

} // namespace

int main(int argc, char *argv[])
{
    const Options options = parse(argc, argv);
    std::signal(SIGCHLD, SIG_DFL);
    std::ofstream log;
    if (!options.log.empty()) {
        log.open(options.log);
        // Times reach millions of milliseconds in a soak: keep their fractions.
        log << std::fixed << std::setprecision(3);
    }

    std::unique_ptr<SoundWatch> sound;
    std::vector<double> tick;
    if (!options.source.empty()) {
        tick = readTick(options.tickWav);
        if (tick.empty()) {
            std::fprintf(stderr, "problem_probe: no samples in %s\n", options.tickWav.c_str());
            return 1;
        }
        sound = std::make_unique<SoundWatch>(options.source);
    }
    std::unique_ptr<ScreenWatch> screen;
    if (options.window != 0)
        screen = std::make_unique<ScreenWatch>(options.window, options.region);

    std::vector<double> problems;
    std::vector<std::pair<double, long>> memory;

    // One loop for both watches, so that every time is taken as soon as its news arrives.
    const auto waitOnce = [&](double untilMs) {
        std::array<pollfd, 2> fds{};
        nfds_t count = 0;
        if (screen)
            fds[count++] = {screen->fd(), POLLIN, 0};
        if (sound && sound->fd() >= 0)
            fds[count++] = {sound->fd(), POLLIN, 0};
        const double left = untilMs - nowMs();
        if (left <= 0)
            return;
        poll(fds.data(), count, static_cast<int>(std::ceil(std::min(left, 1000.0))));
        for (nfds_t i = 0; i < count; ++i)
            if (sound && fds[i].fd == sound->fd() && fds[i].revents != 0)
                sound->collect();
        if (screen)
            if (const auto changed = screen->collect())
                problems.push_back(*changed);
    };

    // Sound first, so the first problem's tick is heard in full.
    if (sound) {
        while (sound->sampleCount() < static_cast<std::size_t>(rate / 4) && nowMs() < 10000)
            waitOnce(10000);
        if (sound->sampleCount() == 0) {
            std::fprintf(stderr, "problem_probe: nothing recorded from %s\n",
                         options.source.c_str());
            return 1;
        }
    }

    double originMs = nowMs();
    if (!options.click.empty()) {
        problems.clear();
        spawnShell(options.click);
        while (problems.empty() && nowMs() < originMs + 10000)
            waitOnce(originMs + 10000);
        if (problems.empty()) {
            std::fprintf(stderr, "problem_probe: no problem appeared after the click\n");
            return 1;
        }
        originMs = problems.front();
    }
    const double cpuAtOrigin = processCpuMs(options.pid);
    const double pulseAtOrigin = processCpuMs(options.pulsePid);
    const std::map<std::string, double> threadsAtOrigin = threadCpuMs(options.pid);

    const double endMs = originMs + options.seconds * 1000;
    double nextMemoryMs = originMs;
    double cpuMs = NAN;
    double pulseMs = NAN;
    std::map<std::string, double> threadsAtEnd;
    while (nowMs() < endMs + 1000) {
        double until = endMs + 1000;
        if (std::isnan(cpuMs))
            until = std::min(until, endMs);
        if (options.rssEverySeconds > 0)
            until = std::min(until, nextMemoryMs);
        waitOnce(until);
        const double now = nowMs();
        if (std::isnan(cpuMs) && now >= endMs) {
            cpuMs = processCpuMs(options.pid) - cpuAtOrigin;
            pulseMs = processCpuMs(options.pulsePid) - pulseAtOrigin;
            threadsAtEnd = threadCpuMs(options.pid);
        }
        if (options.rssEverySeconds > 0 && now >= nextMemoryMs) {
            memory.emplace_back(now - originMs, residentKilobytes(options.pid));
            nextMemoryMs += options.rssEverySeconds * 1000;
        }
        if (kill(options.pid, 0) != 0) {
            std::fprintf(stderr, "problem_probe: the program has ended\n");
            return 1;
        }
    }
    if (sound)
        sound->stop();

    const double wallMs = options.seconds * 1000;
    std::printf("cpu_ms=%.0f cpu_pct=%.3f", cpuMs, 100 * cpuMs / wallMs);
    if (options.pulsePid > 0)
        std::printf(" pulse_cpu_pct=%.3f", 100 * pulseMs / wallMs);
    for (const auto &[thread, ms] : threadsAtEnd) {
        const auto before = threadsAtOrigin.find(thread);
        const double used = ms - (before == threadsAtOrigin.end() ? 0 : before->second);
        if (log.is_open())
            log << "thread " << thread << " cpu_ms " << used << "\n";
    }

    if (screen) {
        // Problems up to the end of the counted time, and the one just at its end.
        std::erase_if(problems, [&](double ms) { return ms > endMs + options.periodMs / 2; });
        std::vector<double> periodErrors;
        for (std::size_t i = 1; i < problems.size(); ++i)
            periodErrors.push_back(std::abs(problems[i] - problems[i - 1] - options.periodMs));
        const Summary period = summarize(periodErrors);
        std::printf(" problems=%zu period_err_median_ms=%.2f period_err_max_ms=%.2f",
                    problems.size(), period.median, period.max);
        for (std::size_t i = 0; i < problems.size(); ++i)
            if (log.is_open())
                log << "problem " << i + 1 << " at_ms " << problems[i] - originMs << "\n";
    }

    if (sound) {
        std::vector<Tick> ticks = sound->ticks(tick);
        // Each problem's tick is the first that starts between 100 ms before it and 300 ms
        // after it; the rest sounded for no problem.
        std::vector<bool> used(ticks.size(), false);
        std::vector<double> delays;
        std::size_t missing = 0;
        double worstMatch = 1;
        double worstGain = 1;
        for (std::size_t p = 0; p < problems.size(); ++p) {
            std::optional<std::size_t> mine;
            for (std::size_t t = 0; t < ticks.size() && !mine; ++t)
                if (!used[t] && ticks[t].ms > problems[p] - 100 && ticks[t].ms < problems[p] + 300)
                    mine = t;
            if (!mine) {
                ++missing;
                if (log.is_open())
                    log << "problem " << p + 1 << " has no tick\n";
                continue;
            }
            used[*mine] = true;
            const Tick &t = ticks[*mine];
            delays.push_back(t.ms - problems[p]);
            worstMatch = std::min(worstMatch, t.match);
            worstGain = std::min(worstGain, std::min(t.gain, 1 / t.gain));
            if (log.is_open())
                log << "tick " << p + 1 << " delay_ms " << t.ms - problems[p] << " match "
                    << t.match << " gain " << t.gain << "\n";
        }
        // Ticks before the first problem or after the counted time are not the drill's.
        std::size_t extra = 0;
        for (std::size_t t = 0; t < ticks.size(); ++t)
            if (!used[t] && ticks[t].ms > originMs - 100 && ticks[t].ms < endMs + 300) {
                ++extra;
                if (log.is_open())
                    log << "tick at_ms " << ticks[t].ms - originMs << " has no problem\n";
            }
        const Summary delay = summarize(delays);
        std::printf(" ticks=%zu missing=%zu extra=%zu delay_median_ms=%.2f delay_min_ms=%.2f "
                    "delay_max_ms=%.2f worst_match=%.4f worst_gain=%.3f",
                    delays.size(), missing, extra, delay.median, delay.min, delay.max, worstMatch,
                    worstGain);
    }

    if (!memory.empty()) {
        std::vector<double> settled;
        long atMinute = -1;
        for (const auto &[ms, kb] : memory) {
            if (log.is_open())
                log << "rss at_s " << ms / 1000 << " kb " << kb << "\n";
            if (ms >= 60000) {
                if (atMinute < 0)
                    atMinute = kb;
                settled.push_back(static_cast<double>(kb));
            }
        }
        const Summary rss = summarize(settled);
        std::printf(" rss_first_kb=%ld rss_at_60s_kb=%ld rss_min_after_60s_kb=%.0f "
                    "rss_max_after_60s_kb=%.0f rss_last_kb=%ld",
                    memory.front().second, atMinute, rss.min, rss.max, memory.back().second);
    }
    std::printf("\n");
    return 0;
}
