#pragma once

#include <cstdio>
#include <functional>
#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

namespace kuji::test {

// Exit code of runUnprivileged when the child could not give up its rights.
inline constexpr int kCannotDropRights = 255;

// Runs body in a child process that permission bits stop as they stop a user: run as root,
// the child becomes the user nobody first. Returns what body returns (0 to 254), or -1 when
// the child died. body must not use test assertions: the child's are lost.
inline int runUnprivileged(const std::function<int()>& body)
{
    std::fflush(nullptr);
    const pid_t pid = ::fork();
    if (pid < 0)
        return -1;
    if (pid == 0) {
        constexpr uid_t kNobody = 65534;
        if (::geteuid() == 0 && (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0))
            ::_exit(kCannotDropRights);
        ::_exit(body());
    }
    int status = 0;
    if (::waitpid(pid, &status, 0) != pid || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

} // namespace kuji::test
