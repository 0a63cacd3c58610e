// Starts each program several times on the offscreen platform and prints the median time from the
// launch to its first shown window, and the ratio of each program to the first one.
//
// Usage: pexa_startup_timer RUNS BASELINE_PROGRAM PROGRAM...
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace {

long long monotonicNanoseconds()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1'000'000'000LL + now.tv_nsec;
}

// Milliseconds from the launch of `program` until the probe plugin saw its window shown.
double timeToShown(const std::string& program, const std::string& probeOut)
{
    std::remove(probeOut.c_str());
    char* argv[] = {const_cast<char*>(program.c_str()), nullptr};
    const long long launchedAt = monotonicNanoseconds();
    pid_t child = 0;
    if (posix_spawn(&child, program.c_str(), nullptr, nullptr, argv, environ) != 0) {
        std::fprintf(stderr, "cannot start %s\n", program.c_str());
        std::exit(2);
    }
    int status = 0;
    waitpid(child, &status, 0);
    long long shownAt = 0;
    if (!(std::ifstream(probeOut) >> shownAt)) {
        std::fprintf(stderr, "%s ended without showing a window\n", program.c_str());
        std::exit(2);
    }
    return static_cast<double>(shownAt - launchedAt) / 1e6;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s RUNS BASELINE_PROGRAM PROGRAM...\n", argv[0]);
        return 2;
    }
    const int runs = std::max(1, std::atoi(argv[1]));
    const std::vector<std::string> programs(argv + 2, argv + argc);
    const std::string probeOut = "/tmp/pexa-startup-probe-" + std::to_string(getpid());

    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    setenv("QT_PLUGIN_PATH", PEXA_PROBE_PLUGIN_DIR, 1);
    setenv("QT_QPA_GENERIC_PLUGINS", "pexastartupprobe", 1);
    setenv("PEXA_STARTUP_PROBE_OUT", probeOut.c_str(), 1);

    // One unmeasured start each warms the disk cache; then the programs take turns, so that a
    // busy moment on the machine falls on all of them alike.
    for (const std::string& program : programs)
        timeToShown(program, probeOut);
    std::vector<std::vector<double>> times(programs.size());
    for (int run = 0; run < runs; ++run)
        for (std::size_t at = 0; at < programs.size(); ++at)
            times[at].push_back(timeToShown(programs[at], probeOut));
    std::remove(probeOut.c_str());

    const double baseline = median(times[0]);
    std::printf("median time to shown window over %d starts (offscreen):\n", runs);
    for (std::size_t at = 0; at < programs.size(); ++at) {
        const double value = median(times[at]);
        std::printf("  %-50s %8.1f ms  %.2fx\n", programs[at].c_str(), value, value / baseline);
    }
    return 0;
}
