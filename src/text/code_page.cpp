// Built-in single-byte tables: bytes 0x00..0x7F are ASCII, 0x80..0xFF map through the
// table. A byte the code page leaves undefined stands for the code point of the same
// number, as Windows' own conversion has it, so every byte survives a round trip.
#include "text/code_page.h"

#include <cstdint>

#include "text/unicode.h"

namespace vemo {

namespace {

constexpr unsigned kWesternCodePage = 1252;
constexpr unsigned kCyrillicCodePage = 1251;

// 0x80..0xFF; 0 where the code page leaves the byte undefined.
constexpr uint16_t kWindows1252[128] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,       // 88
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,  // 98
    0x00A0, 0x00A1, 0x00A2, 0x00A3, 0x00A4, 0x00A5, 0x00A6, 0x00A7,  // A0
    0x00A8, 0x00A9, 0x00AA, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x00AF,  // A8
    0x00B0, 0x00B1, 0x00B2, 0x00B3, 0x00B4, 0x00B5, 0x00B6, 0x00B7,  // B0
    0x00B8, 0x00B9, 0x00BA, 0x00BB, 0x00BC, 0x00BD, 0x00BE, 0x00BF,  // B8
    0x00C0, 0x00C1, 0x00C2, 0x00C3, 0x00C4, 0x00C5, 0x00C6, 0x00C7,  // C0
    0x00C8, 0x00C9, 0x00CA, 0x00CB, 0x00CC, 0x00CD, 0x00CE, 0x00CF,  // C8
    0x00D0, 0x00D1, 0x00D2, 0x00D3, 0x00D4, 0x00D5, 0x00D6, 0x00D7,  // D0
    0x00D8, 0x00D9, 0x00DA, 0x00DB, 0x00DC, 0x00DD, 0x00DE, 0x00DF,  // D8
    0x00E0, 0x00E1, 0x00E2, 0x00E3, 0x00E4, 0x00E5, 0x00E6, 0x00E7,  // E0
    0x00E8, 0x00E9, 0x00EA, 0x00EB, 0x00EC, 0x00ED, 0x00EE, 0x00EF,  // E8
    0x00F0, 0x00F1, 0x00F2, 0x00F3, 0x00F4, 0x00F5, 0x00F6, 0x00F7,  // F0
    0x00F8, 0x00F9, 0x00FA, 0x00FB, 0x00FC, 0x00FD, 0x00FE, 0x00FF,  // F8
};

constexpr uint16_t kWindows1251[128] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,  // 88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    0,      0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,  // 98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,  // A0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,  // A8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,  // B0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,  // B8
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,  // C0
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F,  // C8
    0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427,  // D0
    0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,  // D8
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437,  // E0
    0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F,  // E8
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,  // F0
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F,  // F8
};

unsigned gTestCodePage = 0;

const uint16_t* TableOf(unsigned codePage) {
    return codePage == kCyrillicCodePage ? kWindows1251 : kWindows1252;
}

char32_t TableCharacter(const uint16_t* table, uint8_t byte) {
    if (byte < 0x80) return byte;
    const uint16_t c = table[byte - 0x80];
    return c != 0 ? c : byte;
}

std::string TableToUtf8(const uint16_t* table, std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (char b : bytes) AppendUtf8(out, TableCharacter(table, static_cast<uint8_t>(b)));
    return out;
}

std::optional<std::string> TableFromUtf8(const uint16_t* table, std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    size_t at = 0;
    char32_t c = 0;
    while (NextCodePoint(utf8, at, c)) {
        bool found = false;
        for (unsigned b = 0; b < 0x100 && !found; ++b) {
            if (TableCharacter(table, static_cast<uint8_t>(b)) == c) {
                out += static_cast<char>(b);
                found = true;
            }
        }
        if (!found) return std::nullopt;
    }
    return out;
}

}  // namespace

std::string CodePageToUtf8(std::string_view bytes) {
    if (gTestCodePage == 0) {
        if (auto converted = code_page_detail::SystemToUtf8(bytes)) return *converted;
    }
    return TableToUtf8(TableOf(CurrentCodePage()), bytes);
}

std::optional<std::string> Utf8ToCodePage(std::string_view utf8) {
    if (gTestCodePage == 0) {
        if (auto converted = code_page_detail::SystemFromUtf8(utf8)) return *converted;
    }
    return TableFromUtf8(TableOf(CurrentCodePage()), utf8);
}

std::string Utf8ToCodePageLossy(std::string_view utf8) {
    if (std::optional<std::string> whole = Utf8ToCodePage(utf8)) return *std::move(whole);
    std::string bytes;
    size_t at = 0;
    char32_t c = 0;
    while (NextCodePoint(utf8, at, c)) {
        std::string one;
        AppendUtf8(one, c);
        if (std::optional<std::string> converted = Utf8ToCodePage(one)) {
            bytes += *converted;
        } else {
            bytes.append(c >= 0x10000 ? 2 : 1, '?');
        }
    }
    return bytes;
}

bool ConvertsLosslessly(std::string_view utf8) { return Utf8ToCodePage(utf8).has_value(); }

void UseCodePageForTests(unsigned codePage) {
    gTestCodePage = codePage == kCyrillicCodePage || codePage == kWesternCodePage ? codePage : 0;
}

unsigned CurrentCodePage() {
    if (gTestCodePage != 0) return gTestCodePage;
    const unsigned system = code_page_detail::SystemCodePage();
    return system != 0 ? system : kWesternCodePage;
}

}  // namespace vemo
