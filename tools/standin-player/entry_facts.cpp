#include "entry_facts.h"

#include "audio/id3v1.h"
#include "audio/id3v2.h"
#include "audio/mpeg.h"
#include "text/text.h"

namespace vemo::standin {

namespace {
constexpr int64_t kMsPerHundredth = 10;
}

std::string TitleFromFileName(std::string_view path) {
    size_t slash = path.find_last_of("\\/");
    std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    size_t dot = name.rfind('.');
    if (dot != std::string_view::npos && dot > 0) name = name.substr(0, dot);
    return std::string(name);
}

std::string ComposeTitle(std::string_view artist, std::string_view title) {
    std::string a = Trim(artist);
    std::string t = Trim(title);
    if (t.empty()) return "";
    return a.empty() ? t : a + " - " + t;
}

Entry ReadEntryFacts(const std::string& path) {
    Entry entry{path, TitleFromFileName(path), -1};
    if (!IsMP3Name(path)) return entry;

    std::string title;
    if (HasTag(path, kTagID3v2)) {
        if (std::optional<TID3v2Tag> tag = ReadID3v2(path)) title = ComposeTitle(tag->Artist, tag->Title);
    }
    if (title.empty() && HasTag(path, kTagID3v1)) {
        if (std::optional<TID3v1Tag> tag = ReadID3v1(path)) title = ComposeTitle(tag->Artist, tag->Title);
    }
    if (!title.empty()) entry.title = title;

    TMPEG mpeg = AnalyzeMPEG(path);
    if (mpeg.Bitrate > 0) entry.lengthMs = MPEGDuration(mpeg.AudioBytes, mpeg.Bitrate) * kMsPerHundredth;
    return entry;
}

}  // namespace vemo::standin
