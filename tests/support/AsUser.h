#pragma once
// Runs a check with an ordinary user's rights. Root may read and write anything, so under root
// (as in CI) the check runs in a child process that has become user "nobody" (65534); any other
// user runs it in place. The check returns what went wrong, empty when all is well.

#include <functional>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

inline std::string RunAsOrdinaryUser(const std::function<std::string()>& check) {
    if (geteuid() != 0) return check();
    int fds[2];
    if (pipe(fds) != 0) return "no pipe";
    const pid_t pid = fork();
    if (pid < 0) return "no fork";
    if (pid == 0) {
        close(fds[0]);
        std::string why = setgid(65534) == 0 && setuid(65534) == 0 ? check() : "cannot drop root";
        if (why.empty()) why = "ok";
        [[maybe_unused]] ssize_t n = write(fds[1], why.data(), why.size());
        _exit(0);
    }
    close(fds[1]);
    std::string result;
    char buf[512];
    ssize_t n;
    while ((n = read(fds[0], buf, sizeof buf)) > 0)
        result.append(buf, static_cast<std::size_t>(n));
    close(fds[0]);
    waitpid(pid, nullptr, 0);
    if (result == "ok") return {};
    return result.empty() ? "the child died" : result;
}
