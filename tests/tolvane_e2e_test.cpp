// The real program, started and driven from this process as a user would drive it.
#include "ProgramRun.h"
#include "TestFiles.h"
#include "resources/resource.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace {

const wchar_t kProgram[] = TOLVANE_WIN_BIN_DIR L"Tolvane.exe";
const wchar_t kSettingsKey[] = L"Software\\Tolvane";

struct RegistryValue {
    DWORD type;
    CString text;
    DWORD number;
};

std::map<std::wstring, RegistryValue> ReadSettings()
{
    std::map<std::wstring, RegistryValue> values;
    HKEY key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return values;
    for (DWORD index = 0;; ++index) {
        wchar_t name[256];
        DWORD nameLength = ARRAYSIZE(name);
        BYTE data[4096];
        DWORD dataSize = sizeof(data) - sizeof(wchar_t);
        DWORD type = 0;
        if (RegEnumValueW(key, index, name, &nameLength, nullptr, &type, data, &dataSize) != ERROR_SUCCESS)
            break;
        RegistryValue value = {type, L"", 0};
        if (type == REG_SZ) {
            data[dataSize] = data[dataSize + 1] = 0;
            value.text = reinterpret_cast<const wchar_t*>(data);
        } else if (type == REG_DWORD && dataSize == sizeof(DWORD)) {
            value.number = *reinterpret_cast<const DWORD*>(data);
        }
        values[name] = value;
    }
    RegCloseKey(key);
    return values;
}

class TolvaneE2eTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_folder = new testfiles::CTempFolder(L"tolvane e2e");
        s_clip = s_folder->Path(L"clip one.avi");
        ASSERT_TRUE(testfiles::MakeClip(s_clip));
    }
    static void TearDownTestSuite() { delete s_folder; }
    void SetUp() override { RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey); }

    // Presses Escape in the window and waits for the program to end.
    static long CloseWithEscape(CProgramRun& run)
    {
        ui::PostKey(run.m_hMain, VK_ESCAPE);
        return run.WaitForExit();
    }

    // Chooses the file through the program's Open dialog; the information text that follows.
    static CString ChooseSource(CProgramRun& run, const CString& path)
    {
        CString before = ui::GetItemText(run.m_hMain, IDC_SOURCE_INFO);
        ui::PostClick(run.Item(IDC_SOURCE_BROWSE));
        HWND fileDialog = ui::WaitForOwnedDialog(run.m_hMain);
        if (!fileDialog || !ui::AnswerOpenDialog(fileDialog, path))
            return L"(no file dialog)";
        ui::WaitUntil([&] { return !IsWindow(fileDialog) && IsWindowEnabled(run.m_hMain); });
        ui::WaitUntil([&] { return ui::GetItemText(run.m_hMain, IDC_SOURCE_PATH) == path; });
        return ui::GetItemText(run.m_hMain, IDC_SOURCE_INFO);
    }

    static CString LogOf(CProgramRun& run)
    {
        HWND log = GetDlgItem(run.m_hMain, 1);  // the log pane's identifier
        return log ? ui::GetText(log) : CString(L"(no log pane)");
    }

    static testfiles::CTempFolder* s_folder;
    static CString s_clip;
};

testfiles::CTempFolder* TolvaneE2eTest::s_folder;
CString TolvaneE2eTest::s_clip;

}  // namespace

