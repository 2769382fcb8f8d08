// The settings-file reader and writer on any bytes: a document written back unchanged is the
// same bytes, a value set reads back, and setting one key changes no other.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "ini_file.h"

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

std::string Trimmed(const std::string& value) {
    const size_t first = value.find_first_not_of(" \t");
    if (first == std::string::npos) return "";
    return value.substr(first, value.find_last_not_of(" \t") - first + 1);
}

std::string Unquoted(const std::string& value) {
    if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0])
        return value.substr(1, value.size() - 2);
    return value;
}

// Strict UTF-8 (no surrogates): the values that a UTF-16 file can hold exactly.
bool StrictUtf8(const std::string& text) {
    for (size_t i = 0; i < text.size();) {
        const auto b = static_cast<unsigned char>(text[i]);
        const size_t length = b < 0x80         ? 1
                              : (b >> 5) == 6  ? 2
                              : (b >> 4) == 14 ? 3
                              : (b >> 3) == 30 ? 4
                                               : 0;
        if (length == 0 || i + length > text.size()) return false;
        uint32_t c = length == 1 ? b : b & (0x7F >> length);
        for (size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) return false;
            c = (c << 6) | (next & 0x3F);
        }
        const uint32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
        if (c < least[length] || c > 0x10FFFF || (c >= 0xD800 && c < 0xE000)) return false;
        i += length;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using tarvona::IniDocument;
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    // Only bytes with a NUL where 8-bit text has none are refused as an unknown encoding.
    if (!tarvona::IsKnownEncoding(bytes)) Check(bytes.find('\0') != std::string::npos);
    IniDocument document(bytes);
    Check(document.Bytes() == bytes);
    Check(!document.Changed());

    // The value to write: the input's last line, without line breaks, as the editor gives them.
    std::string value = bytes.substr(
        bytes.find_last_of("\r\n") == std::string::npos ? 0 : bytes.find_last_of("\r\n") + 1);
    const auto other = document.Get("Commands", "Command0");
    document.GetInt("RunStyle", "RunStyle0", 0);
    document.Set("Due", "Due7", value);
    // A NUL byte is written as a blank, or it would make the file unreadable.
    std::replace(value.begin(), value.end(), '\0', ' ');
    const std::string expected = Unquoted(Trimmed(value));
    Check(document.Get("Due", "Due7") == expected);
    Check(document.Get("Commands", "Command0") == other);
    const IniDocument reread(document.Bytes());
    // A UTF-16 file holds 8-bit bytes that are no UTF-8 as the characters of those numbers.
    const bool utf16 = bytes.rfind("\xFF\xFE", 0) == 0;
    if (!utf16 || StrictUtf8(value)) Check(reread.Get("Due", "Due7") == expected);
    Check(reread.Get("Commands", "Command0") == other);
    return 0;
}
