// Choosing the source (file dialog, dropped files) and the destination folder (the picker).
#include "DialogFixture.h"
#include "TestFiles.h"

#include <shlobj.h>

#include <vector>

namespace {

// A drop of the given files, as the shell hands it to the window.
HDROP MakeDrop(const std::vector<CString>& paths)
{
    size_t characters = 1;
    for (const CString& path : paths)
        characters += path.GetLength() + 1;
    HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + characters * sizeof(wchar_t));
    DROPFILES* drop = static_cast<DROPFILES*>(GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = TRUE;
    wchar_t* names = reinterpret_cast<wchar_t*>(drop + 1);
    for (const CString& path : paths) {
        memcpy(names, path.GetString(), path.GetLength() * sizeof(wchar_t));
        names += path.GetLength() + 1;
    }
    GlobalUnlock(memory);
    return static_cast<HDROP>(memory);
}

class FileSelectionTest : public MainDialogTest {
protected:
    // One real clip, a copy under a Hangul name and one under a path of over 300 characters.
    static void SetUpTestSuite()
    {
        s_folder = new testfiles::CTempFolder(L"tolvane file selection");
        s_clip = s_folder->Path(L"clip.avi");
        ASSERT_TRUE(testfiles::MakeClip(s_clip));
        s_hangulClip = s_folder->Path(L"영상 클립 (1).avi");
        ASSERT_TRUE(CopyFileW(s_clip, s_hangulClip, FALSE));
        CString deep = s_folder->m_strPath;
        for (wchar_t letter : {L'a', L'b', L'c'}) {
            deep += L"\\" + CString(letter, 100);
            ASSERT_TRUE(CreateDirectoryW(deep, nullptr));
        }
        s_longClip = deep + L"\\clip.avi";
        ASSERT_GT(s_longClip.GetLength(), 300);
        ASSERT_TRUE(CopyFileW(s_clip, s_longClip, FALSE));
        s_textFile = s_folder->Path(L"notes.avi");
        ASSERT_TRUE(testfiles::WriteTextFile(s_textFile, "not a video\r\n"));
    }
    static void TearDownTestSuite() { delete s_folder; }

    void Drop(const std::vector<CString>& paths)
    {
        SendMessageW(Window(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop(paths)), 0);
    }

    void ExpectOpened(const CString& path)
    {
        EXPECT_EQ(Text(IDC_SOURCE_PATH), path);
        CString info = Text(IDC_SOURCE_INFO);
        EXPECT_EQ(info.Find(L"Video resolution: 320 x 240\r\n"), 0) << info;
        EXPECT_NE(info.Find(L"\r\nPlay time: 2 sec \r\n"), -1) << info;
        EXPECT_EQ(m_dialog->m_nSourceWidth, 320);
        EXPECT_EQ(m_dialog->m_nSourceHeight, 240);
    }

    static testfiles::CTempFolder* s_folder;
    static CString s_clip, s_hangulClip, s_longClip, s_textFile;
};

testfiles::CTempFolder* FileSelectionTest::s_folder;
CString FileSelectionTest::s_clip, FileSelectionTest::s_hangulClip, FileSelectionTest::s_longClip,
    FileSelectionTest::s_textFile;

}  // namespace

TEST_F(FileSelectionTest, ADropOpensOnlyItsFirstFile)
{
    Open();
    Drop({s_clip, s_textFile, s_hangulClip});
    ExpectOpened(s_clip);
    EXPECT_EQ(LogText(), L"Success to open file(" + s_clip + L").");
}

TEST_F(FileSelectionTest, AnyDroppedPathIsTakenWholeAndAnswered)
{
    const struct { CString path; bool opens; } drops[] = {
        {s_hangulClip, true},
        {s_longClip, true},
        {s_folder->m_strPath, false},
        {s_folder->Path(L"missing.avi"), false},
        {s_textFile, false},
        {s_longClip + L"x", false},
        {s_clip, true},
    };
    Open();
    CString expectedLog;
    for (const auto& drop : drops) {
        Drop({drop.path});
        EXPECT_EQ(Text(IDC_SOURCE_PATH), drop.path);
        if (drop.opens) {
            ExpectOpened(drop.path);
        } else {
            EXPECT_EQ(Text(IDC_SOURCE_INFO), L"Unsupported file format.") << drop.path;
            // The size of the last source that opened stays.
            EXPECT_EQ(m_dialog->m_nSourceWidth, 320);
        }
        if (!expectedLog.IsEmpty())
            expectedLog += L"\r\n";
        expectedLog += (drop.opens ? L"Success to open file(" : L"Failed to open file(") + drop.path + L").";
    }
    EXPECT_EQ(LogText(), expectedLog);
}

TEST_F(FileSelectionTest, ASourceCanBeChosenWhileConverting)
{
    Open();
    m_dialog->m_bConverting = 1;
    Drop({s_hangulClip});
    ExpectOpened(s_hangulClip);
    m_dialog->m_bConverting = 0;
}

TEST_F(FileSelectionTest, TheFileDialogOpensTheChosenFileAndCancelChangesNothing)
{
    Open();
    WithModalAnswer(
        Window(), [](HWND fileDialog) { PostMessageW(fileDialog, WM_COMMAND, IDCANCEL, 0); },
        [&] { Click(IDC_SOURCE_BROWSE); });
    EXPECT_EQ(Text(IDC_SOURCE_PATH), L"");
    EXPECT_EQ(Text(IDC_SOURCE_INFO), L"Drag & Drop file here.");
    EXPECT_EQ(LogText(), L"");

    bool answered = false;
    WithModalAnswer(
        Window(), [&](HWND fileDialog) { answered = ui::AnswerOpenDialog(fileDialog, s_hangulClip); },
        [&] { Click(IDC_SOURCE_BROWSE); });
    EXPECT_TRUE(answered);
    ExpectOpened(s_hangulClip);
    EXPECT_EQ(LogText(), L"Success to open file(" + s_hangulClip + L").");
}

// The picker writes only the box; the folder becomes the option at the next collection.
TEST_F(FileSelectionTest, TheFolderPickerChangesOnlyTheBox)
{
    CTolvaneDlg& dialog = Open();
    Type(IDC_DEST_PATH, L"C:\\before");
    WithModalAnswer(
        Window(), [](HWND picker) { PostMessageW(picker, WM_COMMAND, IDCANCEL, 0); },
        [&] { Click(IDC_DEST_BROWSE); });
    EXPECT_EQ(Text(IDC_DEST_PATH), L"C:\\before");
    EXPECT_EQ(dialog.m_strDestPath, L"C:\\before");  // collected before the picker showed

    CString title;
    WithModalAnswer(
        Window(),
        [&](HWND picker) {
            title = ui::FindDescendant(picker, [](HWND w) { return ui::GetText(w) == L"Destination folder"; })
                        ? L"Destination folder" : L"";
            PostMessageW(picker, WM_COMMAND, IDOK, 0);
        },
        [&] { Click(IDC_DEST_BROWSE); });
    EXPECT_EQ(title, L"Destination folder");
    CString chosen = Text(IDC_DEST_PATH);
    EXPECT_NE(chosen, L"C:\\before");
    EXPECT_NE(GetFileAttributesW(chosen), INVALID_FILE_ATTRIBUTES) << chosen;
    EXPECT_EQ(dialog.m_strDestPath, L"C:\\before");
    dialog.CollectOptions();
    EXPECT_EQ(dialog.m_strDestPath, chosen);
}
