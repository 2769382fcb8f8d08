#include "file_lock.h"

#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <thread>

namespace tarvona {

namespace {

// flock has no timeout of its own, so the lock is tried at short intervals. 0 once held,
// otherwise errno's value.
int LockWithin(int fd, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) return 0;
        const int error = errno;
        if (error == EINTR) continue;
        if (error != EWOULDBLOCK || std::chrono::steady_clock::now() >= deadline) return error;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

}  // namespace

std::optional<FileLock> FileLock::OnFile(const Folder& folder, const std::string& name,
                                         std::chrono::milliseconds timeout, int& error) {
    const int fd = folder.OpenToLock(name, error);
    if (fd < 0) return std::nullopt;
    FileLock lock(fd);
    error = LockWithin(fd, timeout);
    if (error != 0) return std::nullopt;
    return lock;
}

// Every copy of the folder in this process shares the lock; the state lock's holders nest anyway.
std::optional<FileLock> FileLock::OnFolder(const Folder& folder,
                                           std::chrono::milliseconds timeout) {
    if (LockWithin(folder.Descriptor(), timeout) != 0) return std::nullopt;
    FileLock lock(folder.Descriptor());
    lock.m_folder = folder;
    return lock;
}

void FileLock::Release() {
    if (m_fd < 0) return;
    if (m_folder)
        ::flock(m_fd, LOCK_UN);
    else
        ::close(m_fd);
    m_fd = -1;
    m_folder.reset();
}

FileLock& FileLock::operator=(FileLock&& other) noexcept {
    if (this != &other) {
        Release();
        m_fd = other.m_fd;
        m_folder = std::move(other.m_folder);
        other.m_fd = -1;
    }
    return *this;
}

FileLock::~FileLock() {
    Release();
}

}  // namespace tarvona
