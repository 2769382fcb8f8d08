#pragma once

#include <chrono>
#include <optional>
#include <string>

#include "folder.h"

namespace tarvona {

// An exclusive advisory lock (flock), held until destruction. The descriptor is close-on-exec,
// so programs we start never inherit the lock.
class FileLock {
public:
    // Takes the lock on a lock file of the folder (made when missing), waiting up to timeout
    // while another holder has it. error is EWOULDBLOCK when another holder still has it, EINVAL
    // when the name is no plain file, another errno value when it cannot be had at all.
    static std::optional<FileLock> OnFile(const Folder& folder, const std::string& name,
                                          std::chrono::milliseconds timeout, int& error);
    // Locks the folder itself through its own descriptor, which costs no descriptor more;
    // waiting up to timeout.
    static std::optional<FileLock> OnFolder(const Folder& folder,
                                            std::chrono::milliseconds timeout);

    FileLock(FileLock&& other) noexcept : m_fd(other.m_fd), m_folder(std::move(other.m_folder)) {
        other.m_fd = -1;
    }
    FileLock& operator=(FileLock&& other) noexcept;
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    ~FileLock();

private:
    explicit FileLock(int fd) : m_fd(fd) {}
    void Release();
    int m_fd;
    std::optional<Folder> m_folder;  // for a lock on a folder's descriptor, which stays open
};

}  // namespace tarvona
