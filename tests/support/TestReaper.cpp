// Runs one test program and, when it has ended however it ended, stops every process it left
// behind: the Xvfb, PostgreSQL and MariaDB servers a test starts are stopped by the test's own
// objects, which a crash (a sanitizer's abort, a segmentation fault, a timeout's kill) never runs.
//
// The reaper makes itself the "child subreaper" of its descendants (prctl), so a server that
// daemonises (pg_ctl forks the postmaster and exits; the postmaster calls setsid) is reparented to
// the reaper instead of to init, and can still be found as one of its children. Process groups
// could not do this: a daemon leaves its group on purpose.
//
//   qmr_test_reaper PROGRAM [ARGUMENTS...]
//
// Exits with the program's status (128 + the signal's number when a signal ended it), after the
// processes left over, if any, have been named on stderr and stopped: SIGTERM, then SIGKILL for
// any still there after a grace period.

#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr auto kGrace = std::chrono::seconds(5);

/// The program run, for the signal handler to pass a termination on to.
volatile sig_atomic_t g_program = 0;

void passOn(int signal) {
    if (g_program > 0)
        kill(pid_t(g_program), signal);
}

struct Child {
    pid_t pid;
    std::string name;
};

/// The processes whose parent is this one, read from /proc/PID/stat: "PID (NAME) STATE PPID ...",
/// where NAME may itself hold spaces and parentheses, so the fields are read after its last ')'.
std::vector<Child> children() {
    std::vector<Child> found;
    const pid_t self = getpid();
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/proc", error)) {
        const std::string pidText = entry.path().filename().string();
        if (pidText.find_first_not_of("0123456789") != std::string::npos)
            continue;
        std::ifstream stat(entry.path() / "stat");
        std::string line;
        if (!std::getline(stat, line))
            continue; // gone meanwhile
        const auto open = line.find('(');
        const auto close = line.rfind(')');
        if (open == std::string::npos || close == std::string::npos || close + 4 >= line.size())
            continue;
        char state = 0;
        int parent = 0;
        if (std::sscanf(line.c_str() + close + 1, " %c %d", &state, &parent) != 2)
            continue;
        if (parent == self && state != 'Z')
            found.push_back({pid_t(std::stoi(pidText)), line.substr(open + 1, close - open - 1)});
    }
    return found;
}

/// Collects every ended child without waiting, so ended processes stop being listed.
void reapEnded() {
    while (waitpid(-1, nullptr, WNOHANG) > 0) {
    }
}

/// Stops what the program left: each named once, then terminated, then killed after the grace.
void stopLeftovers(const char* program) {
    reapEnded();
    auto left = children();
    if (left.empty())
        return;
    std::fprintf(stderr, "qmr_test_reaper: %s left %zu process%s running; stopping:", program, left.size(),
                 left.size() == 1 ? "" : "es");
    for (const Child& child : left)
        std::fprintf(stderr, " %d (%s)", int(child.pid), child.name.c_str());
    std::fprintf(stderr, "\n");
    for (const Child& child : left)
        kill(child.pid, SIGTERM);
    const auto deadline = std::chrono::steady_clock::now() + kGrace;
    while (!(left = children()).empty() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        reapEnded();
    }
    // A process that forks again while being stopped is found on the next round.
    for (int round = 0; round < 10 && !(left = children()).empty(); ++round) {
        for (const Child& child : left)
            kill(child.pid, SIGKILL);
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        reapEnded();
    }
    // Those that ended since the last look are collected too, rather than left to whoever
    // inherits them as zombies.
    reapEnded();
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: qmr_test_reaper PROGRAM [ARGUMENTS...]\n");
        return 2;
    }
    if (prctl(PR_SET_CHILD_SUBREAPER, 1) != 0) {
        std::fprintf(stderr, "qmr_test_reaper: cannot become the subreaper of %s's processes: %s\n", argv[1],
                     std::strerror(errno));
        return 2;
    }
    const pid_t program = fork();
    if (program < 0) {
        std::fprintf(stderr, "qmr_test_reaper: cannot start %s: %s\n", argv[1], std::strerror(errno));
        return 2;
    }
    if (program == 0) {
        execvp(argv[1], argv + 1);
        std::fprintf(stderr, "qmr_test_reaper: cannot run %s: %s\n", argv[1], std::strerror(errno));
        _exit(127);
    }
    // A termination asked of the reaper is passed to the program, so it ends first and what it
    // started is still stopped below.
    g_program = program;
    signal(SIGTERM, passOn);
    signal(SIGINT, passOn);
    int status = 0;
    while (waitpid(program, &status, 0) < 0 && errno == EINTR) {
    }
    stopLeftovers(argv[1]);
    if (WIFSIGNALED(status))
        return 128 + WTERMSIG(status);
    return WEXITSTATUS(status);
}
