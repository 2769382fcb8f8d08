#include "ini_file.h"

#include <algorithm>
#include <filesystem>

#include "user_folders.h"

namespace tarvona {

namespace {

const std::string kBom = "\xEF\xBB\xBF";
const std::string kUtf16Bom = "\xFF\xFE";

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

std::string Lower(std::string name) {
    for (char& c : name)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    return name;
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

// A raw CR or LF would split the file into extra lines, and a NUL would make it unreadable.
std::string OneLine(std::string value) {
    for (char& c : value)
        if (c == '\r' || c == '\n' || c == '\0') c = ' ';
    return value;
}

// UTF-16LE to UTF-8 and back without loss: a lone surrogate is carried as its own three-byte
// sequence (as WTF-8 does), so that a file is written back exactly as it was read.
void AppendUtf8(std::string& out, uint32_t c) {
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xF0 | (c >> 18));
        out += char(0x80 | ((c >> 12) & 0x3F));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

std::string Utf16ToUtf8(const std::string& bytes, size_t from) {
    std::string out;
    out.reserve(bytes.size() - from);
    auto unit = [&](size_t i) {
        return uint32_t(uint8_t(bytes[i])) | (uint32_t(uint8_t(bytes[i + 1])) << 8);
    };
    for (size_t i = from; i + 1 < bytes.size(); i += 2) {
        uint32_t c = unit(i);
        if (c >= 0xD800 && c < 0xDC00 && i + 3 < bytes.size()) {
            const uint32_t low = unit(i + 2);
            if (low >= 0xDC00 && low < 0xE000) {
                c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                i += 2;
            }
        }
        AppendUtf8(out, c);
    }
    return out;
}

void AppendUtf16(std::string& out, uint32_t c) {
    auto unit = [&](uint32_t u) {
        out += char(u & 0xFF);
        out += char(u >> 8);
    };
    if (c >= 0x10000) {
        unit(0xD800 + ((c - 0x10000) >> 10));
        unit(0xDC00 + ((c - 0x10000) & 0x3FF));
    } else {
        unit(c);
    }
}

// A byte that is no part of a well-formed sequence (a value written by the program from 8-bit
// text) becomes the character of the same number, so nothing is dropped.
std::string Utf8ToUtf16(const std::string& text) {
    std::string out;
    out.reserve(text.size() * 2);
    for (size_t i = 0; i < text.size();) {
        const uint8_t b = uint8_t(text[i]);
        const size_t length = b < 0x80         ? 1
                              : (b >> 5) == 6  ? 2
                              : (b >> 4) == 14 ? 3
                              : (b >> 3) == 30 ? 4
                                               : 0;
        bool wellFormed = length > 0 && i + length <= text.size();
        uint32_t c = length == 1   ? b
                     : length == 2 ? (b & 0x1F)
                     : length == 3 ? (b & 0x0F)
                                   : (b & 0x07);
        for (size_t k = 1; wellFormed && k < length; ++k) {
            const uint8_t next = uint8_t(text[i + k]);
            wellFormed = (next & 0xC0) == 0x80;
            c = (c << 6) | (next & 0x3F);
        }
        if (!wellFormed || c > 0x10FFFF) {
            AppendUtf16(out, b);
            ++i;
            continue;
        }
        AppendUtf16(out, c);
        i += length;
    }
    return out;
}

}  // namespace

IniDocument::IniDocument(const std::string& bytes) : m_read(bytes) {
    std::string text;
    size_t pos = 0;
    if (bytes.compare(0, kUtf16Bom.size(), kUtf16Bom) == 0) {
        m_utf16 = true;
        m_bom = kUtf16Bom;
        if (bytes.size() % 2) m_tail = bytes.substr(bytes.size() - 1);
        text = Utf16ToUtf8(bytes, kUtf16Bom.size());
    } else {
        if (bytes.compare(0, kBom.size(), kBom) == 0) {
            m_bom = kBom;
            pos = kBom.size();
        }
        text = bytes.substr(pos);
    }
    // One line per line end at most: reserved at once, so the lines never take twice their room.
    m_lines.reserve(static_cast<size_t>(std::count_if(
                        text.begin(), text.end(), [](char c) { return c == '\r' || c == '\n'; })) +
                    1);
    pos = 0;
    while (pos < text.size()) {
        size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string::npos) {
            m_lines.push_back({text.substr(pos), ""});
            break;
        }
        size_t endLength =
            (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1;
        m_lines.push_back({text.substr(pos, end - pos), text.substr(end, endLength)});
        pos = end + endLength;
    }
}

const std::unordered_map<std::string, IniDocument::Section>& IniDocument::Index() const {
    if (m_indexed) return m_index;
    m_index.clear();
    Section* current = nullptr;  // keys of a repeated section never count
    for (size_t i = 0; i < m_lines.size(); ++i) {
        const std::string& text = m_lines[i].text;
        if (auto name = HeaderName(text)) {
            auto [it, first] = m_index.try_emplace(Lower(*name));
            current = first ? &it->second : nullptr;
            if (current) current->header = current->lastFilled = i;
            continue;
        }
        if (!current) continue;
        if (!Trim(text).empty()) current->lastFilled = i;
        if (auto entry = KeyEntry(text)) current->keys.try_emplace(Lower(entry->key), i);
    }
    m_indexed = true;
    return m_index;
}

std::optional<std::string> IniDocument::Get(const std::string& section,
                                            const std::string& key) const {
    const auto& index = Index();
    auto found = index.find(Lower(section));
    if (found == index.end()) return std::nullopt;
    auto line = found->second.keys.find(Lower(key));
    if (line == found->second.keys.end()) return std::nullopt;
    return Unquote(KeyEntry(m_lines[line->second].text)->value);
}

void IniDocument::Set(const std::string& section, const std::string& key,
                      const std::string& value) {
    const std::string cleanValue = OneLine(value);
    const auto& index = Index();
    auto found = index.find(Lower(section));
    if (found == index.end()) {
        if (!m_lines.empty() && m_lines.back().end.empty()) m_lines.back().end = "\r\n";
        m_lines.push_back({"[" + section + "]", "\r\n"});
        m_lines.push_back({key + "=" + cleanValue, "\r\n"});
        m_indexed = false;
        return;
    }
    auto line = found->second.keys.find(Lower(key));
    if (line != found->second.keys.end()) {
        Line& existing = m_lines[line->second];
        const Entry entry = *KeyEntry(existing.text);
        // A value that reads back the same already stands: its spelling is left alone.
        if (Unquote(entry.value) != cleanValue) existing.text = entry.key + "=" + cleanValue;
        return;
    }
    const size_t lastFilled = found->second.lastFilled;
    if (m_lines[lastFilled].end.empty()) m_lines[lastFilled].end = "\r\n";
    m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(lastFilled) + 1,
                   Line{key + "=" + cleanValue, "\r\n"});
    m_indexed = false;
}

int32_t IniDocument::GetInt(const std::string& section, const std::string& key,
                            int32_t fallback) const {
    auto text = Get(section, key);
    return (!text || text->empty()) ? fallback : ProfileInteger(*text);
}

std::string IniDocument::Bytes() const {
    std::string text;
    size_t size = 0;
    for (const Line& line : m_lines) size += line.text.size() + line.end.size();
    text.reserve(size);
    for (const Line& line : m_lines) text.append(line.text).append(line.end);
    return m_utf16 ? m_bom + Utf8ToUtf16(text) + m_tail : m_bom + text;
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

bool IsKnownEncoding(const std::string& bytes) {
    if (bytes.compare(0, kUtf16Bom.size(), kUtf16Bom) == 0)
        return bytes.size() < 4 || bytes[2] != '\0' || bytes[3] != '\0';  // not UTF-32LE
    return bytes.find('\0') == std::string::npos;
}

IniFile::IniFile(const std::string& path) : m_name(std::filesystem::path(path).filename()) {
    const std::string parent = std::filesystem::path(path).parent_path().string();
    int error = 0;
    m_folder = Folder::Open(parent.empty() ? "." : parent, error);
}

std::optional<IniDocument> IniFile::Load(IniProblem* problem) const {
    IniProblem found = IniProblem::None;
    std::optional<IniDocument> document;
    const FileRead read = m_folder ? m_folder->ReadFollowingLinks(m_name, kMaxSize) : FileRead{};
    if (!m_folder || read.status == ReadStatus::Missing) {
        document.emplace();
    } else if (read.status != ReadStatus::Read || !IsKnownEncoding(read.bytes)) {
        found = IniProblem::Unreadable;
    } else if (CheckTrust(read.info) != Trust::Trusted) {
        // As cron does with a crontab: a file that is not the user's alone must not decide what
        // runs as the user.
        found = IniProblem::NotTrusted;
    } else {
        document.emplace(read.bytes);
    }
    if (problem) *problem = found;
    return document;
}

// The same value again leaves the file alone, as the profile functions do.
bool IniFile::Store(IniDocument& document) const {
    std::string bytes = document.Bytes();
    if (document.Holds(bytes)) return true;
    if (!m_folder || bytes.size() > kMaxSize || !m_folder->ReplaceFollowingLinks(m_name, bytes))
        return false;
    document.Written(std::move(bytes));
    return true;
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