TEST_F(TolvaneE2eTest, WhatOneRunChangesTheNextShowsAndTheRegistryHolds)
{
    {
        CProgramRun run;
        ASSERT_NE(run.Start(kProgram), nullptr);
        ui::SetText(run.Item(IDC_DEST_PATH), L"C:\\users\\e2e out");
        SendMessageW(run.Item(IDC_CODEC_MPEG), BM_CLICK, 0, 0);
        SendMessageW(run.Item(IDC_CHANGE_VIDEO_SIZE), BM_CLICK, 0, 0);
        ui::SetText(run.Item(IDC_VIDEO_SIZE), L"800x450");
        ui::SetText(run.Item(IDC_VIDEO_BITRATE), L"3000");
        SendMessageW(run.Item(IDC_CHANGE_VIDEO_FPS), BM_CLICK, 0, 0);
        ui::SetText(run.Item(IDC_VIDEO_FPS), L"24");
        ui::SetText(run.Item(IDC_VIDEO_GOP), L"sixty");
        ui::SetText(run.Item(IDC_AUDIO_BITRATE), L"192");
        ui::SetText(run.Item(IDC_AUDIO_SAMPLERATE), L"48000");
        SendMessageW(run.Item(IDC_AUDIO_CHANNEL), CB_SETCURSEL, 0, 0);
        SendMessageW(run.Item(IDC_NO_AUDIO), BM_CLICK, 0, 0);
        SendMessageW(run.Item(IDC_BITRATE_FILENAME), BM_CLICK, 0, 0);
        SendMessageW(run.Item(IDC_ENCRYPTION), BM_CLICK, 0, 0);
        SendMessageW(run.Item(IDC_2PASS_ENCODING), BM_CLICK, 0, 0);
        EXPECT_EQ(CloseWithEscape(run), 0);
    }

    std::map<std::wstring, RegistryValue> values = ReadSettings();
    EXPECT_EQ(values.size(), 17u);
    const struct { const wchar_t* name; const wchar_t* text; } strings[] = {
        {L"DestPath", L"C:\\users\\e2e out"}, {L"VideoCodec", L"mpeg1video"},
        {L"VideoSize", L"800x450"}, {L"AudioChannel", L"1(mono)"},
    };
    for (const auto& s : strings) {
        EXPECT_EQ(values[s.name].type, static_cast<DWORD>(REG_SZ)) << CString(s.name);
        EXPECT_EQ(values[s.name].text, s.text) << CString(s.name);
    }
    const struct { const wchar_t* name; DWORD number; } numbers[] = {
        {L"VideoVBR", 0}, {L"ChangeVideoSize", 1}, {L"ChangeVideoFps", 1}, {L"VideoBitrate", 3000},
        {L"VideoQscale", 8}, {L"VideoFps", 24}, {L"VideoGop", 0}, {L"AudioBitrate", 192},
        {L"AudioSamplerate", 48000}, {L"NoAudio", 1}, {L"BitrateFilename", 1}, {L"Encryption", 1},
        {L"2PassEncoding", 0},
    };
    for (const auto& n : numbers) {
        EXPECT_EQ(values[n.name].type, static_cast<DWORD>(REG_DWORD)) << CString(n.name);
        EXPECT_EQ(values[n.name].number, n.number) << CString(n.name);
    }

    CProgramRun second;
    ASSERT_NE(second.Start(kProgram), nullptr);
    HWND main = second.m_hMain;
    EXPECT_EQ(ui::GetItemText(main, IDC_DEST_PATH), L"C:\\users\\e2e out");
    EXPECT_EQ(SendMessageW(second.Item(IDC_CODEC_MPEG), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(ui::GetItemText(main, IDC_VIDEO_SIZE), L"800x450");
    EXPECT_EQ(ui::GetItemText(main, IDC_VIDEO_BITRATE), L"3000");
    EXPECT_EQ(ui::GetItemText(main, IDC_VIDEO_GOP), L"0");
    EXPECT_EQ(ui::GetItemText(main, IDC_AUDIO_CHANNEL), L"1(mono)");
    EXPECT_EQ(SendMessageW(second.Item(IDC_2PASS_ENCODING), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_TRUE(IsWindowEnabled(second.Item(IDC_VIDEO_SIZE)));
    EXPECT_FALSE(IsWindowEnabled(second.Item(IDC_AUDIO_BITRATE)));
    EXPECT_EQ(CloseWithEscape(second), 0);
}

TEST_F(TolvaneE2eTest, ASourceChosenInTheFileDialogIsDescribedByTheMediaLibrary)
{
    CProgramRun run;
    ASSERT_NE(run.Start(kProgram), nullptr);
    CString info = ChooseSource(run, s_clip);
    EXPECT_EQ(info.Find(L"Video resolution: 320 x 240\r\n"), 0) << info;
    EXPECT_NE(info.Find(L"\r\nPlay time: 2 sec \r\n"), -1) << info;
    EXPECT_EQ(LogOf(run), L"Success to open file(" + s_clip + L").");
    EXPECT_EQ(CloseWithEscape(run), 0);
}

TEST_F(TolvaneE2eTest, ArgumentsChangeNothing)
{
    CProgramRun run;
    ASSERT_NE(run.Start(kProgram, L"\"" + s_clip + L"\" --help /x"), nullptr);
    EXPECT_EQ(ui::GetItemText(run.m_hMain, IDC_SOURCE_PATH), L"");
    EXPECT_EQ(ui::GetItemText(run.m_hMain, IDC_SOURCE_INFO), L"Drag & Drop file here.");
    EXPECT_EQ(ui::GetItemText(run.m_hMain, IDC_VIDEO_BITRATE), L"4000");
    EXPECT_EQ(LogOf(run), L"");
    // The close box ends it as Escape does.
    PostMessageW(run.m_hMain, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(run.WaitForExit(), 0);
    EXPECT_EQ(ReadSettings().size(), 17u);
}

TEST_F(TolvaneE2eTest, EnterNeverClosesTheWindow)
{
    CProgramRun run;
    ASSERT_NE(run.Start(kProgram), nullptr);
    for (int id : {IDC_SOURCE_PATH, IDC_DEST_PATH, IDC_VIDEO_BITRATE}) {
        PostMessageW(run.m_hMain, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(run.Item(id)), TRUE);
        ui::PostKey(run.Item(id), VK_RETURN);
    }
    // A click posted after the keys shows that they have been handled.
    ui::PostClick(run.Item(IDC_ENCRYPTION));
    EXPECT_TRUE(ui::WaitUntil([&] { return SendMessageW(run.Item(IDC_ENCRYPTION), BM_GETCHECK, 0, 0) == BST_CHECKED; }));
    EXPECT_TRUE(run.IsRunning());
    EXPECT_TRUE(IsWindowVisible(run.m_hMain));
    EXPECT_EQ(CloseWithEscape(run), 0);
}

TEST_F(TolvaneE2eTest, WithoutTheMediaLibraryEverySourceFailsToOpen)
{
    testfiles::CTempFolder alone(L"tolvane alone");
    CString program = alone.Path(L"Tolvane.exe");
    ASSERT_TRUE(CopyFileW(kProgram, program, FALSE));
    CProgramRun run;
    ASSERT_NE(run.Start(program), nullptr);
    EXPECT_EQ(ChooseSource(run, s_clip), L"Unsupported file format.");
    EXPECT_EQ(LogOf(run), L"Failed to open file(" + s_clip + L").");
    EXPECT_EQ(CloseWithEscape(run), 0);
    EXPECT_EQ(ReadSettings().size(), 17u);
}

// Wine's per-program settings stand in for a system without the rich-edit libraries.
TEST_F(TolvaneE2eTest, WithoutTheRichEditLibraryThereIsNoLogAndTheRestWorks)
{
    testfiles::CTempFolder folder(L"tolvane plain");
    CString program = folder.Path(L"TolvanePlain.exe");
    ASSERT_TRUE(CopyFileW(kProgram, program, FALSE));
    ASSERT_TRUE(CopyFileW(TOLVANE_WIN_BIN_DIR L"MediaInfo.dll", folder.Path(L"MediaInfo.dll"), FALSE));
    const wchar_t kOverrides[] = L"Software\\Wine\\AppDefaults\\TolvanePlain.exe\\DllOverrides";
    HKEY key;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kOverrides, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    for (const wchar_t* library : {L"riched20", L"riched32"})
        RegSetValueExW(key, library, 0, REG_SZ, reinterpret_cast<const BYTE*>(L""), sizeof(wchar_t));
    RegCloseKey(key);

    CProgramRun run;
    HWND main = run.Start(program);
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Wine\\AppDefaults\\TolvanePlain.exe");
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(GetDlgItem(main, 1), nullptr);
    CString info = ChooseSource(run, s_clip);
    EXPECT_EQ(info.Find(L"Video resolution: 320 x 240\r\n"), 0) << info;
    ui::SetText(run.Item(IDC_VIDEO_BITRATE), L"1500");
    EXPECT_EQ(CloseWithEscape(run), 0);
    EXPECT_EQ(ReadSettings()[L"VideoBitrate"].number, 1500u);
}

TEST_F(TolvaneE2eTest, OpenShowsTheTypedFolder)
{
    testfiles::CTempFolder target(L"tolvane open target");
    CProgramRun run;
    ASSERT_NE(run.Start(kProgram), nullptr);
    ui::SetText(run.Item(IDC_DEST_PATH), target.m_strPath);
    ui::PostClick(run.Item(IDC_DEST_OPEN));
    CString name = target.m_strPath.Mid(target.m_strPath.ReverseFind(L'\\') + 1);
    HWND browser = nullptr;
    EXPECT_TRUE(ui::WaitUntil([&] {
        browser = ui::FindTopLevelWindow([&](HWND w) { return IsWindowVisible(w) && ui::GetText(w).Find(name) != -1; });
        return browser != nullptr;
    }));
    if (browser)
        PostMessageW(browser, WM_CLOSE, 0, 0);
    EXPECT_EQ(CloseWithEscape(run), 0);
    EXPECT_EQ(ReadSettings()[L"DestPath"].text, target.m_strPath);
}
