#pragma once

#include <QtGlobal>

#include <csignal>
#include <cstdio>
#include <functional>
#include <grp.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

// Runs part of a test in a child process that has less than the test: the
// rights of an ordinary user (root writes into any folder whatever its mode,
// so a read-only folder means nothing to a suite run as root) or a limit on
// the size of the files it writes (a disk that fills up). The child's answer
// comes back as its exit code; nothing it does leaks into the test process.
namespace ChildRun {

enum Result
{
    Failed = 0,
    Succeeded = 1,
    // The child could not be given its limits (no fork, no right to change
    // the user): the case cannot be exercised here.
    Unavailable = 2,
};

struct Limits
{
    // As root: run as the unprivileged user "nobody" (65534). An ordinary
    // user already is one.
    bool ordinaryUser = false;
    // That user a member of this group as well; -1 for none.
    gid_t group = gid_t(-1);
    // Bytes a file may grow to; negative for no limit.
    qint64 fileSize = -1;
};

inline Result run(const Limits &limits, const std::function<bool()> &body)
{
    std::fflush(stdout);
    std::fflush(stderr);
    const pid_t child = fork();
    if (child < 0)
        return Unavailable;
    if (child == 0) {
        if (limits.fileSize >= 0) {
            // A write past the limit then fails with EFBIG instead of a signal.
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{rlim_t(limits.fileSize), rlim_t(limits.fileSize)};
            if (setrlimit(RLIMIT_FSIZE, &limit) != 0)
                _exit(Unavailable);
        }
        if (limits.ordinaryUser && geteuid() == 0) {
            const bool member = limits.group != gid_t(-1);
            if (setgroups(member ? 1 : 0, &limits.group) != 0 || setgid(65534) != 0 ||
                setuid(65534) != 0 || geteuid() == 0)
                _exit(Unavailable);
        }
        // _exit: the child must not run the test process's exit handlers.
        _exit(body() ? Succeeded : Failed);
    }
    int status = 0;
    if (waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return Failed;
    return Result(WEXITSTATUS(status));
}

} // namespace ChildRun
