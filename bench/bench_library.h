// The libraries of MP3 files the analysis is measured over, each made once and kept.
//
// Pictures: a collection as taggers leave it. ID3v2.3 and 2.4 tags in every encoding
// with the usual text frames and two comments, a cover picture of 200 to 500 KB in a
// quarter of the files, padding in most, ID3v1 tags on three in five, a few files with
// an ID3v1 tag only, constant rates from 128 to 320 kbit/s and every tenth file VBR
// with a Xing header.
//
// Small files: files as an encoder writes them, 0.3 to 5 MB of audio. Short ID3v2
// tags (title, artist, album, track, some year, genre and encoder; no comment, no
// picture, padding in half) on two in three files, ID3v1 tags on the others and on
// half the tagged ones, one file in five VBR with a Xing header.
//
// In both, the stream's first and last frames are real headers with the lengths their
// rates give, so any reader finds them; the audio between them is a sparse hole, since
// no reader of tags and stream facts reads it.
#pragma once

#include <string>
#include <vector>

namespace bench {

enum class Shape { Pictures, SmallFiles };

struct Library {
    std::vector<std::string> files;
    double apparentBytes = 0;  // as listed; the holes take no disk
    bool reused = false;       // found complete from an earlier run
};

// The library of count files of a shape in folder, written unless a complete one of the
// same count and layout is already there. False with error set when a file cannot be
// written.
bool MakeLibrary(const std::string& folder, Shape shape, int count, Library& library, std::string& error);

// What file n was made with, for checking that readers see it.
struct Expected {
    std::string title;      // empty for the files without an ID3v2 tag
    int kbps = 0;           // the rate of a constant-rate file, 0 for VBR
    double seconds = 0;     // the stream's length
};
Expected ExpectedOf(Shape shape, int n);

}  // namespace bench
