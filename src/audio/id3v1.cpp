#include "audio/id3v1.h"

#include <cstring>

#include "audio/audio_texts.h"
#include "text/code_page.h"
#include "text/text.h"

namespace vemo {

namespace {

constexpr size_t kID3v1Size = 128;
constexpr size_t kMagicSize = 3;
constexpr size_t kTextFieldSize = 30;
constexpr size_t kYearSize = 4;
// Offsets within the tag.
constexpr size_t kTitleAt = 3;
constexpr size_t kArtistAt = 33;
constexpr size_t kAlbumAt = 63;
constexpr size_t kYearAt = 93;
constexpr size_t kCommentAt = 97;
constexpr size_t kTrackMarkerAt = 125;  // zero under ID3v1.1
constexpr size_t kTrackAt = 126;
constexpr size_t kGenreAt = 127;

constexpr size_t kID3v2MagicSize = 3;

// Label indices of the ID3v1 fields in FrameLabels.
constexpr size_t kLabelTrack = 0;
constexpr size_t kLabelTitle = 2;
constexpr size_t kLabelArtist = 3;
constexpr size_t kLabelAlbum = 4;
constexpr size_t kLabelYear = 5;
constexpr size_t kLabelGenre = 22;
constexpr size_t kLabelComment = 23;

// A fixed-size field up to its first zero byte, read in the system's code page: the
// tag holds 8-bit text of no named encoding, and the plug-in has always shown it so.
std::string FieldText(const uint8_t* field, size_t size) {
    const void* zero = std::memchr(field, 0, size);
    size_t length = zero ? static_cast<size_t>(static_cast<const uint8_t*>(zero) - field) : size;
    return CodePageToUtf8(std::string_view(reinterpret_cast<const char*>(field), length));
}

void AppendLine(std::string& text, size_t label, const std::string& value) {
    if (value.empty()) return;
    text += '\r';
    text += FrameLabels[label];
    text += ": ";
    text += value;
}

}  // namespace

const std::array<const char*, kGenreCount> GenreNames = {
    "Blues", "Classic Rock", "Country", "Dance", "Disco", "Funk", "Grunge", "Hip-Hop", "Jazz", "Metal",
    "New Age", "Oldies", "Other", "Pop", "R&B", "Rap", "Reggae", "Rock", "Techno", "Industrial",
    "Alternative", "Ska", "Death Metal", "Pranks", "Soundtrack", "Euro-Techno", "Ambient", "Trip-Hop",
    "Vocal", "Jazz+Funk", "Fusion", "Trance", "Classical", "Instrumental", "Acid", "House", "Game",
    "Sound Clip", "Gospel", "Noise", "Alt. Rock", "Bass", "Soul", "Punk", "Space", "Meditative",
    "Instrumental Pop", "Instrumental Rock", "Ethnic", "Gothic", "Darkwave", "Techno-Industrial",
    "Electronic", "Pop-Folk", "Eurodance", "Dream", "Southern Rock", "Comedy", "Cult", "Gangsta Rap",
    "Top 40", "Christian Rap", "Pop/Funk", "Jungle", "Native American", "Cabaret", "New Wave",
    "Psychedelic", "Rave", "Showtunes", "Trailer", "Lo-Fi", "Tribal", "Acid Punk", "Acid Jazz", "Polka",
    "Retro", "Musical", "Rock & Roll", "Hard Rock", "Folk", "Folk/Rock", "National Folk", "Swing",
    "Fast Fusion", "Bebob", "Latin", "Revival", "Celtic", "Bluegrass", "Avantgarde", "Gothic Rock",
    "Progressive Rock", "Psychedelic Rock", "Symphonic Rock", "Slow Rock", "Big Band", "Chorus",
    "Easy Listening", "Acoustic", "Humour", "Speech", "Chanson", "Opera", "Chamber Music", "Sonata",
    "Symphony", "Booty Bass", "Primus", "Porn Groove", "Satire", "Slow Jam", "Club", "Tango", "Samba",
    "Folklore", "Ballad", "Power Ballad", "Rhythmic Soul", "Freestyle", "Duet", "Punk Rock", "Drum Solo",
    "A Capella", "Euro-House", "Dance Hall", "Goa", "Drum & Bass", "Club-House", "Hardcore", "Terror",
    "Indie", "BritPop", "Negerpunk", "Polsk Punk", "Beat", "Christian Gangsta Rap", "Heavy Metal",
    "Black Metal", "Crossover", "Contemporary Christian", "Cristian Rock", "Merengue", "Salsa",
    "Thrash Metal", "Anime", "JPop", "Synthpop",
};

const std::array<const char*, kFrameLabelCount> FrameLabels = {
    "Track", "Group", "Title", "Artist", "Album", "Year", "Lyricist", "Orig. lyricist", "Composer",
    "Remixed by", "Orig. artist", "Orig. album", "Copyright", "Encoded by", "Opus/Subtitle", "Orchestra",
    "Conductor", "Publisher", "Owner", "Internet radio station", "Internet radio station owner", "BPM",
    "Genre", "Comment", "URL",
};

bool IsMP3Name(std::string_view path) {
    size_t dot = path.rfind('.');
    if (dot == std::string_view::npos) return false;
    std::string extension(path.substr(dot + 1));
    return std::string_view(StrUpper(extension.data())) == "MP3";
}

bool HasTag(ByteReader& reader, uint8_t kind) {
    uint8_t magic[kMagicSize];
    if (kind == kTagID3v1) {
        if (reader.Size() < static_cast<int64_t>(kID3v1Size)) return false;
        if (!reader.Seek(reader.Size() - static_cast<int64_t>(kID3v1Size)) || !reader.Read(magic, kMagicSize)) return false;
        return std::memcmp(magic, "TAG", kMagicSize) == 0;
    }
    if (kind == kTagID3v2) {
        if (!reader.Seek(0) || !reader.Read(magic, kID3v2MagicSize)) return false;
        return std::memcmp(magic, "ID3", kID3v2MagicSize) == 0;
    }
    return false;
}

bool HasTag(const std::string& path, uint8_t kind, const ErrorReporter& onError) {
    if ((kind != kTagID3v1 && kind != kTagID3v2) || !IsMP3Name(path)) return false;
    File file = File::OpenRead(path, Share::ReadWrite);
    if (!file) {
        if (kind == kTagID3v2 && onError) onError(texts::kCannotOpen);
        return false;
    }
    // Only three bytes are wanted: a chunk of that size keeps the test to one small read.
    ByteReader reader(file, kMagicSize);
    return HasTag(reader, kind);
}

TID3v1Tag ReadID3v1(ByteReader& reader) {
    TID3v1Tag tag;
    uint8_t raw[kID3v1Size];
    if (reader.Size() < static_cast<int64_t>(kID3v1Size)) return tag;
    if (!reader.Seek(reader.Size() - static_cast<int64_t>(kID3v1Size)) || !reader.Read(raw, kID3v1Size)) return tag;

    tag.Title = Trim(FieldText(raw + kTitleAt, kTextFieldSize));
    tag.Artist = Trim(FieldText(raw + kArtistAt, kTextFieldSize));
    tag.Album = Trim(FieldText(raw + kAlbumAt, kTextFieldSize));
    tag.Year = Trim(FieldText(raw + kYearAt, kYearSize));
    // The comment is kept as written, blanks included; a zero at byte 125 ends it there.
    tag.Comment = FieldText(raw + kCommentAt, kTextFieldSize);
    uint8_t genre = raw[kGenreAt];
    if (genre < kGenreCount) tag.Genre = GenreNames[genre];
    if (raw[kTrackMarkerAt] == 0 && raw[kTrackAt] != 0) tag.Track = NumToStr(false, raw[kTrackAt]);
    return tag;
}

std::optional<TID3v1Tag> ReadID3v1(const std::string& path) {
    File file = File::OpenRead(path, Share::Read);
    if (!file) return std::nullopt;
    ByteReader reader(file, kID3v1Size);
    return ReadID3v1(reader);
}

std::string FormatID3v1(const TID3v1Tag& tag) {
    std::string text;
    AppendLine(text, kLabelTrack, tag.Track);
    AppendLine(text, kLabelTitle, tag.Title);
    AppendLine(text, kLabelArtist, tag.Artist);
    AppendLine(text, kLabelAlbum, tag.Album);
    AppendLine(text, kLabelYear, tag.Year);
    AppendLine(text, kLabelGenre, tag.Genre);
    AppendLine(text, kLabelComment, tag.Comment);
    if (text.empty()) text = texts::kBlankID3v1;
    return text;
}

}  // namespace vemo
