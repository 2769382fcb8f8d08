#include "file_access.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "user_folders.h"

namespace tarvona {

namespace fs = std::filesystem;

namespace {

// ".<target>.tarvona-write-XXXXXX": a hidden name no user picks for a file of their own.
const std::string kTemporaryMark = ".tarvona-write-";
constexpr size_t kTemporaryLetters = 6;  // the XXXXXX of mkstemp

std::string TemporaryPrefix(const std::string& target) {
    return "." + target + kTemporaryMark;
}

class Descriptor {
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor() {
        if (m_fd >= 0) ::close(m_fd);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return m_fd; }
    // Closes now, so that a failing close counts.
    bool Close() {
        const int fd = m_fd;
        m_fd = -1;
        return fd < 0 || ::close(fd) == 0;
    }

private:
    int m_fd;
};

bool WriteAll(int fd, const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

std::string FolderOf(const std::string& path) {
    fs::path parent = fs::path(path).parent_path();
    return parent.empty() ? std::string(".") : parent.string();
}

void SyncFolder(const std::string& folder) {
    Descriptor fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.get() >= 0) ::fsync(fd.get());
}

// Where a write of path lands: the file a symbolic link names (followed link by link, so that a
// dangling link is written through to its target too).
std::optional<std::string> WriteTarget(const std::string& path) {
    std::string target = path;
    for (int links = 0; links < 40; ++links) {
        std::error_code ec;
        if (!fs::is_symlink(fs::symlink_status(target, ec))) return target;
        fs::path next = fs::read_symlink(target, ec);
        if (ec) return std::nullopt;
        target = next.is_absolute() ? next.string() : (fs::path(FolderOf(target)) / next).string();
    }
    return std::nullopt;
}

}  // namespace

bool IsReadOnly(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return false;
    if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return true;
    return ::access(path.c_str(), W_OK) != 0;
}

namespace {

// Opens a regular file for reading. O_NONBLOCK: opening a FIFO must not wait for a writer; it
// has no effect on regular files.
int OpenRegular(const std::string& path, FileRead& result, struct stat& st) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        result.status = (errno == ENOENT || errno == ENOTDIR) ? ReadStatus::Missing
                        : errno == ENXIO                      ? ReadStatus::NotRegular
                                                              : ReadStatus::Failed;
        return -1;
    }
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        result.status = S_ISREG(st.st_mode) ? ReadStatus::Failed : ReadStatus::NotRegular;
        ::close(fd);
        return -1;
    }
    result.owner = st.st_uid;
    result.mode = st.st_mode & 07777;
    return fd;
}

}  // namespace

FileRead ReadFileTail(const std::string& path, size_t count) {
    FileRead result;
    struct stat st {};
    Descriptor fd(OpenRegular(path, result, st));
    if (fd.get() < 0) return result;
    const auto size = static_cast<unsigned long long>(st.st_size);
    const off_t start = size > count ? static_cast<off_t>(size - count) : 0;
    std::string bytes(static_cast<size_t>(size - static_cast<unsigned long long>(start)), '\0');
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::pread(fd.get(), bytes.data() + done, bytes.size() - done,
                            start + static_cast<off_t>(done));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return result;
        if (n == 0) break;  // shrank while we read
        done += static_cast<size_t>(n);
    }
    bytes.resize(done);
    result.status = ReadStatus::Read;
    result.bytes = std::move(bytes);
    return result;
}

ReadStatus ForEachLine(const std::string& path, size_t maxLine,
                       const std::function<void(const std::string&)>& line) {
    FileRead result;
    struct stat st {};
    Descriptor fd(OpenRegular(path, result, st));
    if (fd.get() < 0) return result.status;
    std::string current;
    bool tooLong = false;
    auto finish = [&] {
        if (!current.empty() && current.back() == '\r') current.pop_back();
        if (!tooLong) line(current);
        current.clear();
        tooLong = false;
    };
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return ReadStatus::Failed;
        if (n == 0) break;
        for (ssize_t i = 0; i < n; ++i) {
            if (buffer[i] == '\n') {
                finish();
            } else if (current.size() <= maxLine) {
                current += buffer[i];
            } else {
                tooLong = true;
            }
        }
    }
    if (!current.empty()) finish();
    return ReadStatus::Read;
}

FileRead ReadRegularFile(const std::string& path, size_t limit) {
    FileRead result;
    struct stat st {};
    Descriptor fd(OpenRegular(path, result, st));
    if (fd.get() < 0) return result;
    if (static_cast<unsigned long long>(st.st_size) > limit) {
        result.status = ReadStatus::TooLarge;
        return result;
    }
    std::string bytes;
    bytes.reserve(static_cast<size_t>(st.st_size));
    char buffer[65536];
    for (;;) {
        ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) continue;
            return result;
        }
        if (n == 0) break;
        bytes.append(buffer, static_cast<size_t>(n));
        if (bytes.size() > limit) {  // grew while we read
            result.status = ReadStatus::TooLarge;
            return result;
        }
    }
    result.status = ReadStatus::Read;
    result.bytes = std::move(bytes);
    return result;
}

