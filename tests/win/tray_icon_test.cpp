// The previous/next button in the notification area: its presence with a real shell,
// its clicks, and the picture it takes from the plug-in's own file.
#include <gtest/gtest.h>
#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "config/config_window.h"
#include "config/tray_icon.h"
#include "plugin/lifecycle.h"
#include "support/plugin_fixture.h"
#include "win/dpi_scale.h"
#include "win/module_state.h"

namespace vemo::test {
namespace {

// Whether the shell holds the button: it modifies only an icon it has.
bool InTray(const NOTIFYICONDATAW& record = gPlugin.Tray.Record) {
    NOTIFYICONDATAW probe = record;
    probe.uFlags = NIF_TIP;
    return Shell_NotifyIconW(NIM_MODIFY, &probe) != FALSE;
}

using TrayIconTest = PluginTest;

TEST_F(TrayIconTest, AddedAtLoadAndRemovedOnce) {
    Load();
    ASSERT_TRUE(TrayIconShown());
    EXPECT_EQ(gPlugin.Tray.Record.hWnd, gPlugin.ConfigWindow);
    EXPECT_TRUE(InTray());
    AddTrayIcon();  // already there: the shell still holds exactly one
    RemoveTrayIcon();
    EXPECT_FALSE(TrayIconShown());
    EXPECT_FALSE(InTray());
    EXPECT_FALSE(Shell_NotifyIconW(NIM_DELETE, &gPlugin.Tray.Record));
    RemoveTrayIcon();  // not shown: harmless
    EXPECT_FALSE(TrayIconShown());
}

// The shell's answer takes milliseconds the player's start need not wait for: the button
// is added when the player's loop runs after init, and counts as shown from the start.
// Taken away before then (the option switched off at once), it never comes.
TEST_F(TrayIconTest, AddedWhenThePlayersLoopRunsAfterItsStart) {
    GeneralPurposePlugin* record = GetPluginRecord();
    record->PlayerWindow = player_.Window();
    record->Init();
    EXPECT_TRUE(TrayIconShown());
    EXPECT_FALSE(InTray()) << "not during the start";
    DeliverStartMessages();
    EXPECT_TRUE(InTray());
    EXPECT_TRUE(TrayIconShown());

    RemoveTrayIcon();
    AddTrayIconSoon();
    RemoveTrayIcon();
    DeliverStartMessages();
    EXPECT_FALSE(InTray()) << "taken away before it came";
    EXPECT_FALSE(TrayIconShown());
}

// The tray option turned on while the plug-in is disabled adds the button; removing it
// must not depend on the options that quit looks at.
TEST_F(TrayIconTest, AddedWhileDisabledIsRemovedToo) {
    WriteSettingsFile("[Vemo Plugin]\r\nDisabled=1\r\n");
    Load();
    EXPECT_FALSE(InTray());
    AddTrayIcon();
    EXPECT_TRUE(InTray());
    RemoveTrayIcon();
    EXPECT_FALSE(InTray());
}

// Quit takes the button away however it came: added at load, or by the tray option while
// the plug-in was disabled (which quit used to leave behind). The fixture's own clean-up
// removes nothing here: it runs after the check.
struct QuitCase {
    const char* Name;
    const char* Settings;
    bool AddedByTheOption;
};

class QuitTrayTest : public PluginTest, public ::testing::WithParamInterface<QuitCase> {};

// Whether the shell still held the button when its window went: the shell may forget
// the buttons of dead windows by itself, so the check comes before.
NOTIFYICONDATAW gWatched{};
WNDPROC gBelowWatch = nullptr;
bool gInTrayWhenWindowWent = false;
LRESULT CALLBACK WatchWindowGoing(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) gInTrayWhenWindowWent = InTray(gWatched);
    return CallWindowProcA(gBelowWatch, window, message, wParam, lParam);
}

TEST_P(QuitTrayTest, QuitRemovesTheButton) {
    WriteSettingsFile(GetParam().Settings);
    LoadAndInit();
    if (GetParam().AddedByTheOption) AddTrayIcon();
    gWatched = gPlugin.Tray.Record;
    ASSERT_TRUE(InTray(gWatched));
    gInTrayWhenWindowWent = true;
    gBelowWatch = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(gPlugin.ConfigWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(WatchWindowGoing)));
    PluginQuit();
    EXPECT_FALSE(gInTrayWhenWindowWent);
    EXPECT_FALSE(InTray(gWatched));
}

INSTANTIATE_TEST_SUITE_P(
    Ways, QuitTrayTest,
    ::testing::Values(QuitCase{"AddedAtLoad", "", false},
                      QuitCase{"AddedWhileDisabled", "[Vemo Plugin]\r\nDisabled=1\r\n", true},
                      QuitCase{"OptionOnWhileDisabled", "[Vemo Plugin]\r\nDisabled=1\r\nSystray icon=0\r\n", true}),
    [](const auto& param) { return std::string(param.param.Name); });

