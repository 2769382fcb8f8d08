#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tarvona {

// The text of one INI file, read and changed with the rules of the Windows profile functions:
// names compared without regard to case, the first section and key of a name counting, blanks
// and one pair of enclosing quotes dropped on reading. Every byte that a change does not touch
// stays as it was, so foreign sections, comments and odd line ends survive.
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

private:
    struct Line {
        std::string text;
        std::string end;  // "\r\n", "\n", "\r", or empty on a last line without a line end
    };
    std::optional<size_t> FindSection(const std::string& section) const;
    size_t SectionEnd(size_t header) const;

    std::optional<std::string> m_read;  // the bytes it was made from
    std::string m_bom;
    std::vector<Line> m_lines;
};

// Reads a profile integer from a text value: blanks, an optional sign, decimal digits up to the
// first other character, wrapped to 32 bits; no digit gives 0.
int32_t ProfileInteger(const std::string& text);

// One settings file on disk; every call reads or writes the file itself.
class IniFile {
public:
    explicit IniFile(std::string path) : m_path(std::move(path)) {}

    std::string ReadString(const std::string& section, const std::string& key,
                           const std::string& fallback) const;
    int32_t ReadInt(const std::string& section, const std::string& key, int32_t fallback) const;
    bool WriteString(const std::string& section, const std::string& key,
                     const std::string& value) const;

    // For batches that give the same file as one call per value: Load once, Store once.
    // Load gives nothing when the file exists but cannot be read, so that it is never replaced.
    std::optional<IniDocument> Load() const;
    bool Store(const IniDocument& document) const;

    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
};

}  // namespace tarvona
