// The program under a Korean user: the Korean window, Korean messages, the English about box.
#include "DialogFixture.h"
#include "ProgramRun.h"
#include "TestFiles.h"

#include <vector>

namespace {

const wchar_t kProgram[] = TOLVANE_WIN_BIN_DIR L"Tolvane.exe";

std::vector<CString> ChildTexts(HWND window)
{
    std::vector<CString> texts;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        texts.push_back(ui::GetText(child));
    return texts;
}

class KoreanUiTest : public MainDialogTest {
protected:
    static void SetUpTestSuite()
    {
        s_folder = new testfiles::CTempFolder(L"한국어 시험");
        s_clip = s_folder->Path(L"동영상.avi");
        ASSERT_TRUE(testfiles::MakeClip(s_clip));
    }
    static void TearDownTestSuite() { delete s_folder; }

    static testfiles::CTempFolder* s_folder;
    static CString s_clip;
};

testfiles::CTempFolder* KoreanUiTest::s_folder;
CString KoreanUiTest::s_clip;

}  // namespace

// This test program runs under LC_ALL=ko_KR.UTF-8, which Wine turns into the user's language.
TEST_F(KoreanUiTest, TheUsersLanguageIsKorean)
{
    EXPECT_EQ(GetUserDefaultLangID(), 0x0412);
}

TEST_F(KoreanUiTest, TheProgramShowsTheKoreanWindowAndMessagesAndTheEnglishAboutBox)
{
    CProgramRun run;
    HWND main = run.Start(kProgram);
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(ui::GetItemText(main, IDC_START), L"변환 시작");
    EXPECT_EQ(ui::GetItemText(main, IDC_DEFAULT), L"초기화");
    EXPECT_EQ(ui::GetItemText(main, IDC_SOURCE_INFO), L"드래그&드롭으로 파일을 열 수 있습니다.");

    // A source through the file dialog: the description and the log line in Korean.
    ui::PostClick(run.Item(IDC_SOURCE_BROWSE));
    HWND fileDialog = ui::WaitForOwnedDialog(main);
    ASSERT_NE(fileDialog, nullptr);
    ASSERT_TRUE(ui::AnswerOpenDialog(fileDialog, s_clip));
    ASSERT_TRUE(ui::WaitUntil([&] { return ui::GetItemText(main, IDC_SOURCE_PATH) == s_clip; }));
    CString info = ui::GetItemText(main, IDC_SOURCE_INFO);
    EXPECT_EQ(info.Find(L"영상 크기: 320 x 240\r\n영상 코덱: "), 0) << info;
    EXPECT_NE(info.Find(L"\r\n재생 시간: 2 sec \r\n"), -1) << info;
    EXPECT_EQ(ui::GetText(GetDlgItem(main, 1)), L"파일(" + s_clip + L")을 열었습니다.");

    // The about box is the same in every language.
    ui::PostClick(run.Item(IDC_ABOUT));
    HWND about = ui::WaitForOwnedDialog(main);
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(ui::GetText(about), L"About");
    std::vector<CString> texts = ChildTexts(about);
    ASSERT_GE(texts.size(), 9u);
    EXPECT_EQ(texts[1], L"Tolvane, Copyright (C) 2026 Tolvane Project");
    EXPECT_EQ(texts[7], L"mediainfo library(LGPL): https://mediaarea.net/MediaInfo");
    ui::PostKey(about, VK_ESCAPE);
    EXPECT_TRUE(ui::WaitUntil([&] { return !IsWindow(about); }));

    ui::PostKey(main, VK_ESCAPE);
    EXPECT_EQ(run.WaitForExit(), 0);
}

TEST_F(KoreanUiTest, MessagesInTheDialogAreKorean)
{
    CTolvaneDlg& dialog = Open(IDD_TOLVANE_DIALOG_KO);
    EXPECT_EQ(Text(IDC_SOURCE_INFO), L"드래그&드롭으로 파일을 열 수 있습니다.");
    CString missing = s_folder->Path(L"없는 파일.avi");
    dialog.OpenSourceFile(missing);
    EXPECT_EQ(Text(IDC_SOURCE_INFO), L"알 수 없는 동영상 파일 포맷입니다.");
    EXPECT_EQ(LogText(), L"파일(" + missing + L")열기를 실패하였습니다.");

    CString title;
    WithModalAnswer(
        Window(),
        [&](HWND picker) {
            if (ui::FindDescendant(picker, [](HWND w) { return ui::GetText(w) == L"대상 폴더 지정"; }))
                title = L"대상 폴더 지정";
            PostMessageW(picker, WM_COMMAND, IDCANCEL, 0);
        },
        [&] { Click(IDC_DEST_BROWSE); });
    EXPECT_EQ(title, L"대상 폴더 지정");

    dialog.m_bConverting = 1;
    CString text;
    WithModalAnswer(
        Window(),
        [&](HWND box) {
            text = ui::GetItemText(box, 0xFFFF);
            PostMessageW(box, WM_COMMAND, IDOK, 0);
        },
        [&] { SendMessageW(Window(), WM_COMMAND, IDCANCEL, 0); });
    EXPECT_EQ(text, L"파일을 변환중 입니다.");
    dialog.m_bConverting = 0;
}