// Quit releases the button's picture and our procedures on the configuration window's
// controls. They used to be left to the module's static destructors, which run under the
// loader's lock at unload, on control handles that may name other windows by then.
TEST_F(TrayIconTest, QuitReleasesThePictureAndTheControlProcedures) {
    LoadAndInit();
    // The test program carries no picture of its own.
    gPlugin.Tray.Picture.Reset(CopyIcon(LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION))));
    const HICON picture = gPlugin.Tray.Picture.Get();
    ASSERT_NE(picture, nullptr);
    SendMessageW(gPlugin.ConfigWindow, kPrepareWindowMessage, 0, 0);  // the controls, as at the first show
    for (const WindowSubclass& procedure : gConfig.ControlProcs) ASSERT_TRUE(procedure.Installed());
    PluginQuit();
    EXPECT_EQ(gPlugin.Tray.Picture.Get(), nullptr);
    EXPECT_EQ(gPlugin.Tray.Record.hIcon, nullptr);
    ICONINFO info{};
    EXPECT_FALSE(GetIconInfo(picture, &info)) << "destroyed";
    for (const WindowSubclass& procedure : gConfig.ControlProcs) EXPECT_FALSE(procedure.Installed());
}

TEST_F(TrayIconTest, TaskbarRestartBringsBackOnlyAShownButton) {
    EXPECT_EQ(TaskbarCreatedMessage(), RegisterWindowMessageW(L"TaskbarCreated"));
    Load();
    // A restarting taskbar has lost every icon.
    ASSERT_TRUE(Shell_NotifyIconW(NIM_DELETE, &gPlugin.Tray.Record));
    OnTaskbarCreated();
    EXPECT_TRUE(InTray());
    EXPECT_TRUE(TrayIconShown());
    RemoveTrayIcon();
    OnTaskbarCreated();
    EXPECT_FALSE(InTray());
}

struct ClickCase {
    const char* Name;
    LPARAM MouseMessage;
    std::vector<std::string> Sent;
};

class TrayClickTest : public PopupTest, public ::testing::WithParamInterface<ClickCase> {};

TEST_P(TrayClickTest, ButtonUpStepsTheTrackWithTheSongPopupForced) {
    const ClickCase& c = GetParam();
    gSongWatch.TitleChangeCount = 5;
    OnTrayNotify(c.MouseMessage);
    EXPECT_EQ(player_.Log(), c.Sent);
    const bool stepped = !c.Sent.empty();
    EXPECT_EQ(gSongWatch.TitleChangeCount, stepped ? -2 : 5);
    EXPECT_EQ(gSongWatch.ForceSongPopup, stepped);
}

INSTANTIATE_TEST_SUITE_P(Mouse, TrayClickTest,
                         ::testing::Values(ClickCase{"LeftUp", WM_LBUTTONUP, {"cmd 40044"}},
                                           ClickCase{"RightUp", WM_RBUTTONUP, {"cmd 40048"}},
                                           ClickCase{"RightDown", WM_RBUTTONDOWN, {}},
                                           ClickCase{"LeftDouble", WM_LBUTTONDBLCLK, {}},
                                           ClickCase{"Move", WM_MOUSEMOVE, {}}),
                         [](const auto& test) { return std::string(test.param.Name); });

// A library loaded for one test.
class LoadedModule {
public:
    explicit LoadedModule(const char* path) : module_(LoadLibraryA(path)) {}
    ~LoadedModule() {
        if (module_) FreeLibrary(module_);
    }
    LoadedModule(const LoadedModule&) = delete;
    LoadedModule& operator=(const LoadedModule&) = delete;
    HMODULE Get() const { return module_; }

private:
    HMODULE module_;
};

std::string FileOf(HMODULE module) {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(module, path, sizeof path);
    return path;
}

// Numbered groups as their number.
BOOL CALLBACK AddIconGroupName(HMODULE, LPCSTR, LPSTR name, LONG_PTR list) {
    reinterpret_cast<std::vector<std::string>*>(list)->push_back(
        IS_INTRESOURCE(name) ? std::to_string(reinterpret_cast<UINT_PTR>(name)) : std::string(name));
    return TRUE;
}

std::vector<std::string> IconGroupNames(HMODULE module) {
    std::vector<std::string> names;
    EnumResourceNamesA(module, RT_GROUP_ICON, AddIconGroupName, reinterpret_cast<LONG_PTR>(&names));
    return names;
}

TEST(TrayPictureTest, ComesFromTheSecondIconGroupOfTheDll) {
    LoadedModule dll("Gen_vemo.dll");
    ASSERT_NE(dll.Get(), nullptr) << "Gen_vemo.dll beside the test program";
    EXPECT_EQ(IconGroupNames(dll.Get()), (std::vector<std::string>{"MAINICON", "2"}));
    IconHandle picture(LoadTrayPicture(dll.Get(), kBaseDpi));
    EXPECT_NE(picture.Get(), nullptr);
}

