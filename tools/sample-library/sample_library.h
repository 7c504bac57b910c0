// A small library of valid MP3 files made from nothing: MPEG-1 Layer III frames of
// silence (real headers and zeroed side information), plain constant-bit-rate streams
// and one variable-bit-rate stream with a Xing header, tagged with ID3v1, ID3v1.1 and
// ID3v2.3 tags. The demo and the tests play and inspect these instead of outside files.
// A second, smaller library is named in four scripts, its tags in UTF-16.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vemo::samples {

enum class Channels : uint8_t { Stereo = 0, JointStereo = 1, Mono = 3 };  // header bit values

struct SampleTrack {
    std::string fileName;
    std::string artist;
    std::string title;
    std::string album;
    std::string year;
    std::string comment;
    uint8_t track = 0;         // 0: none; else written as ID3v1.1 track and TRCK
    uint8_t genre = 255;       // ID3v1 genre index; 255: none
    std::string genreText;     // TCON text of the ID3v2 tag
    bool id3v1 = false;
    bool id3v2 = false;
    bool utf16 = false;        // the ID3v2 text frames in UTF-16 with a byte-order mark
    int bitrateKbps = 128;     // the constant rate, or the rate of the Xing frame
    bool vbr = false;          // frames cycle through several rates, led by a Xing frame
    Channels channels = Channels::JointStereo;
    int seconds = 5;
};

constexpr int32_t kSampleRate = 44100;
constexpr int32_t kSamplesPerFrame = 1152;
constexpr size_t kFrameHeaderSize = 4;
constexpr size_t kID3v1Size = 128;

// The files of the library, in playlist order.
const std::vector<SampleTrack>& SampleLibrary();
// Files named in Cyrillic, Japanese and emoji, and one in a folder with a Greek name
// (fileName holds the folder, "/"-separated); UTF-16 tags.
const std::vector<SampleTrack>& WorldLibrary();
constexpr char kWorldPlaylist[] = "world.m3u";

// Frames of silence for the sample's length and rate(s). The count of frames written
// (after the Xing frame, if any) goes to frameCount.
std::vector<uint8_t> BuildAudio(const SampleTrack& sample, uint32_t* frameCount = nullptr);
// Exactly 128 bytes; ID3v1.1 when sample.track is not 0.
std::vector<uint8_t> BuildID3v1(const SampleTrack& sample);
// An ID3v2.3 tag with TPE1, TIT2, TALB, TYER, TRCK, TCON and COMM frames for the texts
// that are set, followed by some padding. With utf16 the text frames but COMM are UTF-16.
std::vector<uint8_t> BuildID3v2(const SampleTrack& sample);
// Tag, audio and tag, as the file holds them.
std::vector<uint8_t> BuildMP3(const SampleTrack& sample);

// Writes every file of the library and "library.m3u" into folder (which must exist).
// False with error set at the first file that cannot be written.
bool WriteSampleLibrary(const std::string& folder, std::string& error);
// The same for WorldLibrary() and kWorldPlaylist (UTF-8, the system's separators),
// making the folders it needs.
bool WriteWorldLibrary(const std::string& folder, std::string& error);

}  // namespace vemo::samples
