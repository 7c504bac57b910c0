// The track information actions against MP3 files built here byte by byte: the file,
// stream and tag texts they show, their timers, the repeated press that only keeps the
// box up, files they cannot use, and the live track line.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "actions/information.h"
#include "popup/popup_window.h"
#include "support/plugin_fixture.h"
#include "text/file_access.h"
#include "win/module_state.h"
#include "win/outside_effects.h"
#include "win/player_link.h"
#include "win/scoped_win.h"

namespace vemo::test {
namespace {

using namespace std::string_literals;

// MPEG-1 Layer III, 128 kbit/s, 44.1 kHz, stereo, no CRC, original; unpadded frames of
// this rate are 417 bytes long.
const std::string kFrameHeader = "\xFF\xFB\x90\x04"s;
constexpr size_t kFrameSize = 417;
constexpr int kFrameCount = 20;

std::string Padded(std::string text, size_t size) {
    text.resize(size, '\0');
    return text;
}

std::string Audio() {
    std::string audio;
    for (int i = 0; i < kFrameCount; ++i) audio += Padded(kFrameHeader, kFrameSize);
    return audio;
}

// A version 2.3 text frame: id, 4-byte size, 2 flag bytes, encoding 0, text.
std::string TextFrame(const std::string& id, const std::string& text) {
    return id + "\0\0\0"s + static_cast<char>(text.size() + 1) + "\0\0\0"s + text;
}

// Title and artist, then 32 bytes of padding; sizes stay below 128, so the sync-safe
// size is its own last byte.
std::string ID3v2Tag(const std::string& title, const std::string& artist) {
    const std::string frames = TextFrame("TIT2", title) + TextFrame("TPE1", artist) + std::string(32, '\0');
    return "ID3\x03\x00\x00"s + "\0\0\0"s + static_cast<char>(frames.size()) + frames;
}

// track 0 writes a plain ID3v1 tag, any other an ID3v1.1 tag; genre 17 is Rock.
std::string ID3v1Tag(const std::string& title, const std::string& artist, const std::string& year,
                     const std::string& comment, char track, char genre) {
    return "TAG" + Padded(title, 30) + Padded(artist, 30) + Padded("", 30) + Padded(year, 4) + Padded(comment, 28) +
           '\0' + track + genre;
}

const std::string kBothTags = ID3v2Tag("Hello", "World") + Audio() + ID3v1Tag("Hello", "World", "2001", "Nice", 7, 17);
const std::string kID3v2Body = "\rTitle: Hello\rArtist: World";
const std::string kID3v11Body = "\rTrack: 7\rTitle: Hello\rArtist: World\rYear: 2001\rGenre: Rock\rComment: Nice";

struct MessageBox {
    HWND Owner;
    std::string Text;
    std::string Caption;
    UINT Type;
};
std::vector<MessageBox> gMessageBoxes;

int RecordMessageBox(HWND owner, const char* text, const char* caption, UINT type) {
    gMessageBoxes.push_back({owner, text, caption, type});
    return IDOK;
}

bool Visible(HWND window) { return IsWindowVisible(window) != FALSE; }

// A colour the popups never draw, put into two corners: a popup that draws again covers
// it with its edge.
constexpr COLORREF kMarker = RGB(255, 0, 255);
void Mark(HWND window) {
    ScopedGetDC dc(window);
    SetPixel(dc.Get(), 0, 0, kMarker);
    SetPixel(dc.Get(), 1, 1, kMarker);
}
bool StillMarked(HWND window) {
    ScopedGetDC dc(window);
    return GetPixel(dc.Get(), 0, 0) == kMarker && GetPixel(dc.Get(), 1, 1) == kMarker;
}

// Holds a file open without sharing, as another program may, so that nothing else can
// open it.
class ExclusiveOpen {
public:
    explicit ExclusiveOpen(const std::string& path)
        : handle_(CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)) {}
    ~ExclusiveOpen() {
        if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
    }
    ExclusiveOpen(const ExclusiveOpen&) = delete;
    ExclusiveOpen& operator=(const ExclusiveOpen&) = delete;
    bool Held() const { return handle_ != INVALID_HANDLE_VALUE; }

private:
    HANDLE handle_;
};

class InformationTest : public PopupTest {
protected:
    void SetUp() override {
        PopupTest::SetUp();
        gMessageBoxes.clear();
        Effects().AskUser = RecordMessageBox;
    }

