#pragma once
// Runs a check in a child process on a small tmpfs of its own, to see what a full disk does.
// Mounting needs a mount namespace: root's, or a user namespace's where the system allows
// one. Where neither works the caller skips, saying why.
#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <optional>
#include <string>

namespace gw::test {

inline constexpr int kNoSmallDisk = 77;

namespace detail {
inline bool writeFile(const char* path, const std::string& text) {
    std::ofstream out(path);
    return bool(out << text << std::flush);  // one write, as these files want
}

inline bool enterMountNamespace() {
    if (::unshare(CLONE_NEWNS) == 0) return true;
    const uid_t uid = ::getuid();
    const gid_t gid = ::getgid();
    if (::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0) return false;
    writeFile("/proc/self/setgroups", "deny");
    return writeFile("/proc/self/uid_map", "0 " + std::to_string(uid) + " 1") &&
           writeFile("/proc/self/gid_map", "0 " + std::to_string(gid) + " 1");
}
}  // namespace detail

// Mounts a tmpfs of `bytes` on `dir` in a child and runs check there. Gives nullopt when the
// child could not mount (skip), otherwise the check's complaint ("" when all was well).
inline std::optional<std::string> onSmallDisk(const std::string& dir, std::size_t bytes,
                                              const std::function<std::string()>& check) {
    int fds[2];
    if (::pipe(fds) != 0) return "pipe failed";
    std::fflush(nullptr);
    const pid_t child = ::fork();
    if (child < 0) return "fork failed";
    if (child == 0) {
        ::close(fds[0]);
        if (!detail::enterMountNamespace() ||
            ::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            ::mount("tmpfs", dir.c_str(), "tmpfs", 0, ("size=" + std::to_string(bytes)).c_str()) !=
                0)
            ::_exit(kNoSmallDisk);
        const std::string complaint = check();
        const bool sent = ::write(fds[1], complaint.data(), complaint.size()) >= 0;
        ::_exit(sent ? 0 : 1);
    }
    ::close(fds[1]);
    std::string complaint;
    char buf[512];
    for (ssize_t n; (n = ::read(fds[0], buf, sizeof buf)) > 0;) complaint.append(buf, size_t(n));
    ::close(fds[0]);
    int st = 0;
    ::waitpid(child, &st, 0);
    if (WIFEXITED(st) && WEXITSTATUS(st) == kNoSmallDisk) return std::nullopt;
    if (!WIFEXITED(st) || WEXITSTATUS(st) != 0)
        return complaint + " (the child ended abnormally, status " + std::to_string(st) + ")";
    return complaint;
}

}  // namespace gw::test
