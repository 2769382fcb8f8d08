#include "folder.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/random.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <filesystem>
#include <iostream>

#include "printable.h"
#include "user_folders.h"

namespace tarvona {

namespace fs = std::filesystem;

namespace {

constexpr int kReadFlags = O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
constexpr int kMaxLinks = 40;  // the kernel's own bound on a chain of links

// ".<target>.tarvona-write-XXXXXX": a hidden name no user picks for a file of their own.
const std::string kTemporaryMark = ".tarvona-write-";
constexpr size_t kTemporaryLetters = 6;

std::string TemporaryPrefix(const std::string& target) {
    return "." + target + kTemporaryMark;
}

class OwnedFd {
public:
    explicit OwnedFd(int fd) : m_fd(fd) {}
    ~OwnedFd() {
        if (m_fd >= 0) ::close(m_fd);
    }
    OwnedFd(const OwnedFd&) = delete;
    OwnedFd& operator=(const OwnedFd&) = delete;
    int get() const { return m_fd; }
    int release() {
        const int fd = m_fd;
        m_fd = -1;
        return fd;
    }
    // Closes now, so that a failing close counts.
    bool Close() { return ::close(release()) == 0; }

private:
    int m_fd;
};

bool WriteAll(int fd, const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

// A regular file of the running user with one name: the only kind of file the program keeps.
bool IsPlain(const struct stat& st) {
    return S_ISREG(st.st_mode) && st.st_uid == ::geteuid() && st.st_nlink == 1;
}

const char* const kNotPlain = "not a plain file of yours with one link; left untouched";

// The letters of a temporary name. Without entropy (very early at boot) any letters do: a name
// that is taken only costs another attempt, since it is made with O_EXCL.
std::string RandomLetters(int attempt) {
    static const char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    unsigned char random[kTemporaryLetters] = {};
    if (::getrandom(random, sizeof random, GRND_NONBLOCK) != sizeof random) {
        unsigned seed = static_cast<unsigned>(::getpid()) * 31u + static_cast<unsigned>(attempt);
        for (unsigned char& r : random)
            r = static_cast<unsigned char>(seed = seed * 1103515245u + 12345u);
    }
    std::string letters;
    for (unsigned char r : random) letters += kLetters[r % (sizeof kLetters - 1)];
    return letters;
}

}  // namespace

mode_t NewFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return (0666 & ~mask) & ~mode_t(S_IWGRP | S_IWOTH);
}

Folder::Folder(int fd, std::string path)
    : m_fd(new int(fd),
           [](const int* p) {
               ::close(*p);
               delete p;
           }),
      m_path(std::move(path)),
      m_told(std::make_shared<std::set<std::string>>()) {}

std::optional<Folder> Folder::Open(const std::string& path, int& error, bool followLink) {
    const int fd =
        ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | (followLink ? 0 : O_NOFOLLOW));
    if (fd < 0) {
        error = errno;
        return std::nullopt;
    }
    return Folder(fd, path);
}

std::optional<Folder> Folder::OpenSub(const std::string& name, int& error) const {
    const int fd =
        ::openat(Descriptor(), name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        error = errno;
        return std::nullopt;
    }
    return Folder(fd, PathOf(name));
}

bool Folder::MakeSub(const std::string& name, mode_t mode) const {
    return ::mkdirat(Descriptor(), name.c_str(), mode & ~mode_t(S_IWGRP | S_IWOTH)) == 0;
}

std::string Folder::PathOf(const std::string& name) const {
    if (!m_path.empty() && m_path.back() == '/') return m_path + name;
    return m_path + "/" + name;
}

struct stat Folder::Info() const {
    struct stat st {};
    ::fstat(Descriptor(), &st);
    return st;
}

