// The ID3v1 test, reader and text.
#include <cstring>

#include "audio/id3v1.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    vemo::ByteReader reader(vemo::fuzz::FileOf(data, size), vemo::fuzz::ChunkOf(data, size));
    bool tagged = vemo::HasTag(reader, vemo::kTagID3v1);
    vemo::TID3v1Tag tag = vemo::ReadID3v1(reader);
    std::string text = vemo::FormatID3v1(tag);
    // A field never carries a zero byte: the popup would cut its text there.
    if (text.find('\0') != std::string::npos) __builtin_trap();
    if (!tagged && reader.Size() < 128 && text != "\rBlank ID3v1 tag present") __builtin_trap();
    return 0;
}
