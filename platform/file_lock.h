#pragma once

#include <chrono>
#include <optional>
#include <string>

namespace tarvona {

// An exclusive advisory lock (flock) on an existing file or folder, held until destruction. The
// descriptor is close-on-exec, so programs we start never inherit the lock.
class FileLock {
public:
    // Takes the lock without waiting, on a lock file that is created (mode 0600) when missing;
    // never through a link or on anything but a regular file. error is EWOULDBLOCK when another holder has the lock,
    // another errno value when it cannot be had at all.
    static std::optional<FileLock> TryCreate(const std::string& path, int& error);
    // TryCreate, waiting up to timeout while another holder has the lock (error EWOULDBLOCK then).
    static std::optional<FileLock> WaitCreate(const std::string& path,
                                              std::chrono::milliseconds timeout, int& error);
    // Waits for the lock, but never longer than timeout.
    static std::optional<FileLock> Wait(const std::string& path, std::chrono::milliseconds timeout);

    FileLock(FileLock&& other) noexcept : m_fd(other.m_fd) { other.m_fd = -1; }
    FileLock& operator=(FileLock&& other) noexcept;
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    ~FileLock();

private:
    explicit FileLock(int fd) : m_fd(fd) {}
    int m_fd;
};

}  // namespace tarvona
