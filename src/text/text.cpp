#include "text/text.h"

#include <cstring>

#include "text/unicode.h"

namespace vemo {

std::string NumToStr(bool twoDigits, int64_t value) {
    // The magnitude in unsigned arithmetic, so that INT64_MIN has one too.
    uint64_t magnitude = value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
    char digits[24];
    size_t n = 0;
    do {
        digits[n++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (twoDigits && n == 1) digits[n++] = '0';
    std::string result;
    if (value < 0) result += '-';
    while (n > 0) result += digits[--n];
    return result;
}

std::string PCharToStr(const char* text) { return text ? std::string(text) : std::string(); }

const char* StrScan(const char* text, char c) {
    if (!text) return nullptr;
    return c == 0 ? text + std::strlen(text) : std::strchr(text, c);
}

const char* StrRScan(const char* text, char c) {
    if (!text) return nullptr;
    return c == 0 ? text + std::strlen(text) : std::strrchr(text, c);
}

char* StrScan(char* text, char c) { return const_cast<char*>(StrScan(static_cast<const char*>(text), c)); }
char* StrRScan(char* text, char c) { return const_cast<char*>(StrRScan(static_cast<const char*>(text), c)); }

char* StrUpper(char* text) {
    if (!text) return text;
    for (char* p = text; *p; ++p) {
        if (*p >= 'a' && *p <= 'z') *p = static_cast<char>(*p - 'a' + 'A');
    }
    return text;
}

std::string Trim(std::string_view text) {
    auto isSpace = [](char c) { return static_cast<unsigned char>(c) <= 32; };
    size_t first = 0;
    size_t last = text.size();
    while (first < last && isSpace(text[first])) ++first;
    while (last > first && isSpace(text[last - 1])) --last;
    return std::string(text.substr(first, last - first));
}

int32_t Max(int32_t a, int32_t b) { return a > b ? a : b; }
int32_t Min(int32_t a, int32_t b) { return a < b ? a : b; }

namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Two's complement conversion without implementation-defined behaviour.
int32_t WrapToInt32(uint32_t v) {
    return v <= 0x7FFFFFFFu ? static_cast<int32_t>(v) : -static_cast<int32_t>(~v) - 1;
}

}  // namespace

int32_t StrToIntVal(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;

    uint32_t value = 0;  // unsigned: overflow wraps instead of being undefined
    bool hex = false;
    bool negative = false;
    if (i < text.size() && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
        hex = true;
        ++i;
    } else if (i + 1 < text.size() && text[i] == '0' && text[i + 1] == 'x') {
        hex = true;
        i += 2;
    } else if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }

    for (; i < text.size(); ++i) {
        int digit = hex ? HexDigit(text[i]) : (text[i] >= '0' && text[i] <= '9' ? text[i] - '0' : -1);
        if (digit < 0) return WrapToInt32(value);  // bad character: no sign applied
        value = value * (hex ? 16u : 10u) + static_cast<uint32_t>(digit);
    }
    return WrapToInt32(negative ? 0u - value : value);
}

std::string MakeValidFileName(std::string_view name) {
    std::string result(name);
    for (char& c : result) {
        bool control = c >= 1 && c <= 31;
        if (control || (std::strchr("\\/:*?\"<>|", c) && c != 0)) c = '_';
    }
    return result;
}

namespace {

bool IsDeviceName(std::string_view stem) {
    static constexpr std::string_view kDevices[] = {"CON", "PRN", "AUX", "NUL"};
    auto upper = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; };
    auto equals = [&](std::string_view a, std::string_view b) {
        if (a.size() != b.size()) return false;
        for (size_t i = 0; i < a.size(); ++i) {
            if (upper(a[i]) != b[i]) return false;
        }
        return true;
    };
    for (std::string_view device : kDevices) {
        if (equals(stem, device)) return true;
    }
    return stem.size() == 4 && (equals(stem.substr(0, 3), "COM") || equals(stem.substr(0, 3), "LPT")) &&
           stem[3] >= '1' && stem[3] <= '9';
}

}  // namespace

std::string TrackFileName(std::string_view artist, std::string_view title) {
    std::string base(artist);
    if (!artist.empty() && !title.empty()) base += " - " + std::string(title);
    base = MakeValidFileName(base);

    size_t kept = base.find_last_not_of(" .");
    if (kept == std::string::npos) return "";
    for (size_t i = kept + 1; i < base.size(); ++i) base[i] = '_';

    // Windows takes "NUL.x" and "con .x" for the device as well: what counts is the part
    // before the first dot, without trailing blanks.
    std::string_view stem = std::string_view(base).substr(0, base.find('.'));
    size_t deviceEnd = stem.find_last_not_of(' ') + 1;  // 0 when only blanks
    if (IsDeviceName(stem.substr(0, deviceEnd))) return base.substr(0, deviceEnd) + '_' + base.substr(deviceEnd) + ".mp3";
    return base + ".mp3";
}

// Windows counts UTF-16 units: a Cyrillic letter is one there though two bytes here, an
// emoji two there though four here.
bool FitsPathLimit(std::string_view path) { return Utf16Length(path) <= kMaxPathLength; }

uint32_t SyncSafe(uint32_t value) {
    return (value & 0x7Fu) | ((value & 0x3F80u) << 1) | ((value & 0x1FC000u) << 2) | ((value & 0xFE00000u) << 3);
}

uint32_t SwapBytes(uint32_t value) {
    return (value >> 24) | ((value >> 8) & 0xFF00u) | ((value << 8) & 0xFF0000u) | (value << 24);
}

uint32_t SyncSafeDecode(const uint8_t bytes[4]) {
    return uint32_t{bytes[0]} << 21 | uint32_t{bytes[1]} << 14 | uint32_t{bytes[2]} << 7 | uint32_t{bytes[3]};
}

}  // namespace vemo