    // Writes the file and makes it the player's current and only entry.
    std::string Play(const std::string& name, const std::string& bytes) {
        const std::string path = temp_.File(name);
        WriteAll(path, bytes);
        PlayPath(path);
        return path;
    }
    void PlayPath(const std::string& path) {
        FakePlayerScript& s = player_.Script();
        s.EntryFiles = {path};
        s.EntryTitles = {"Artist - Song"};
        s.ListPosition = 0;
    }
    // Every timer the actions arm, taken so that none fires during the test: the
    // periods of the two hide timers and of the borrowed hint timer, 0 for one that
    // was not running.
    struct Timers {
        UINT Main, Info, Hint;
        bool operator==(const Timers&) const = default;
        friend void PrintTo(const Timers& t, std::ostream* out) {
            *out << "{main " << t.Main << ", info " << t.Info << ", hint " << t.Hint << "}";
        }
    };
    static Timers TakeTimers() {
        return {TakeTimerPeriod(kTimerHideMainPopup), TakeTimerPeriod(kTimerHideInfoPopup),
                TakeTimerPeriod(kID3v1HintTimer)};
    }
};

TEST_F(InformationTest, FileInfoShowsFolderNameSizeAndStreamFacts) {
    gPopup.HintArmed = true;
    gPopup.LiveRefresh = true;
    const std::string path = Play("a.mp3", kBothTags);
    ShowFileInfo();
    ASSERT_TRUE(Visible(gPlugin.InfoPopup));
    EXPECT_EQ(gPopup.LastInfoTitle, "File info:");
    // 74 bytes of ID3v2 tag before the first frame; 8340 bytes of audio between the
    // tags: 0.52 s at 128 kbit/s.
    EXPECT_EQ(gPopup.LastInfoBody, "\rPath: " + temp_.Path() + "\rFilename: a.mp3\rSize: 8542 bytes" +
                                       "\rHeader found at: 74 bytes\rLength: 0.52 sec.  (00:00:00.52)" +
                                       "\rMPEG 1.0 (ISO/IEC 11172-3) layer III\rBitrate: 128 kbps, 20 frames" +
                                       "\rSamplerate: 44100 Hz\rChannels: Stereo\rCRCs: No\rCopyrighted: No" +
                                       "\rOriginal: Yes\rEmphasis: None");
    EXPECT_EQ(gPopup.InfoPopupKind, InfoKind::FileInfo);
    EXPECT_FALSE(gPopup.HintArmed);
    EXPECT_FALSE(gPopup.LiveRefresh);
    EXPECT_EQ(gTrack.CurrentMPEG.FileSize, 8542);
    EXPECT_EQ(gTrack.CurrentMPEG.Duration, 52);
    EXPECT_EQ(TakeTimers(), (Timers{0, 6500, 0}));
    EXPECT_TRUE(gMessageBoxes.empty());

    // The player's length stands in for the stream facts of a file of another kind;
    // nothing of the MP3 before stays in the record.
    Play("b.wav", "RIFF!");
    player_.Script().LengthSeconds = 250;
    ShowFileInfo();
    EXPECT_EQ(gPopup.LastInfoBody, "\rPath: " + temp_.Path() + "\rFilename: b.wav\rSize: 5 bytes\rLength: 250 seconds");
    EXPECT_EQ(gTrack.CurrentMPEG.FileSize, 5);
    EXPECT_EQ(gTrack.CurrentMPEG.Bitrate, 0);
    EXPECT_TRUE(gTrack.CurrentMPEG.HeaderPos.empty());
}

TEST_F(InformationTest, FileInfoWithoutFrameSyncLeavesLengthAndBitrateUndefined) {
    Play("silence.mp3", std::string(600, '\0'));
    ShowFileInfo();
    const std::string& body = gPopup.LastInfoBody;
    EXPECT_NE(body.find("\rLength: undefined\r"), std::string::npos) << body;
    EXPECT_NE(body.find("\rBitrate: undefined, undefined number of frames"), std::string::npos) << body;
    EXPECT_EQ(body.find("Samplerate"), std::string::npos) << body;
    EXPECT_EQ(gTrack.CurrentMPEG.Duration, 0);
}

TEST_F(InformationTest, FileInfoOfAMissingFileShowsNothingAndTakesDownAnotherFilesBox) {
    Play("a.mp3", kBothTags);
    ShowFileInfo();
    ASSERT_TRUE(Visible(gPlugin.InfoPopup));
    PlayPath(temp_.File("gone.mp3"));
    ShowFileInfo();
    EXPECT_FALSE(Visible(gPlugin.InfoPopup));
    EXPECT_TRUE(gMessageBoxes.empty());
    EXPECT_FALSE(TakeTimer(gPlugin.MainPopup, kTimerHideInfoPopup));
}

// The hotkeys reach these actions. Files with one tag each tell the tag keys apart: on
// a file with both, the ID3v2 key and the any-tag key show the same.
TEST_F(InformationTest, HotkeysRouteToTheInformationActions) {
    const std::string v1Only = Audio() + ID3v1Tag("Hello", "World", "2001", "Nice", 7, 17);
    const std::string v2Only = ID3v2Tag("Hello", "World") + Audio();
    const struct {
        WPARAM Id;
        const std::string& File;
        const char* Caption;
        std::string Body;  // empty: not compared
    } cases[] = {
        {10, v1Only, "File info:", ""},
        {21, v1Only, "ID3v1.1 tag", kID3v11Body},
        {21, v2Only, "", "No ID3v1 tag available"},
        {25, v1Only, "", "No ID3v2 tag available"},
        {25, v2Only, "ID3v2.3.0 tag", kID3v2Body},
        {26, v1Only, "ID3v1.1 tag", kID3v11Body},
        {26, v2Only, "ID3v2.3.0 tag", kID3v2Body},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "id " << c.Id << (&c.File == &v1Only ? " on ID3v1 only" : " on ID3v2 only"));
        Play(&c.File == &v1Only ? "v1.mp3" : "v2.mp3", c.File);
        gPopup.LastInfoTitle.clear();
        gPopup.LastInfoBody.clear();
        gPopup.InfoPopupKind = InfoKind::None;
        SendMessageA(gPlugin.MainPopup, WM_HOTKEY, c.Id, 0);
        EXPECT_EQ(gPopup.LastInfoTitle, c.Caption);
        if (!c.Body.empty()) {
            EXPECT_EQ(gPopup.LastInfoBody, c.Body);
        }
    }
    gPopup.CurrentPopupText.clear();
    SendMessageA(gPlugin.MainPopup, WM_HOTKEY, 17, 0);
    EXPECT_NE(gPopup.CurrentPopupText.find("Song"), std::string::npos) << gPopup.CurrentPopupText;
}

