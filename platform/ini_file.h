#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "folder.h"

namespace tarvona {

// The text of one INI file, read and changed with the rules of the Windows profile functions:
// names compared without regard to case, the first section and key of a name counting, blanks
// and one pair of enclosing quotes dropped on reading. Every byte that a change does not touch
// stays as it was, so foreign sections, comments and odd line ends survive. A UTF-16LE file
// (byte-order mark FF FE) is read as UTF-8 text and written back as UTF-16LE.
class IniDocument {
public:
    IniDocument() = default;
    explicit IniDocument(const std::string& bytes);

    // The value as read, or nothing when the section or key is missing.
    std::optional<std::string> Get(const std::string& section, const std::string& key) const;
    // An integer read with ProfileInteger; the fallback for a missing key or an empty value.
    int32_t GetInt(const std::string& section, const std::string& key, int32_t fallback) const;
    void Set(const std::string& section, const std::string& key, const std::string& value);
    std::string Bytes() const;
    // Whether the text differs from what was read (a document not read from a file always does).
    bool Changed() const { return !m_read || Bytes() != *m_read; }
    // What Store needs: whether the file already holds these bytes, and that it now does.
    bool Holds(const std::string& bytes) const { return m_read && *m_read == bytes; }
    void Written(std::string bytes) { m_read = std::move(bytes); }

private:
    struct Line {
        std::string text;
        std::string end;  // "\r\n", "\n", "\r", or empty on a last line without a line end
    };
    // Where each section (its first header) and each of its keys (the first of a name) stand,
    // built in one pass so that reading a whole table costs one pass over the file.
    struct Section {
        size_t header = 0;
        size_t lastFilled = 0;  // last non-blank line of the section, the header at least
        std::unordered_map<std::string, size_t> keys;
    };
    const std::unordered_map<std::string, Section>& Index() const;

    std::optional<std::string> m_read;  // the bytes it was made from
    bool m_utf16 = false;
    std::string m_bom;
    std::string m_tail;  // an odd last byte of a UTF-16 file, kept as it was
    std::vector<Line> m_lines;
    mutable std::unordered_map<std::string, Section> m_index;
    mutable bool m_indexed = false;
};

// Whether the bytes are in an encoding the reader knows: 8-bit text (UTF-8 or any other, with or
// without a UTF-8 byte-order mark), or UTF-16LE with its byte-order mark. UTF-16 without a mark,
// UTF-16BE and UTF-32 hold NUL bytes where text has none, and are read as nothing.
bool IsKnownEncoding(const std::string& bytes);

// Reads a profile integer from a text value: blanks, an optional sign, decimal digits up to the
// first other character, wrapped to 32 bits; no digit gives 0.
int32_t ProfileInteger(const std::string& text);

// Why a settings file gives no document: it cannot be read (no regular file, larger than kMaxSize,
// no permission, an encoding the reader does not know), or it cannot be trusted (it fails
// CheckTrust: another user's, or writable by others), since what it names is run as the user.
enum class IniProblem { None, Unreadable, NotTrusted };

// One settings file in a folder; every call reads or writes the file itself. A file with a
// problem is never read and never written over.
class IniFile {
public:
    // A table of 25 events takes a few kilobytes. The bound keeps a damaged or hostile file from
    // costing a login run seconds and hundreds of megabytes; a write past it is refused, so that
    // the program never makes a file it would refuse to read.
    static constexpr size_t kMaxSize = 1024 * 1024;

    IniFile(Folder folder, std::string name)
        : m_folder(std::move(folder)), m_name(std::move(name)) {}
    // The file at a path, its folder opened now (for tools and tests).
    explicit IniFile(const std::string& path);

    std::string ReadString(const std::string& section, const std::string& key,
                           const std::string& fallback) const;
    int32_t ReadInt(const std::string& section, const std::string& key, int32_t fallback) const;
    bool WriteString(const std::string& section, const std::string& key,
                     const std::string& value) const;

    // For batches that give the same file as one call per value: Load once, Store once.
    // Load gives an empty document for a missing file, and nothing when the file exists but
    // cannot be read, so that it is never replaced.
    std::optional<IniDocument> Load(IniProblem* problem = nullptr) const;
    bool Store(IniDocument& document) const;

    // Identifies the file's present contents (see Folder::Stamp).
    std::string Stamp() const { return m_folder ? m_folder->Stamp(m_name) : ""; }

private:
    std::optional<Folder> m_folder;  // none when the folder could not be opened
    std::string m_name;
};

}  // namespace tarvona
