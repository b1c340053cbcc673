#include "state/AtomicFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace q24 {

std::string WriteFileAtomically(const std::string& path, const std::string& content) {
    std::string tmp = path + ".XXXXXX";
    int fd = mkstemp(tmp.data());
    if (fd < 0) return std::strerror(errno);
    fchmod(fd, 0644);
    auto fail = [&](int err) {
        close(fd);
        unlink(tmp.c_str());
        return std::string(std::strerror(err));
    };
    const char* p = content.data();
    size_t left = content.size();
    while (left > 0) {
        ssize_t n = write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            return fail(errno);
        }
        p += n;
        left -= static_cast<size_t>(n);
    }
    if (fsync(fd) != 0 && errno != EINVAL) return fail(errno);
    if (close(fd) != 0) {
        int err = errno;
        unlink(tmp.c_str());
        return std::strerror(err);
    }
    if (std::rename(tmp.c_str(), path.c_str()) != 0) {
        int err = errno;
        unlink(tmp.c_str());
        return std::strerror(err);
    }
    return {};
}

}  // namespace q24
