// A library of MP3 files shaped like a real collection, made once and kept: ID3v2.3 and
// 2.4 tags in every encoding with the usual text frames and two comments, a cover
// picture of 200 to 500 KB in a quarter of the files, padding in most, ID3v1 tags on
// three in five, a few files with an ID3v1 tag only, constant rates from 128 to
// 320 kbit/s and every tenth file VBR with a Xing header. The stream's first and last
// frames are real headers with the lengths their rates give, so any reader finds them;
// the audio between them is a sparse hole, since no reader of tags and stream facts
// reads it.
#pragma once

#include <string>
#include <vector>

namespace bench {

struct Library {
    std::vector<std::string> files;
    double apparentBytes = 0;  // as listed; the holes take no disk
    bool reused = false;       // found complete from an earlier run
};

// The library of count files in folder, written unless a complete one of the same count
// and layout is already there. False with error set when a file cannot be written.
bool MakeLibrary(const std::string& folder, int count, Library& library, std::string& error);

// What file n was made with, for checking that readers see it.
struct Expected {
    std::string title;      // empty for the files with an ID3v1 tag only
    int kbps = 0;           // the rate of a constant-rate file, 0 for VBR
    double seconds = 0;     // the stream's length
};
Expected ExpectedOf(int n);

}  // namespace bench