TEST_F(InformationTest, TagActionsShowTheirTagUnderItsCaption) {
    Play("both.mp3", kBothTags);
    ShowID3v1Info();
    EXPECT_EQ(gPopup.LastInfoTitle, "ID3v1.1 tag");
    EXPECT_EQ(gPopup.LastInfoBody, kID3v11Body);
    EXPECT_EQ(gTrack.CurrentID3v1.Track, "7");
    EXPECT_EQ(gPopup.InfoPopupKind, InfoKind::ID3v1);
    EXPECT_EQ(TakeTimers(), (Timers{2000, 4000, 3500}));

    ShowID3v2Info();
    EXPECT_EQ(gPopup.LastInfoTitle, "ID3v2.3.0 tag");
    EXPECT_EQ(gPopup.LastInfoBody, kID3v2Body);
    EXPECT_EQ(gTrack.CurrentID3v2.Artist, "World");
    EXPECT_EQ(gPopup.InfoPopupKind, InfoKind::ID3v2);
    EXPECT_EQ(TakeTimers(), (Timers{2000, 5500, 0}));

    // With both tags, only the ID3v2 text; without one, the ID3v1 text.
    ShowID3v1Info();
    TakeTimers();
    ShowID3AnyInfo();
    EXPECT_EQ(gPopup.LastInfoBody, kID3v2Body);
    EXPECT_EQ(gPopup.InfoPopupKind, InfoKind::ID3v2);
    EXPECT_EQ(TakeTimers(), (Timers{2000, 5500, 0}));
    Play("v1.mp3", Audio() + ID3v1Tag("Hi", "", "", "", 0, -1));
    ShowID3AnyInfo();
    EXPECT_EQ(gPopup.LastInfoTitle, "ID3v1 tag");
    EXPECT_EQ(gPopup.LastInfoBody, "\rTitle: Hi");
    EXPECT_EQ(gPopup.InfoPopupKind, InfoKind::ID3v1);
    EXPECT_EQ(TakeTimers(), (Timers{2000, 4000, 0})) << "the ID3v1 time, without its hint";
    EXPECT_TRUE(gMessageBoxes.empty());
}

