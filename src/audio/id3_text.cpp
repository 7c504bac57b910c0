#include "audio/id3_text.h"

#include "text/code_page.h"
#include "text/unicode.h"

namespace vemo {

namespace {

constexpr const char* kValueSeparator = " / ";
constexpr uint8_t kVersion4 = 4;
constexpr char32_t kLastLatin1 = 0xFF;

bool IsUtf16(uint8_t encoding) { return encoding == kUtf16Bom || encoding == kUtf16Be; }

// UTF-16 units to UTF-8. bigEndian is the order to assume until a byte-order mark says
// otherwise; it carries over to the next value of the same frame.
void AppendUtf16(std::string& out, std::span<const uint8_t> data, bool& bigEndian) {
    size_t i = 0;
    if (data.size() >= 2) {
        if (data[0] == 0xFF && data[1] == 0xFE) {
            bigEndian = false;
            i = 2;
        } else if (data[0] == 0xFE && data[1] == 0xFF) {
            bigEndian = true;
            i = 2;
        }
    }
    std::u16string units;
    units.reserve(data.size() / 2);
    for (; i + 1 < data.size(); i += 2) {
        units += bigEndian ? static_cast<char16_t>(data[i] << 8 | data[i + 1])
                           : static_cast<char16_t>(data[i + 1] << 8 | data[i]);
    }
    out += Utf16ToUtf8(units);  // a surrogate pair is one character, a lone one U+FFFD
    // Half a unit is a cut-off character, unless it is a zero: writers that end UTF-16
    // with a one-byte terminator are common, and it stands for nothing.
    if (i < data.size() && data[i] != 0) AppendUtf8(out, kReplacementCharacter);
}

void AppendUtf8Text(std::string& out, std::span<const uint8_t> data) {
    std::string_view text(reinterpret_cast<const char*>(data.data()), data.size());
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
    out += ValidUtf8(text);
}

void AppendDecoded(std::string& out, uint8_t encoding, std::span<const uint8_t> data, bool& bigEndian) {
    if (IsUtf16(encoding)) {
        AppendUtf16(out, data, bigEndian);
    } else if (encoding == kUtf8) {
        AppendUtf8Text(out, data);
    } else {
        out += CodePageToUtf8(std::string_view(reinterpret_cast<const char*>(data.data()), data.size()));
    }
}

bool IsLatin1(std::string_view utf8) {
    size_t at = 0;
    char32_t c = 0;
    while (NextCodePoint(utf8, at, c)) {
        // An invalid sequence reads as U+FFFD, which rules Latin-1 out as it should.
        if (c > kLastLatin1) return false;
    }
    return true;
}

}  // namespace

size_t ID3TerminatorLength(uint8_t encoding) { return IsUtf16(encoding) ? 2 : 1; }

size_t ID3TerminatorIndex(uint8_t encoding, std::span<const uint8_t> data) {
    if (IsUtf16(encoding)) {
        for (size_t i = 0; i + 1 < data.size(); i += 2) {
            if (data[i] == 0 && data[i + 1] == 0) return i;
        }
        return data.size();
    }
    for (size_t i = 0; i < data.size(); ++i) {
        if (data[i] == 0) return i;
    }
    return data.size();
}

std::string DecodeID3String(uint8_t encoding, std::span<const uint8_t> data) {
    std::string out;
    bool bigEndian = encoding == kUtf16Be;
    AppendDecoded(out, encoding, data.first(ID3TerminatorIndex(encoding, data)), bigEndian);
    return out;
}

std::string DecodeID3Strings(uint8_t encoding, std::span<const uint8_t> data) {
    std::string out;
    bool bigEndian = encoding == kUtf16Be;
    size_t terminator = ID3TerminatorLength(encoding);
    while (!data.empty()) {
        size_t end = ID3TerminatorIndex(encoding, data);
        std::string value;
        AppendDecoded(value, encoding, data.first(end), bigEndian);
        if (!value.empty()) {
            if (!out.empty()) out += kValueSeparator;
            out += value;
        }
        data = data.subspan(end + terminator <= data.size() ? end + terminator : data.size());
    }
    return out;
}

std::vector<uint8_t> EncodeID3Text(std::string_view utf8, uint8_t majorVersion) {
    std::vector<uint8_t> out;
    size_t at = 0;
    char32_t c = 0;
    if (IsLatin1(utf8)) {
        out.reserve(1 + utf8.size());
        out.push_back(kLatin1);
        while (NextCodePoint(utf8, at, c)) out.push_back(static_cast<uint8_t>(c));
    } else if (majorVersion == kVersion4) {
        const std::string valid = ValidUtf8(utf8);
        out.reserve(1 + valid.size());
        out.push_back(kUtf8);
        out.insert(out.end(), valid.begin(), valid.end());
    } else {
        const std::u16string units = Utf8ToUtf16(utf8);
        out.reserve(3 + 2 * units.size());
        out.insert(out.end(), {kUtf16Bom, 0xFF, 0xFE});
        for (char16_t unit : units) {
            out.push_back(static_cast<uint8_t>(unit & 0xFF));
            out.push_back(static_cast<uint8_t>(unit >> 8));
        }
    }
    return out;
}

}  // namespace vemo
