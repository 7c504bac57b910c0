// The MPEG analysis of a whole file (ID3v2 walk, sync search, Xing) and its text.
#include "audio/info_text.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    vemo::ByteReader reader(vemo::fuzz::FileOf(data, size), vemo::fuzz::ChunkOf(data, size));
    vemo::TMPEG mpeg = vemo::AnalyzeMPEG(reader);
    std::string body = vemo::FileInfoBody("C:\\x.mp3", mpeg.FileSize, &mpeg, 0);
    if (mpeg.Frames < 0 || mpeg.AudioBytes < 0 || mpeg.Duration < 0 || body.empty()) __builtin_trap();
    return 0;
}
