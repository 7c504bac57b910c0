// The texts of the audio analysis and of the information popups, in one place. The
// popups show them exactly as they stand; "\r" separates the lines of a body.
#pragma once

namespace vemo::texts {

// Message box of a file that cannot be opened (caption kErrorCaption).
inline constexpr const char* kCannotOpen = "Cannot open file for reading";
inline constexpr const char* kErrorCaption = "Error";

inline constexpr const char* kNotMP3 = "Not an MP3 file";
inline constexpr const char* kNoID3v1 = "No ID3v1 tag available";
inline constexpr const char* kNoID3v2 = "No ID3v2 tag available";
inline constexpr const char* kNoID3Any = "No any ID3 tag available";
inline constexpr const char* kBlankID3v1 = "\rBlank ID3v1 tag present";
inline constexpr const char* kBlankID3v2 = "\rBlank ID3v2 tag present";

// Captions.
inline constexpr const char* kFileInfoCaption = "File info:";
inline constexpr const char* kID3v1Caption = "ID3v1 tag";
inline constexpr const char* kID3v11Caption = "ID3v1.1 tag";
inline constexpr const char* kID3v2CaptionStart = "ID3v2.";  // + major "." revision
inline constexpr const char* kID3v2CaptionEnd = " tag";
inline constexpr const char* kNotSupported = " not supported";

// File information lines.
inline constexpr const char* kPath = "Path: ";
inline constexpr const char* kFilename = "Filename: ";
inline constexpr const char* kSize = "Size: ";
inline constexpr const char* kBytes = " bytes";
inline constexpr const char* kHeaderFoundAt = "Header found at: ";
inline constexpr const char* kLength = "Length: ";
inline constexpr const char* kUndefined = "undefined";
inline constexpr const char* kSeconds = " sec.  (";  // two blanks before the parenthesis
inline constexpr const char* kPlayerSeconds = " seconds";
inline constexpr const char* kMPEG = "MPEG ";
inline constexpr const char* kLayer = " layer ";
inline constexpr const char* kBitrate = "Bitrate: ";
inline constexpr const char* kKbps = " kbps";
inline constexpr const char* kVBR = " (VBR)";
inline constexpr const char* kUndefinedNumberOf = "undefined number of";
inline constexpr const char* kFrames = " frames";
inline constexpr const char* kSampleRate = "Samplerate: ";
inline constexpr const char* kHz = " Hz";
inline constexpr const char* kChannels = "Channels: ";
inline constexpr const char* kCRCs = "CRCs: ";
inline constexpr const char* kCopyrighted = "Copyrighted: ";
inline constexpr const char* kOriginal = "Original: ";
inline constexpr const char* kEmphasis = "Emphasis: ";

inline constexpr const char* kYes = "Yes";
inline constexpr const char* kNo = "No";

// Results of the tag written from a file's name. Every text but the last two promises
// an unchanged file; the writer gives those only when that holds.
inline constexpr const char* kTagCreated = "ID3 tag created";
inline constexpr const char* kUnknownTagVersion = "Unknown tag version. First delete current ID3v2 tag";
inline constexpr const char* kCannotOpenForWriting = "Cannot open file for writing";
inline constexpr const char* kTagNotWritten = "The tag could not be written; the file is unchanged";
inline constexpr const char* kTagSizeCorrupt =
    "The ID3v2 tag's size reaches to or past the end of the file; the file is unchanged";
inline constexpr const char* kTagUnsynchronised =
    "The ID3v2 tag is unsynchronised and cannot be rewritten; the file is unchanged";
inline constexpr const char* kTagExtendedHeader =
    "The ID3v2 tag has an extended header and cannot be rewritten; the file is unchanged";
inline constexpr const char* kTagUnknownFlags =
    "The ID3v2 tag has flags of unknown meaning and cannot be rewritten; the file is unchanged";
inline constexpr const char* kTagFramesDamaged =
    "The ID3v2 tag's frames are damaged and cannot be rewritten; the file is unchanged";
inline constexpr const char* kTagFramesPacked =
    "The ID3v2 tag has compressed or encrypted frames and cannot be rewritten; the file is unchanged";
inline constexpr const char* kTagTooLarge = "The new ID3v2 tag would be too large; the file is unchanged";
inline constexpr const char* kTagAttributesNotKept =
    "The file's extended attributes cannot be kept; the file is unchanged";
inline constexpr const char* kTagFileDamaged = "Writing the tag failed half way; the file may be damaged";
// After kTagFileDamaged when a temporary file holds the whole tagged file; its path follows.
inline constexpr const char* kTagKeptAt = ". The tagged file is kept as ";

}  // namespace vemo::texts