// Looked for under the DLL's expected name in the player's plug-in folder, the picture
// is missing for a renamed or moved DLL, and the button shows empty.
TEST(TrayPictureTest, FollowsTheDllToAnotherNameAndFolder) {
    TempDir temp;
    const std::string copy = temp.File("Renamed.dll");
    {
        LoadedModule dll("Gen_vemo.dll");
        ASSERT_NE(dll.Get(), nullptr);
        ASSERT_TRUE(CopyFileA(FileOf(dll.Get()).c_str(), copy.c_str(), FALSE));
    }
    LoadedModule renamed(copy.c_str());
    ASSERT_NE(renamed.Get(), nullptr);
    IconHandle picture(LoadTrayPicture(renamed.Get(), kBaseDpi));
    EXPECT_NE(picture.Get(), nullptr);
}

// The test program links the plug-in's code but carries no icons: the button is still
// added, without a picture.
TEST_F(TrayIconTest, AModuleWithoutIconsGivesAnEmptyPicture) {
    EXPECT_EQ(LoadTrayPicture(GetModuleHandleA(nullptr), kBaseDpi), nullptr);
    Load();
    EXPECT_EQ(gPlugin.Tray.Record.hIcon, nullptr);
    EXPECT_TRUE(InTray());
}

// The width of an icon's colour picture; 0 for no icon.
int PictureWidth(HICON icon) {
    ICONINFO info{};
    if (!icon || !GetIconInfo(icon, &info)) return 0;
    BITMAP bitmap{};
    GetObjectW(info.hbmColor, sizeof bitmap, &bitmap);
    if (info.hbmColor) DeleteObject(info.hbmColor);
    if (info.hbmMask) DeleteObject(info.hbmMask);
    return bitmap.bmWidth;
}

// The width of the image the module holds for an icon of the given size: the one the
// system picks from the tray picture's group. (LoadImage stretches whatever it picks to
// the size asked, so the loaded icon alone does not tell a drawn image from a stretched one.)
int DrawnWidthFor(HMODULE module, int size) {
    HRSRC group = FindResourceW(module, MAKEINTRESOURCEW(2), MAKEINTRESOURCEW(14));  // RT_GROUP_ICON
    auto* directory = group ? static_cast<BYTE*>(LockResource(LoadResource(module, group))) : nullptr;
    if (!directory) return 0;
    const int id = LookupIconIdFromDirectoryEx(directory, TRUE, size, size, LR_DEFAULTCOLOR);
    HRSRC image = FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(3));  // RT_ICON
    const auto* header = image ? static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(module, image))) : nullptr;
    return header ? header->biWidth : 0;
}

struct PictureCase {
    int Dpi;
    int Size;  // the small-icon size there
};

void PrintTo(const PictureCase& c, std::ostream* out) { *out << c.Dpi << " DPI"; }

class TrayPictureScaleTest : public PluginTest, public ::testing::WithParamInterface<PictureCase> {
protected:
    void TearDown() override {
        SetDpiForTests(0);
        PluginTest::TearDown();
    }
};

// The button's picture is drawn for the small-icon size of the DPI, not a 16-pixel
// picture the shell stretches; on a DPI change the shown button takes the new one and
// the old picture is let go.
TEST_P(TrayPictureScaleTest, PictureHasTheSmallIconSizeOfTheDpi) {
    const PictureCase& c = GetParam();
    LoadedModule dll("Gen_vemo.dll");
    ASSERT_NE(dll.Get(), nullptr);
    SetDpiForTests(c.Dpi);
    IconHandle picture(LoadTrayPicture(dll.Get(), c.Dpi));
    EXPECT_EQ(PictureWidth(picture.Get()), c.Size);
    EXPECT_EQ(DrawnWidthFor(dll.Get(), c.Size), c.Size) << "drawn at that size, not stretched";

    SetDpiForTests(kBaseDpi);
    Load();
    RefreshTrayPictureFrom(dll.Get());
    const HICON before = gPlugin.Tray.Picture.Get();
    ASSERT_EQ(PictureWidth(before), 16);
    SetDpiForTests(c.Dpi);
    RefreshTrayPictureFrom(dll.Get());
    EXPECT_EQ(PictureWidth(gPlugin.Tray.Record.hIcon), c.Size);
    EXPECT_EQ(gPlugin.Tray.Record.hIcon, gPlugin.Tray.Picture.Get());
    EXPECT_TRUE(InTray());
    ICONINFO info{};
    EXPECT_FALSE(GetIconInfo(before, &info)) << "the old picture destroyed";
    // A module without the picture leaves the shown one.
    RefreshTrayPictureFrom(GetModuleHandleA(nullptr));
    EXPECT_EQ(PictureWidth(gPlugin.Tray.Record.hIcon), c.Size);
}

INSTANTIATE_TEST_SUITE_P(Dpi, TrayPictureScaleTest,
                         ::testing::Values(PictureCase{96, 16}, PictureCase{120, 20}, PictureCase{144, 24},
                                           PictureCase{192, 32}),
                         [](const auto& test) { return std::to_string(test.param.Dpi); });

}  // namespace
}  // namespace vemo::test
