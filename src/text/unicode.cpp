// UTF-8:  U+0000..U+007F    0xxxxxxx
//         U+0080..U+07FF    110xxxxx 10xxxxxx
//         U+0800..U+FFFF    1110xxxx 10xxxxxx 10xxxxxx    (not U+D800..U+DFFF)
//         U+10000..U+10FFFF 11110xxx 10xxxxxx 10xxxxxx 10xxxxxx
// A bad sequence is replaced as a whole up to the first byte that cannot continue it
// (the "maximal subpart"), so one U+FFFD stands for one broken character.
// UTF-16: a high surrogate D800..DBFF followed by a low one DC00..DFFF is one character
// above U+FFFF; any other surrogate stands alone and is not a character.
#include "text/unicode.h"

#include <cwchar>

namespace vemo {

namespace {

constexpr char32_t kMaxCodePoint = 0x10FFFF;
constexpr char32_t kSurrogateFirst = 0xD800;
constexpr char32_t kLowSurrogateFirst = 0xDC00;
constexpr char32_t kSurrogateLast = 0xDFFF;

bool IsContinuation(uint8_t b) { return (b & 0xC0) == 0x80; }

// The range the second byte of a sequence may take, which rules out overlong forms,
// surrogates and code points past U+10FFFF at the earliest byte.
bool SecondByteFits(uint8_t lead, uint8_t b) {
    switch (lead) {
    case 0xE0: return b >= 0xA0 && b <= 0xBF;
    case 0xED: return b >= 0x80 && b <= 0x9F;
    case 0xF0: return b >= 0x90 && b <= 0xBF;
    case 0xF4: return b >= 0x80 && b <= 0x8F;
    default: return IsContinuation(b);
    }
}

// Bytes of a sequence that starts with lead; 0 for a byte that cannot start one.
size_t SequenceLength(uint8_t lead) {
    if (lead < 0x80) return 1;
    if (lead >= 0xC2 && lead <= 0xDF) return 2;
    if (lead >= 0xE0 && lead <= 0xEF) return 3;
    if (lead >= 0xF0 && lead <= 0xF4) return 4;
    return 0;
}

}  // namespace

bool NextCodePoint(std::string_view utf8, size_t& at, char32_t& codePoint) {
    if (at >= utf8.size()) return false;
    const auto byte = [&](size_t i) { return static_cast<uint8_t>(utf8[i]); };
    const uint8_t lead = byte(at);
    const size_t length = SequenceLength(lead);
    if (length == 0) {
        codePoint = kReplacementCharacter;
        ++at;
        return true;
    }
    if (length == 1) {
        codePoint = lead;
        ++at;
        return true;
    }
    char32_t value = lead & (0x7Fu >> length);
    size_t k = 1;
    for (; k < length && at + k < utf8.size(); ++k) {
        const uint8_t b = byte(at + k);
        if (k == 1 ? !SecondByteFits(lead, b) : !IsContinuation(b)) break;
        value = value << 6 | (b & 0x3Fu);
    }
    at += k;
    codePoint = k == length ? value : kReplacementCharacter;
    return true;
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c > kMaxCodePoint || (c >= kSurrogateFirst && c <= kSurrogateLast)) c = kReplacementCharacter;
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | c >> 6);
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | c >> 12);
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | c >> 18);
        out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

std::u16string Utf8ToUtf16(std::string_view utf8) {
    std::u16string out;
    out.reserve(utf8.size());
    size_t at = 0;
    char32_t c = 0;
    while (NextCodePoint(utf8, at, c)) {
        if (c < 0x10000) {
            out += static_cast<char16_t>(c);
        } else {
            c -= 0x10000;
            out += static_cast<char16_t>(kSurrogateFirst + (c >> 10));
            out += static_cast<char16_t>(kLowSurrogateFirst + (c & 0x3FF));
        }
    }
    return out;
}

std::string Utf16ToUtf8(std::u16string_view utf16) {
    std::string out;
    out.reserve(utf16.size());
    for (size_t i = 0; i < utf16.size(); ++i) {
        char32_t c = utf16[i];
        if (c >= kSurrogateFirst && c < kLowSurrogateFirst && i + 1 < utf16.size() && utf16[i + 1] >= kLowSurrogateFirst &&
            utf16[i + 1] <= kSurrogateLast) {
            c = 0x10000 + ((c - kSurrogateFirst) << 10) + (utf16[++i] - kLowSurrogateFirst);
        }
        AppendUtf8(out, c);  // a lone surrogate becomes U+FFFD there
    }
    return out;
}

std::string ValidUtf8(std::string_view text) {
    if (IsValidUtf8(text)) return std::string(text);
    std::string out;
    out.reserve(text.size() + 8);
    size_t at = 0;
    char32_t c = 0;
    while (NextCodePoint(text, at, c)) AppendUtf8(out, c);
    return out;
}

bool IsValidUtf8(std::string_view text) {
    size_t at = 0;
    while (at < text.size()) {
        const size_t start = at;
        char32_t c = 0;
        NextCodePoint(text, at, c);
        // U+FFFD itself is three bytes; a replacement made here comes from fewer or more.
        if (c == kReplacementCharacter && !(at - start == 3 && static_cast<uint8_t>(text[start]) == 0xEF)) return false;
    }
    return true;
}

size_t Utf16Length(std::string_view utf8) {
    size_t units = 0;
    size_t at = 0;
    char32_t c = 0;
    while (NextCodePoint(utf8, at, c)) units += c >= 0x10000 ? 2 : 1;
    return units;
}

std::string_view Utf8Prefix(std::string_view utf8, size_t maxBytes) {
    if (utf8.size() <= maxBytes) return utf8;
    size_t end = 0;
    size_t at = 0;
    char32_t c = 0;
    while (NextCodePoint(utf8, at, c) && at <= maxBytes) end = at;
    return utf8.substr(0, end);
}

std::string_view Utf16Prefix(std::string_view utf8, size_t maxUnits) {
    size_t end = 0;
    size_t units = 0;
    size_t at = 0;
    char32_t c = 0;
    while (NextCodePoint(utf8, at, c)) {
        units += c >= 0x10000 ? 2 : 1;
        if (units > maxUnits) return utf8.substr(0, end);
        end = at;
    }
    return utf8;
}

#if defined(_WIN32)
static_assert(sizeof(wchar_t) == sizeof(char16_t), "wchar_t holds one UTF-16 unit on Windows");

std::wstring ToWide(std::string_view utf8) {
    const std::u16string units = Utf8ToUtf16(utf8);
    return std::wstring(units.begin(), units.end());
}

std::string FromWide(std::wstring_view wide) {
    return Utf16ToUtf8(std::u16string_view(reinterpret_cast<const char16_t*>(wide.data()), wide.size()));
}

std::string FromWide(const wchar_t* wide) { return wide ? FromWide(std::wstring_view(wide)) : std::string(); }
#endif

}  // namespace vemo
