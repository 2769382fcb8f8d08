#include "file_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <thread>

#include "user_folders.h"

namespace tarvona {

namespace {

int OpenForLock(const std::string& path) {
    // O_NONBLOCK: a FIFO in the way must not stall the open.
    return ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
}

bool TryLock(int fd) {
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0)
        if (errno != EINTR) return false;
    return true;
}

}  // namespace

std::optional<FileLock> FileLock::TryCreate(const std::string& path, int& error) {
    const int fd = ::open(
        path.c_str(), O_RDONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, 0600);
    if (fd < 0) {
        error = errno;
        return std::nullopt;
    }
    FileLock lock(fd);
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        error = S_ISREG(st.st_mode) ? errno : EINVAL;
        return std::nullopt;
    }
    HandToFolderOwner(fd, std::filesystem::path(path).parent_path().string());
    if (!TryLock(fd)) {
        error = errno;
        return std::nullopt;
    }
    error = 0;
    return lock;
}

std::optional<FileLock> FileLock::WaitCreate(const std::string& path,
                                             std::chrono::milliseconds timeout, int& error) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        auto lock = TryCreate(path, error);
        if (lock || error != EWOULDBLOCK || std::chrono::steady_clock::now() >= deadline)
            return lock;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

// flock has no timeout of its own, so the lock is tried at short intervals.
std::optional<FileLock> FileLock::Wait(const std::string& path, std::chrono::milliseconds timeout) {
    const int fd = OpenForLock(path);
    if (fd < 0) return std::nullopt;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        if (TryLock(fd)) return FileLock(fd);
        if (errno != EWOULDBLOCK || std::chrono::steady_clock::now() >= deadline) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ::close(fd);
    return std::nullopt;
}

FileLock& FileLock::operator=(FileLock&& other) noexcept {
    if (this != &other) {
        if (m_fd >= 0) ::close(m_fd);
        m_fd = other.m_fd;
        other.m_fd = -1;
    }
    return *this;
}

FileLock::~FileLock() {
    if (m_fd >= 0) ::close(m_fd);
}

}  // namespace tarvona
