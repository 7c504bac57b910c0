#include "audio/id3_text.h"

namespace vemo {

namespace {

constexpr char kUnmappable = '?';
constexpr const char* kValueSeparator = " / ";

// Windows-1252 0x80..0x9F; 0 where the code page leaves the byte undefined.
constexpr uint16_t kWindows1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,       // 88
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,  // 98
};

bool IsUtf16(uint8_t encoding) { return encoding == kUtf16Bom || encoding == kUtf16Be; }

// UTF-16 units to Windows-1252. bigEndian is the order to assume until a byte-order
// mark says otherwise; it carries over to the next value of the same frame.
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
    auto unitAt = [&](size_t at) {
        return bigEndian ? static_cast<uint32_t>(data[at] << 8 | data[at + 1])
                         : static_cast<uint32_t>(data[at + 1] << 8 | data[at]);
    };
    for (; i + 1 < data.size(); i += 2) {
        uint32_t unit = unitAt(i);
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 3 < data.size()) {
            uint32_t low = unitAt(i + 2);
            if (low >= 0xDC00 && low <= 0xDFFF) i += 2;  // one character beyond the code page
        }
        out += CodePointToWindows1252(unit);
    }
}

void AppendUtf8(std::string& out, std::span<const uint8_t> data) {
    size_t i = 0;
    if (data.size() >= 3 && data[0] == 0xEF && data[1] == 0xBB && data[2] == 0xBF) i = 3;
    while (i < data.size()) {
        uint8_t lead = data[i];
        size_t length = lead < 0x80 ? 1 : (lead & 0xE0) == 0xC0 ? 2 : (lead & 0xF0) == 0xE0 ? 3 : (lead & 0xF8) == 0xF0 ? 4 : 0;
        if (length == 0 || length > data.size() - i) {
            out += kUnmappable;  // a stray or cut-off byte stands for one character
            ++i;
            continue;
        }
        uint32_t codePoint = length == 1 ? lead : lead & (0x7Fu >> length);
        size_t k = 1;
        for (; k < length && (data[i + k] & 0xC0) == 0x80; ++k) codePoint = codePoint << 6 | (data[i + k] & 0x3Fu);
        if (k < length) {
            out += kUnmappable;
            i += k;
            continue;
        }
        // Overlong forms get no byte of their own (they would hide characters like "/").
        constexpr uint32_t kShortest[5] = {0, 0, 0x80, 0x800, 0x10000};
        out += codePoint < kShortest[length] ? kUnmappable : CodePointToWindows1252(codePoint);
        i += length;
    }
}

void AppendDecoded(std::string& out, uint8_t encoding, std::span<const uint8_t> data, bool& bigEndian) {
    if (IsUtf16(encoding)) {
        AppendUtf16(out, data, bigEndian);
    } else if (encoding == kUtf8) {
        AppendUtf8(out, data);
    } else {
        // ISO-8859-1 and unknown encodings: the bytes as they stand, as the player's own
        // 8-bit strings are.
        out.append(reinterpret_cast<const char*>(data.data()), data.size());
    }
}

}  // namespace

char CodePointToWindows1252(uint32_t codePoint) {
    if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF)) return static_cast<char>(codePoint);
    for (uint32_t i = 0; i < 32; ++i) {
        if (kWindows1252High[i] != 0 && kWindows1252High[i] == codePoint) return static_cast<char>(0x80 + i);
    }
    return kUnmappable;
}

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

}  // namespace vemo
