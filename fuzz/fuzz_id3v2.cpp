// The ID3v2 reader with its frame walk, the frame parser on its own, and the text;
// the reading walk and the audio search's walk end at one place.
#include "audio/id3v2.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::span<const uint8_t> file = vemo::fuzz::FileOf(data, size);
    vemo::ByteReader reader(file, vemo::fuzz::ChunkOf(data, size));
    int64_t walkedTo = -1;
    vemo::TID3v2Tag tag = vemo::ReadID3v2(reader, walkedTo);
    std::string text = vemo::FormatID3v2(tag);
    int64_t audioStart = vemo::ID3v2AudioStart(reader);
    // The walk that reads the frames ends where the audio search's own walk ends.
    if (audioStart < 0 || walkedTo != audioStart) __builtin_trap();

    // The same bytes as one frame, under both versions.
    vemo::ID3v2Fields fields;
    vemo::ParseID3v2Frame(fields, file, 3);
    vemo::ParseID3v2Frame(fields, file, 4);
    for (size_t i = 0; i < vemo::kID3v2FieldCount; ++i) {
        // No value keeps a zero byte, whatever the encoding.
        if (vemo::FieldOf(tag, i).find('\0') != std::string::npos) __builtin_trap();
    }
    for (const std::string& field : fields) {
        if (field.find('\0') != std::string::npos) __builtin_trap();
    }
    return 0;
}
