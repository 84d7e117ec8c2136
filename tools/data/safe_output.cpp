#include "tools/data/safe_output.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace gw::tool {

namespace {
constexpr const char* kTempPrefix = ".gravewind-unload-";

std::string directoryOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}
}  // namespace

SafeOutput::~SafeOutput() { abandon(); }

bool SafeOutput::failWith(const std::string& what) {
    error_ = what + ": " + std::strerror(errno);
    return false;
}

bool SafeOutput::open(const std::string& target) {
    abandon();
    target_ = target;
    error_.clear();
    struct stat st {};
    const bool exists = ::stat(target.c_str(), &st) == 0;
    if (exists && !S_ISREG(st.st_mode)) {
        if (S_ISDIR(st.st_mode)) {
            errno = EISDIR;
            return failWith("cannot write");
        }
        // A device or a pipe cannot be renamed over: write it as it is.
        fd_ = ::open(target.c_str(), O_WRONLY | O_CLOEXEC);
        direct_ = fd_ >= 0;
        return direct_ || failWith("cannot open for writing");
    }
    // Through a symbolic link the file it points to is replaced, not the link.
    std::vector<char> resolved(PATH_MAX + 1, 0);
    if (exists && ::realpath(target.c_str(), resolved.data())) target_ = resolved.data();
    // A file without a name cannot outlive a killed process; it gets one only when complete.
    fd_ = ::open(directoryOf(target_).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
    if (fd_ < 0 && (errno == EOPNOTSUPP || errno == EISDIR)) {
        // A file system without unnamed files: a named one, removed on every failure.
        std::string pattern = directoryOf(target_) + "/" + kTempPrefix + "XXXXXX";
        fd_ = ::mkstemp(pattern.data());
        if (fd_ >= 0) temp_ = pattern;
    }
    if (fd_ < 0) return failWith("cannot create a temporary file beside it");
    // Keep the permissions of the file replaced, or give a new one the usual ones.
    mode_t mode = 0666;
    if (exists) {
        mode = st.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode &= ~mask;
    }
    ::fchmod(fd_, mode);
    return true;
}

bool SafeOutput::write(std::string_view bytes) {
    if (fd_ < 0) return false;
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd_, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return failWith("write error");
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

bool SafeOutput::commit() {
    if (fd_ < 0) return false;
    if (direct_) {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0 || failWith("write error");
    }
    if (::fsync(fd_) != 0) return failWith("write error");
    if (temp_.empty() && !linkIntoDirectory()) return false;
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) return failWith("write error");
    if (::rename(temp_.c_str(), target_.c_str()) != 0) return failWith("cannot replace it");
    temp_.clear();
    // The rename itself is durable once the directory is synced.
    const int dir = ::open(directoryOf(target_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

bool SafeOutput::linkIntoDirectory() {
    // A name that nobody else uses, then renamed over the target: linkat cannot replace.
    const std::string procPath = "/proc/self/fd/" + std::to_string(fd_);
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = directoryOf(target_) + "/" + kTempPrefix + std::to_string(::getpid()) +
                           "-" + std::to_string(attempt);
        if (::linkat(AT_FDCWD, procPath.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
            temp_ = std::move(name);
            return true;
        }
        if (errno != EEXIST) break;
    }
    return failWith("cannot link the finished output into its directory");
}

void SafeOutput::abandon() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (!temp_.empty()) ::unlink(temp_.c_str());
    temp_.clear();
    direct_ = false;
}

}  // namespace gw::tool