TEST_F(InformationTest, MissingTagsAreSaidWithoutCaption) {
    Play("plain.mp3", Audio());
    const struct {
        void (*action)();
        const char* body;
        InfoKind kind;
        Timers timers;
    } cases[] = {
        {ShowID3v1Info, "No ID3v1 tag available", InfoKind::ID3v1, {2000, 4000, 3500}},
        {ShowID3v2Info, "No ID3v2 tag available", InfoKind::ID3v2, {2000, 5500, 0}},
        {ShowID3AnyInfo, "No any ID3 tag available", InfoKind::None, {2000, 4000, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.body);
        c.action();
        EXPECT_TRUE(Visible(gPlugin.InfoPopup));
        EXPECT_EQ(gPopup.LastInfoBody, c.body);
        EXPECT_EQ(gPopup.LastInfoTitle, "");
        EXPECT_EQ(gPopup.InfoPopupKind, c.kind);
        EXPECT_EQ(TakeTimers(), c.timers);
    }
}

TEST_F(InformationTest, TagActionsAnswerOtherNamesInTheOneLinePopup) {
    for (const char* name : {"noext", "song.MP3.txt", "b.wav"}) {
        SCOPED_TRACE(name);
        // Tagged content does not matter: only the name is tested.
        Play(name, kBothTags);
        for (void (*action)() : {ShowID3v1Info, ShowID3v2Info, ShowID3AnyInfo}) {
            gPopup.CurrentPopupText.clear();
            action();
            EXPECT_EQ(gPopup.CurrentPopupText, " Not an MP3 file ");
            EXPECT_TRUE(Visible(gPlugin.MainPopup));
            EXPECT_FALSE(Visible(gPlugin.InfoPopup));
            EXPECT_EQ(TakeTimers(), (Timers{2000, 0, 0}));
        }
    }
    // The name's case does not matter.
    Play("SONG.Mp3", kBothTags);
    ShowID3v1Info();
    EXPECT_EQ(gPopup.LastInfoTitle, "ID3v1.1 tag");
}

TEST_F(InformationTest, AnEmptyPlaylistGetsNoReaction) {
    WriteAll(temp_.File("a.mp3"), kBothTags);
    player_.Script().EntryFiles = {temp_.File("a.mp3")};  // no titles: a length of 0
    for (void (*action)() : {ShowFileInfo, ShowTrackInfo, ShowID3v1Info, ShowID3v2Info, ShowID3AnyInfo}) {
        action();
        EXPECT_FALSE(Visible(gPlugin.MainPopup));
        EXPECT_FALSE(Visible(gPlugin.InfoPopup));
        EXPECT_EQ(TakeTimers(), Timers{});
    }
    EXPECT_EQ(player_.Queries(), std::vector<LPARAM>(5, QueryListLength));
}

TEST_F(InformationTest, AFileThatCannotBeOpenedIsReportedAndShowsNothingStale) {
    // The record of an earlier file first, which must not survive.
    Play("a.mp3", kBothTags);
    ShowFileInfo();
    ASSERT_EQ(gTrack.CurrentMPEG.Bitrate, 128);

    const std::string path = Play("held.mp3", kBothTags);
    ExclusiveOpen hold(path);
    ASSERT_TRUE(hold.Held());

    ShowFileInfo();
    ASSERT_EQ(gMessageBoxes.size(), 1u);
    EXPECT_EQ(gMessageBoxes[0].Owner, player_.Window());
    EXPECT_EQ(gMessageBoxes[0].Text, "Cannot open file for reading");
    EXPECT_EQ(gMessageBoxes[0].Caption, "Error");
    EXPECT_EQ(gMessageBoxes[0].Type & MB_ICONMASK, static_cast<UINT>(MB_ICONSTOP));
    // The directory still knows the size; the stream facts are unknown, not the last
    // file's.
    EXPECT_NE(gPopup.LastInfoBody.find("\rFilename: held.mp3\rSize: 8542 bytes\r"), std::string::npos);
    EXPECT_NE(gPopup.LastInfoBody.find("\rLength: undefined\r"), std::string::npos);
    EXPECT_EQ(gTrack.CurrentMPEG.Bitrate, 0);
    EXPECT_EQ(gTrack.CurrentMPEG.FileSize, 8542);

    // The ID3v2 test tells the user; the ID3v1 test stays quiet; both then say "no tag".
    gMessageBoxes.clear();
    ShowID3v1Info();
    EXPECT_TRUE(gMessageBoxes.empty());
    EXPECT_EQ(gPopup.LastInfoBody, "No ID3v1 tag available");
    ShowID3v2Info();
    EXPECT_EQ(gMessageBoxes.size(), 1u);
    EXPECT_EQ(gPopup.LastInfoBody, "No ID3v2 tag available");
    ShowID3AnyInfo();
    EXPECT_EQ(gMessageBoxes.size(), 2u);
    EXPECT_EQ(gPopup.LastInfoBody, "No any ID3 tag available");
}

// A file that can no longer be opened between the tag test and the read shows what a
// failed tag test shows, never an empty record ("ID3v2.0.0 tag", "not supported").
TEST_F(InformationTest, AFileLostBetweenTagTestAndReadShowsNoTag) {
    constexpr int kReadOpen = 4;  // the tag test takes three file operations
    Play("both.mp3", kBothTags);
    const struct {
        void (*Action)();
        const char* Body;
        size_t Boxes;
    } cases[] = {
        {ShowID3v2Info, "No ID3v2 tag available", 1},
        {ShowID3v1Info, "No ID3v1 tag available", 0},
    };
    for (const auto& c : cases) {
        gMessageBoxes.clear();
        gPopup.InfoPopupStale = true;
        FailFileOperationAt(kReadOpen);
        c.Action();
        FailFileOperationAt(0);
        EXPECT_EQ(gPopup.LastInfoBody, c.Body);
        EXPECT_EQ(gPopup.LastInfoTitle, "");
        EXPECT_EQ(gMessageBoxes.size(), c.Boxes) << c.Body;
    }
}

TEST_F(InformationTest, PressingAgainKeepsTheBoxUpWithoutDrawingIt) {
    Play("both.mp3", kBothTags);
    ShowID3v1Info();
    TakeTimers();
    Mark(gPlugin.InfoPopup);
    ShowID3v1Info();
    EXPECT_TRUE(StillMarked(gPlugin.InfoPopup));
    EXPECT_EQ(TakeTimers(), (Timers{2000, 4000, 3500}));

    // The same for the file information.
    ShowFileInfo();
    TakeTimers();
    Mark(gPlugin.InfoPopup);
    ShowFileInfo();
    EXPECT_TRUE(StillMarked(gPlugin.InfoPopup));
    EXPECT_EQ(TakeTimerPeriod(kTimerHideInfoPopup), 6500u);

    // Something else drawn into the box in between (a hint) makes the next press draw.
    ShowMultiLinePopup("\rA hint", "", '\r');
    gPopup.InfoPopupKind = InfoKind::None;
    gPopup.InfoPopupStale = true;
    ShowFileInfo();
    EXPECT_EQ(gPopup.LastInfoTitle, "File info:");
    EXPECT_FALSE(gPopup.InfoPopupStale);
}

TEST_F(InformationTest, AnotherKindReplacesTheBoxEvenWithTheSameBody) {
    // Both tags read the same: title and artist only.
    Play("same.mp3", ID3v2Tag("Hello", "World") + Audio() + ID3v1Tag("Hello", "World", "", "", 0, -1));
    ShowID3v1Info();
    ASSERT_EQ(gPopup.LastInfoBody, kID3v2Body);
    Mark(gPlugin.InfoPopup);
    ShowID3v2Info();
    EXPECT_FALSE(StillMarked(gPlugin.InfoPopup));
    EXPECT_EQ(gPopup.LastInfoTitle, "ID3v2.3.0 tag");
}

TEST_F(InformationTest, PressingAgainAfterTheTrackChangedShowsTheNewFile) {
    // Regression: the box of the previous file used to stay up under the new one.
    Play("first.mp3", ID3v2Tag("First", "One") + Audio());
    ShowID3v2Info();
    ASSERT_EQ(gPopup.LastInfoBody, "\rTitle: First\rArtist: One");
    Play("second.mp3", ID3v2Tag("Second", "Two") + Audio());
    ShowID3v2Info();
    EXPECT_EQ(gPopup.LastInfoBody, "\rTitle: Second\rArtist: Two");
    EXPECT_EQ(gTrack.CurrentID3v2.Title, "Second");
    ShowFileInfo();
    Play("third.mp3", Audio());
    ShowFileInfo();
    EXPECT_NE(gPopup.LastInfoBody.find("Filename: third.mp3"), std::string::npos);
}

TEST_F(InformationTest, TrackInfoShowsTheLiveTrackLineAndKeepsItCurrent) {
    FakePlayerScript& s = player_.Script();
    for (int i = 1; i <= 12; ++i) {
        std::string title = "Song ";
        title += std::to_string(i);
        s.EntryTitles.push_back(title);
    }
    s.EntryTitles[11] = "Artist - Song";
    s.ListPosition = 11;
    gSettings.Set(OptionId::TrackNumbers, true);
    s.PlayState = 3;
    s.PositionMs = 65'400;
    s.LengthSeconds = 250;

    ShowTrackInfo();
    EXPECT_EQ(gPopup.CurrentPopupText, " 12. Artist - Song (1:05/4:10) [Paused] ");
    EXPECT_TRUE(Visible(gPlugin.MainPopup));
    EXPECT_TRUE(gPopup.LiveRefresh);
    EXPECT_EQ(TakeTimerPeriod(kTimerHideMainPopup), 5000u);

    // The same line again is not drawn again, but its time starts anew.
    Mark(gPlugin.MainPopup);
    ShowTrackInfo();
    EXPECT_TRUE(StillMarked(gPlugin.MainPopup));
    EXPECT_EQ(TakeTimerPeriod(kTimerHideMainPopup), 5000u);

    // Timer 2 follows the player.
    s.PlayState = 1;
    s.PositionMs = 66'000;
    EXPECT_TRUE(PumpUntil([] { return gPopup.CurrentPopupText == " 12. Artist - Song (1:06/4:10) "; }));

    // Stopped: no times.
    s.PlayState = 0;
    gSettings.Set(OptionId::TrackNumbers, false);
    ShowTrackInfo();
    EXPECT_EQ(gPopup.CurrentPopupText, " Artist - Song [Stopped] ");

    // A tag action ends the live display.
    ShowID3v1Info();
    EXPECT_FALSE(gPopup.LiveRefresh);
}

}  // namespace
}  // namespace vemo::test
