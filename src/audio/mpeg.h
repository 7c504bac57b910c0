// MPEG audio stream facts of an MP3 file: the first frame header (MPEG-1, 2 and 2.5,
// Layers I to III), a Xing VBR header behind it, and what follows from them.
//
// Frame header, 4 bytes, most significant bit first:
//   11 bits sync (all ones) | 2 version | 2 layer | 1 no-CRC
//   4 bit-rate index | 2 sample-rate index | 1 padding | 1 private
//   2 channel mode | 2 mode extension | 1 copyright | 1 original | 2 emphasis
// Xing header: "Xing" right after the side information, 4 flag bytes, then the frame
// count and the byte count, 4 bytes each, big-endian. Side information: MPEG-1 mono 17
// bytes, other modes 32; MPEG-2 and 2.5 mono 9, other modes 17. So "Xing" stands 21, 36,
// 13 or 21 bytes after the frame header's start; 21 and 36 are also tried for any frame.
#pragma once

#include <cstdint>
#include <string>

#include "audio/byte_reader.h"
#include "audio/id3v1.h"

namespace vemo {

struct TMPEG {
    int64_t FileSize = 0;
    int64_t AudioBytes = 0;
    std::string HeaderPos;  // decimal offset of the first frame header
    int64_t Frames = 0;
    int64_t Duration = 0;   // hundredths of a second; 0 when Bitrate is 0
    double Bitrate = 0;     // kbit/s; the average of a VBR file
    std::string Version;
    std::string Layer;
    std::string CRC;
    int32_t SampleRate = 0;
    std::string Copyright;
    std::string Original;
    std::string Emphasis;
    std::string Mode;
    bool IsVBR = false;     // a Xing header was found
};

// Analyses the file at path. FileSize is the file's size. A file that cannot be opened
// gives a record with every field zero or empty, and is reported through onError when
// its name is an MP3 name; a file without frame sync gives only FileSize.
TMPEG AnalyzeMPEG(const std::string& path, const ErrorReporter& onError = {});
TMPEG AnalyzeMPEG(ByteReader& reader);
// The same with the frame search starting at audioStart: 0 for a file without an ID3v2
// tag, else what ID3v2AudioStart gives.
TMPEG AnalyzeMPEG(ByteReader& reader, int64_t audioStart);

// Playing time in hundredths of a second: AudioBytes / (1.25 * Bitrate), rounded half
// to even; 0 when Bitrate is 0.
int64_t MPEGDuration(int64_t audioBytes, double bitrate);

// A finite double rounded half to even, held within the int64 range.
int64_t RoundHalfEven(double value);

}  // namespace vemo
