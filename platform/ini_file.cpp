#include "ini_file.h"

#include <sys/stat.h>

#include <algorithm>

#include "file_access.h"

namespace tarvona {

namespace {

const std::string kBom = "\xEF\xBB\xBF";

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string Trim(const std::string& text) {
    size_t first = 0;
    while (first < text.size() && IsBlank(text[first])) ++first;
    size_t last = text.size();
    while (last > first && IsBlank(text[last - 1])) --last;
    return text.substr(first, last - first);
}

bool SameName(const std::string& a, const std::string& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
        return lower(x) == lower(y);
    });
}

std::optional<std::string> HeaderName(const std::string& text) {
    std::string trimmed = Trim(text);
    if (trimmed.empty() || trimmed[0] != '[') return std::nullopt;
    size_t close = trimmed.find(']');
    return Trim(trimmed.substr(1, close == std::string::npos ? std::string::npos : close - 1));
}

struct Entry {
    std::string key;
    std::string value;
};

std::optional<Entry> KeyEntry(const std::string& text) {
    std::string trimmed = Trim(text);
    if (trimmed.empty() || trimmed[0] == ';' || trimmed[0] == '[') return std::nullopt;
    size_t equals = text.find('=');
    if (equals == std::string::npos) return std::nullopt;
    return Entry{Trim(text.substr(0, equals)), Trim(text.substr(equals + 1))};
}

std::string Unquote(const std::string& value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

// A raw CR or LF would split the file into extra lines.
std::string OneLine(std::string value) {
    std::replace(value.begin(), value.end(), '\r', ' ');
    std::replace(value.begin(), value.end(), '\n', ' ');
    return value;
}

}  // namespace

IniDocument::IniDocument(const std::string& bytes) : m_read(bytes) {
    size_t pos = 0;
    if (bytes.compare(0, kBom.size(), kBom) == 0) {
        m_bom = kBom;
        pos = kBom.size();
    }
    while (pos < bytes.size()) {
        size_t end = bytes.find_first_of("\r\n", pos);
        if (end == std::string::npos) {
            m_lines.push_back({bytes.substr(pos), ""});
            break;
        }
        size_t endLength =
            (bytes[end] == '\r' && end + 1 < bytes.size() && bytes[end + 1] == '\n') ? 2 : 1;
        m_lines.push_back({bytes.substr(pos, end - pos), bytes.substr(end, endLength)});
        pos = end + endLength;
    }
}

std::optional<size_t> IniDocument::FindSection(const std::string& section) const {
    for (size_t i = 0; i < m_lines.size(); ++i) {
        auto name = HeaderName(m_lines[i].text);
        if (name && SameName(*name, section)) return i;
    }
    return std::nullopt;
}

size_t IniDocument::SectionEnd(size_t header) const {
    size_t i = header + 1;
    while (i < m_lines.size() && !HeaderName(m_lines[i].text)) ++i;
    return i;
}

std::optional<std::string> IniDocument::Get(const std::string& section,
                                            const std::string& key) const {
    auto header = FindSection(section);
    if (!header) return std::nullopt;
    for (size_t i = *header + 1, end = SectionEnd(*header); i < end; ++i) {
        auto entry = KeyEntry(m_lines[i].text);
        if (entry && SameName(entry->key, key)) return Unquote(entry->value);
    }
    return std::nullopt;
}

void IniDocument::Set(const std::string& section, const std::string& key,
                      const std::string& value) {
    const std::string cleanValue = OneLine(value);
    auto header = FindSection(section);
    if (!header) {
        if (!m_lines.empty() && m_lines.back().end.empty()) m_lines.back().end = "\r\n";
        m_lines.push_back({"[" + section + "]", "\r\n"});
        m_lines.push_back({key + "=" + cleanValue, "\r\n"});
        return;
    }
    const size_t end = SectionEnd(*header);
    size_t lastFilled = *header;
    for (size_t i = *header + 1; i < end; ++i) {
        auto entry = KeyEntry(m_lines[i].text);
        if (entry && SameName(entry->key, key)) {
            m_lines[i].text = entry->key + "=" + cleanValue;
            return;
        }
        if (!Trim(m_lines[i].text).empty()) lastFilled = i;
    }
    if (m_lines[lastFilled].end.empty()) m_lines[lastFilled].end = "\r\n";
    m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(lastFilled) + 1,
                   Line{key + "=" + cleanValue, "\r\n"});
}

int32_t IniDocument::GetInt(const std::string& section, const std::string& key,
                            int32_t fallback) const {
    auto text = Get(section, key);
    return (!text || text->empty()) ? fallback : ProfileInteger(*text);
}

std::string IniDocument::Bytes() const {
    std::string bytes = m_bom;
    for (const Line& line : m_lines) bytes += line.text + line.end;
    return bytes;
}

int32_t ProfileInteger(const std::string& text) {
    size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    uint32_t number = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        number = number * 10u + static_cast<uint32_t>(text[i] - '0');
    if (negative) number = 0u - number;
    return static_cast<int32_t>(number);
}

std::optional<IniDocument> IniFile::Load() const {
    auto bytes = ReadWholeFile(m_path);
    if (bytes) return IniDocument(*bytes);
    struct stat st {};
    if (::stat(m_path.c_str(), &st) == 0) return std::nullopt;  // there, but unreadable
    return IniDocument();
}

// The same value again leaves the file alone, as the profile functions do.
bool IniFile::Store(const IniDocument& document) const {
    return !document.Changed() || WriteFileAtomically(m_path, document.Bytes());
}

std::string IniFile::ReadString(const std::string& section, const std::string& key,
                                const std::string& fallback) const {
    auto document = Load();
    if (!document) return fallback;
    return document->Get(section, key).value_or(fallback);
}

int32_t IniFile::ReadInt(const std::string& section, const std::string& key,
                         int32_t fallback) const {
    auto document = Load();
    return document ? document->GetInt(section, key, fallback) : fallback;
}

bool IniFile::WriteString(const std::string& section, const std::string& key,
                          const std::string& value) const {
    auto document = Load();
    if (!document) return false;
    document->Set(section, key, value);
    return Store(*document);
}

}  // namespace tarvona