bool Folder::ReadOnly() const {
    if ((Info().st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return true;
    return ::faccessat(Descriptor(), ".", W_OK, AT_EACCESS) != 0;
}

bool Folder::SameAs(const Folder& other) const {
    const struct stat a = Info(), b = other.Info();
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

void Folder::Tell(const std::string& name, const std::string& why) const {
    if (!m_told->insert(name).second) return;
    std::cerr << "Tarvona: " << Printable(PathOf(name)) << ": " << why << '\n';
}

// O_NOFOLLOW: a link is never opened; O_NONBLOCK: a FIFO in the way must not stall the open.
int Folder::OpenPlain(const std::string& name, int flags, FileRead& result) const {
    const int fd = ::openat(Descriptor(), name.c_str(), flags | O_NOFOLLOW);
    if (fd < 0) {
        result.status = errno == ENOENT  ? ReadStatus::Missing
                        : errno == ELOOP ? ReadStatus::NotPlain
                        : errno == ENXIO ? ReadStatus::NotRegular
                                         : ReadStatus::Failed;
    } else if (::fstat(fd, &result.info) != 0) {
        result.status = ReadStatus::Failed;
    } else if (!IsPlain(result.info)) {
        result.status =
            S_ISREG(result.info.st_mode) ? ReadStatus::NotPlain : ReadStatus::NotRegular;
    } else {
        return fd;
    }
    if (fd >= 0) ::close(fd);
    if (result.status == ReadStatus::NotPlain || result.status == ReadStatus::NotRegular)
        Tell(name, kNotPlain);
    return -1;
}

namespace {

// Reads what is left of an open file, failing once it passes limit.
ReadStatus ReadRest(int fd, size_t limit, std::string& bytes) {
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return ReadStatus::Failed;
        if (n == 0) return ReadStatus::Read;
        bytes.append(buffer, static_cast<size_t>(n));
        if (bytes.size() > limit) return ReadStatus::TooLarge;  // grew while we read
    }
}

FileRead ReadOpened(int descriptor, FileRead result, size_t limit) {
    OwnedFd fd(descriptor);
    if (fd.get() < 0) return result;
    if (static_cast<unsigned long long>(result.info.st_size) > limit) {
        result.status = ReadStatus::TooLarge;
        return result;
    }
    std::string bytes;
    bytes.reserve(static_cast<size_t>(result.info.st_size));
    result.status = ReadRest(fd.get(), limit, bytes);
    if (result.status == ReadStatus::Read) result.bytes = std::move(bytes);
    return result;
}

}  // namespace

FileRead Folder::Read(const std::string& name, size_t limit) const {
    FileRead result;
    const int fd = OpenPlain(name, kReadFlags, result);
    return ReadOpened(fd, std::move(result), limit);
}

FileRead Folder::ReadTail(const std::string& name, size_t count) const {
    FileRead result;
    OwnedFd fd(OpenPlain(name, kReadFlags, result));
    if (fd.get() < 0) return result;
    const auto size = static_cast<unsigned long long>(result.info.st_size);
    const off_t start = size > count ? static_cast<off_t>(size - count) : 0;
    if (::lseek(fd.get(), start, SEEK_SET) < 0) return result;
    std::string bytes;
    result.status = ReadRest(fd.get(), count, bytes);
    // A file that grew meanwhile still gives its tail as it stood.
    if (result.status == ReadStatus::TooLarge) result.status = ReadStatus::Read;
    if (bytes.size() > count) bytes.resize(count);
    if (result.status == ReadStatus::Read) result.bytes = std::move(bytes);
    return result;
}

ReadStatus Folder::ForEachLine(const std::string& name, size_t maxLine,
                               const std::function<bool(const std::string&)>& line) const {
    FileRead result;
    OwnedFd fd(OpenPlain(name, kReadFlags, result));
    if (fd.get() < 0) return result.status;
    std::string current;
    bool tooLong = false;
    auto finish = [&] {
        if (!current.empty() && current.back() == '\r') current.pop_back();
        const bool more = tooLong || line(current);
        current.clear();
        tooLong = false;
        return more;
    };
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return ReadStatus::Failed;
        if (n == 0) break;
        for (ssize_t i = 0; i < n; ++i) {
            if (buffer[i] == '\n') {
                if (!finish()) return ReadStatus::Read;
            } else if (current.size() <= maxLine) {
                current += buffer[i];
            } else {
                tooLong = true;
            }
        }
    }
    if (!current.empty() || tooLong) finish();
    return ReadStatus::Read;
}

std::optional<std::chrono::sys_seconds> Folder::ModifiedAt(const std::string& name) const {
    struct stat st {};
    if (::fstatat(Descriptor(), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) return std::nullopt;
    return std::chrono::sys_seconds{std::chrono::seconds{st.st_mtim.tv_sec}};
}

bool Folder::Replace(const std::string& name, const std::string& bytes) const {
    return ReplaceEntry(name, bytes, true);
}

bool Folder::ReplaceEntry(const std::string& name, const std::string& bytes, bool plainOnly) const {
    if (ReadOnly()) return false;
    struct stat old {};
    const bool exists = ::fstatat(Descriptor(), name.c_str(), &old, AT_SYMLINK_NOFOLLOW) == 0;
    if (!exists && errno != ENOENT) return false;
    if (exists) {
        const bool usable =
            plainOnly ? IsPlain(old) : S_ISREG(old.st_mode) && CheckTrust(old) == Trust::Trusted;
        if (!usable) {
            Tell(name, kNotPlain);
            return false;
        }
        if ((old.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return false;  // read-only
    }
    const mode_t mode = exists ? (old.st_mode & 07777) : NewFileMode();
    std::string temp;
    int descriptor = -1;
    for (int attempt = 0; attempt < 100 && descriptor < 0; ++attempt) {
        temp = TemporaryPrefix(name) + RandomLetters(attempt);
        descriptor = ::openat(Descriptor(), temp.c_str(),
                              O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (descriptor < 0 && errno != EEXIST) return false;
    }
    OwnedFd fd(descriptor);
    if (fd.get() < 0) return false;
    bool ok = ::fchmod(fd.get(), mode) == 0 && WriteAll(fd.get(), bytes) && ::fsync(fd.get()) == 0;
    ok = fd.Close() && ok;
    if (ok && ::renameat(Descriptor(), temp.c_str(), Descriptor(), name.c_str()) == 0) {
        ::fsync(Descriptor());  // so that the new name survives a power cut
        return true;
    }
    ::unlinkat(Descriptor(), temp.c_str(), 0);
    return false;
}

CreateResult Folder::Create(const std::string& name, const std::string& bytes) const {
    if (ReadOnly()) return CreateResult::Failed;
    const mode_t mode = NewFileMode();
    OwnedFd fd(::openat(Descriptor(), name.c_str(),
                        O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode));
    if (fd.get() < 0) return errno == EEXIST ? CreateResult::AlreadyThere : CreateResult::Failed;
    bool ok = ::fchmod(fd.get(), mode) == 0 && WriteAll(fd.get(), bytes) && ::fsync(fd.get()) == 0;
    ok = fd.Close() && ok;
    if (!ok) ::unlinkat(Descriptor(), name.c_str(), 0);
    return ok ? CreateResult::Created : CreateResult::Failed;
}

DeleteResult Folder::Delete(const std::string& name) const {
    if (name.empty() || name == "." || name == ".." ||
        name.find_first_of(std::string("/\0", 2)) != std::string::npos)
        return DeleteResult::NotAFile;
    struct stat st {};
    if (::fstatat(Descriptor(), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return errno == ENOENT ? DeleteResult::Gone : DeleteResult::Failed;
    if (!IsPlain(st)) {
        Tell(name, kNotPlain);
        return DeleteResult::NotAFile;
    }
    if (ReadOnly()) return DeleteResult::Failed;
    if (::unlinkat(Descriptor(), name.c_str(), 0) == 0) return DeleteResult::Deleted;
    return errno == ENOENT ? DeleteResult::Gone : DeleteResult::Failed;
}

int Folder::OpenForAppend(const std::string& name) const {
    constexpr int kAppend = O_WRONLY | O_APPEND | O_NONBLOCK | O_NOCTTY | O_CLOEXEC | O_NOFOLLOW;
    FileRead probe;
    OwnedFd looked(OpenPlain(name, kReadFlags, probe));
    if (looked.get() < 0) {
        if (probe.status != ReadStatus::Missing || ReadOnly()) return -1;
        const mode_t mode = NewFileMode();
        OwnedFd made(::openat(Descriptor(), name.c_str(), kAppend | O_CREAT | O_EXCL, mode));
        if (made.get() < 0 || ::fchmod(made.get(), mode) != 0) return -1;
        return made.release();
    }
    // Back to a plain file: one its owner can write.
    if ((probe.info.st_mode & S_IWUSR) == 0)
        ::fchmod(looked.get(), (probe.info.st_mode & 07777) | S_IWUSR);
    OwnedFd fd(::openat(Descriptor(), name.c_str(), kAppend));
    struct stat st {};
    // The name must still lead to the file that was checked.
    if (fd.get() < 0 || ::fstat(fd.get(), &st) != 0 || st.st_dev != probe.info.st_dev ||
        st.st_ino != probe.info.st_ino)
        return -1;
    return fd.release();
}

int Folder::OpenToLock(const std::string& name, int& error) const {
    OwnedFd fd(::openat(Descriptor(), name.c_str(), kReadFlags | O_CREAT | O_NOFOLLOW, 0600));
    struct stat st {};
    if (fd.get() < 0 || ::fstat(fd.get(), &st) != 0) {
        error = errno == ELOOP ? EINVAL : errno;
        return -1;
    }
    if (!IsPlain(st)) {
        error = EINVAL;
        return -1;
    }
    return fd.release();
}

// Where a chain of links that starts at name ends: the folder holding the last name, and that
// name. Each link's target is taken from the folder that holds the link.
std::optional<std::pair<Folder, std::string>> Folder::Resolve(const std::string& name) const {
    std::pair<Folder, std::string> place{*this, name};
    for (int hop = 0; hop < kMaxLinks; ++hop) {
        const Folder& folder = place.first;
        char target[PATH_MAX];
        const ssize_t n =
            ::readlinkat(folder.Descriptor(), place.second.c_str(), target, sizeof target);
        if (n < 0) {
            if (errno == EINVAL || errno == ENOENT) return place;  // no link: the end
            return std::nullopt;
        }
        if (static_cast<size_t>(n) >= sizeof target) return std::nullopt;
        const fs::path next(std::string(target, static_cast<size_t>(n)));
        const std::string leaf = next.filename().string();
        if (leaf.empty() || leaf == "." || leaf == "..") return std::nullopt;
        if (next.has_parent_path()) {
            const std::string parent = next.parent_path().string();
            const int fd =
                ::openat(folder.Descriptor(), parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            if (fd < 0) return std::nullopt;
            place.first = Folder(fd, next.is_absolute() ? parent : folder.PathOf(parent));
        }
        place.second = leaf;
    }
    return std::nullopt;
}

FileRead Folder::ReadFollowingLinks(const std::string& name, size_t limit) const {
    FileRead result;
    const int fd = ::openat(Descriptor(), name.c_str(), kReadFlags);
    if (fd < 0) {
        result.status = (errno == ENOENT || errno == ENOTDIR) ? ReadStatus::Missing
                        : errno == ENXIO                      ? ReadStatus::NotRegular
                                                              : ReadStatus::Failed;
        return result;
    }
    if (::fstat(fd, &result.info) != 0 || !S_ISREG(result.info.st_mode)) {
        result.status = S_ISREG(result.info.st_mode) ? ReadStatus::Failed : ReadStatus::NotRegular;
        ::close(fd);
        return result;
    }
    return ReadOpened(fd, std::move(result), limit);
}

bool Folder::ReplaceFollowingLinks(const std::string& name, const std::string& bytes) const {
    const auto place = Resolve(name);
    if (!place) return false;
    const auto& [folder, leaf] = *place;
    if (!folder.SameAs(*this) && CheckTrust(folder.Info()) != Trust::Trusted) {
        Tell(name, "leads into a folder that is not yours alone; left untouched");
        return false;
    }
    return folder.ReplaceEntry(leaf, bytes, false);
}

std::string Folder::Stamp(const std::string& name) const {
    struct stat st {};
    if (::fstatat(Descriptor(), name.c_str(), &st, 0) != 0) return "";
    return std::to_string(st.st_dev) + ":" + std::to_string(st.st_ino) + ":" +
           std::to_string(st.st_size) + ":" + std::to_string(st.st_mtim.tv_sec) + "." +
           std::to_string(st.st_mtim.tv_nsec) + ":" + std::to_string(st.st_ctim.tv_sec) + "." +
           std::to_string(st.st_ctim.tv_nsec);
}

bool Folder::IsTemporaryOf(const std::string& name, const std::string& target) {
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

void Folder::RemoveTemporaries(const std::vector<std::string>& names) const {
    const int copy = ::openat(Descriptor(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (copy < 0) return;
    DIR* dir = ::fdopendir(copy);
    if (!dir) {
        ::close(copy);
        return;
    }
    std::vector<std::string> stale;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        for (const std::string& target : names) {
            struct stat st {};
            // Only a plain file that we could have made.
            if (IsTemporaryOf(name, target) &&
                ::fstatat(Descriptor(), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && IsPlain(st))
                stale.push_back(name);
        }
    }
    ::closedir(dir);
    for (const std::string& name : stale) ::unlinkat(Descriptor(), name.c_str(), 0);
}

}  // namespace tarvona