std::string FileStamp(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return "";
    return std::to_string(st.st_dev) + ":" + std::to_string(st.st_ino) + ":" +
           std::to_string(st.st_size) + ":" + std::to_string(st.st_mtim.tv_sec) + "." +
           std::to_string(st.st_mtim.tv_nsec) + ":" + std::to_string(st.st_ctim.tv_sec) + "." +
           std::to_string(st.st_ctim.tv_nsec);
}

bool WriteFileAtomically(const std::string& path, const std::string& bytes) {
    const auto target = WriteTarget(path);
    if (!target) return false;
    const std::string folder = FolderOf(*target);
    if (IsReadOnly(folder)) return false;

    struct stat old {};
    const bool exists = ::stat(target->c_str(), &old) == 0;
    if (exists && (!S_ISREG(old.st_mode) || IsReadOnly(*target))) return false;

    const fs::path targetPath(*target);
    std::string temp =
        (targetPath.parent_path() /
         (TemporaryPrefix(targetPath.filename().string()) + std::string(kTemporaryLetters, 'X')))
            .string();
    Descriptor fd(::mkostemp(temp.data(), O_CLOEXEC));
    if (fd.get() < 0) return false;
    mode_t mode = exists ? (old.st_mode & 07777) : 0666;
    if (!exists) {
        mode_t mask = ::umask(0);
        ::umask(mask);
        mode &= ~mask;
    }
    // Root writing a user's file hands the copy back to the file's owner and group; a plain user
    // who may write someone else's file cannot, and the copy becomes theirs.
    if (exists && (old.st_uid != ::geteuid() || old.st_gid != ::getegid()))
        (void)!::fchown(fd.get(), old.st_uid, old.st_gid);
    if (!exists) HandToFolderOwner(fd.get(), folder);
    bool ok = ::fchmod(fd.get(), mode) == 0;
    ok = ok && WriteAll(fd.get(), bytes) && ::fsync(fd.get()) == 0;
    ok = fd.Close() && ok;
    if (ok && ::rename(temp.c_str(), target->c_str()) == 0) {
        SyncFolder(folder);
        return true;
    }
    ::unlink(temp.c_str());
    return false;
}

bool IsTemporaryOf(const std::string& name, const std::string& target) {
    const std::string prefix = TemporaryPrefix(target);
    if (name.size() != prefix.size() + kTemporaryLetters || name.compare(0, prefix.size(), prefix))
        return false;
    for (size_t i = prefix.size(); i < name.size(); ++i) {
        const char c = name[i];
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')))
            return false;
    }
    return true;
}

void RemoveTemporariesOf(const std::string& folder, const std::vector<std::string>& targets) {
    Descriptor fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.get() < 0) return;
    DIR* dir = ::fdopendir(::dup(fd.get()));
    if (!dir) return;
    std::vector<std::string> stale;
    while (dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        for (const std::string& target : targets) {
            struct stat st {};
            // Only a plain file that we could have made: never a link, one with other names,
            // or another user's.
            if (IsTemporaryOf(name, target) &&
                ::fstatat(fd.get(), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 &&
                S_ISREG(st.st_mode) && st.st_nlink == 1 &&
                (st.st_uid == ::geteuid() || ::geteuid() == 0))
                stale.push_back(name);
        }
    }
    ::closedir(dir);
    for (const std::string& name : stale) ::unlinkat(fd.get(), name.c_str(), 0);
}

CreateResult CreateNewFile(const std::string& path, const std::string& bytes) {
    if (IsReadOnly(FolderOf(path))) return CreateResult::Failed;
    Descriptor fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
    if (fd.get() < 0) return errno == EEXIST ? CreateResult::AlreadyThere : CreateResult::Failed;
    HandToFolderOwner(fd.get(), FolderOf(path));
    bool ok = WriteAll(fd.get(), bytes) && ::fsync(fd.get()) == 0;
    ok = fd.Close() && ok;
    if (!ok) ::unlink(path.c_str());
    return ok ? CreateResult::Created : CreateResult::Failed;
}

DeleteResult DeleteFromFolder(const std::string& folder, const std::string& name) {
    if (name.empty() || name == "." || name == ".." ||
        name.find_first_of(std::string("/\0", 2)) != std::string::npos)
        return DeleteResult::NotAFile;
    Descriptor fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (fd.get() < 0) return errno == ENOENT ? DeleteResult::Gone : DeleteResult::Failed;
    struct stat st {};
    if (::fstatat(fd.get(), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return errno == ENOENT ? DeleteResult::Gone : DeleteResult::Failed;
    if (!S_ISREG(st.st_mode) && !S_ISLNK(st.st_mode)) return DeleteResult::NotAFile;
    if (IsReadOnly(folder)) return DeleteResult::Failed;
    if (::unlinkat(fd.get(), name.c_str(), 0) == 0) return DeleteResult::Deleted;
    return errno == ENOENT ? DeleteResult::Gone : DeleteResult::Failed;
}

}  // namespace tarvona
