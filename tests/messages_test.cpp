#include "app/Messages.h"

#include <stdlib.h>

#include <gtest/gtest.h>

namespace {

struct MessageCase {
    int index;
    const wchar_t* english;
    const wchar_t* korean;
};

const MessageCase kMessages[] = {
    {MSG_DROP_HINT, L"Drag & Drop file here.", L"드래그&드롭으로 파일을 열 수 있습니다."},
    {MSG_CONVERTING, L"Converting..", L"파일을 변환중 입니다."},
    {MSG_OPEN_FAILED, L"Failed to open file(%s).", L"파일(%s)열기를 실패하였습니다."},
    {MSG_UNSUPPORTED_FORMAT, L"Unsupported file format.", L"알 수 없는 동영상 파일 포맷입니다."},
    {MSG_SOURCE_INFO,
     L"Video resolution: %d x %d\r\nVideo codec: %s\r\nVideo bitrate: %dkb\r\nAudio codec: %s\r\n"
     L"Audio channels: %d\r\nAudio bitrate: %dkb\r\nPlay time: %d sec \r\n",
     L"영상 크기: %d x %d\r\n영상 코덱: %s\r\n영상 비트레이트: %dkb\r\n음성 코덱: %s\r\n"
     L"음성 채널수: %d\r\n음성 비트레이트: %dkb\r\n재생 시간: %d sec \r\n"},
    {MSG_OPEN_SUCCEEDED, L"Success to open file(%s).", L"파일(%s)을 열었습니다."},
    {MSG_START_FAILED, L"Failed to convert file", L"동영상 변환 시작을 실패하였습니다."},
    {MSG_START, L"Start converting.", L"동영상 변환을 시작합니다."},
    {MSG_STOP, L"Cancel", L"동영상 변환을 중지합니다."},
    {MSG_COMPLETED, L"Completed", L"작업이 끝났습니다."},
    {MSG_DEST_FOLDER_TITLE, L"Destination folder", L"대상 폴더 지정"},
    {MSG_CONVERT_FAILED, L"Conversion failed (exit code %d)", L"동영상 변환에 실패하였습니다 (종료 코드 %d)."},
    {MSG_SCRAMBLE_FAILED, L"Failed to create encrypted file(%s).", L"암호화된 파일(%s) 생성에 실패하였습니다."},
};

TEST(MessagesTest, EveryMessageInTheLanguageOfTheLanguageId)
{
    ASSERT_EQ(sizeof(kMessages) / sizeof(kMessages[0]), static_cast<size_t>(MSG_COUNT));
    struct LanguageCase { LANGID language; bool korean; };
    const LanguageCase languages[] = {
        {0x0412, true},   // Korean
        {0x0409, false},  // English (United States)
        {0x0411, false},  // Japanese
        {0x0804, false},  // Chinese (Simplified)
    };
    for (const LanguageCase& l : languages) {
        EXPECT_EQ(IsKoreanUser(l.language), l.korean) << std::hex << l.language;
        for (const MessageCase& m : kMessages) {
            EXPECT_STREQ(GetMessageText(m.index, l.language), l.korean ? m.korean : m.english)
                << "index " << m.index << " language " << std::hex << l.language;
        }
    }
}

// The one-argument forms follow the user's default language of the moment. The CTest
// entries run this under a Korean and an English locale and name the expected language.
TEST(MessagesTest, DefaultFormsFollowTheUsersLanguage)
{
    const LANGID language = GetUserDefaultLangID();
    const char* expected = getenv("TOLVANE_EXPECTED_LANGID");
    if (expected) {
        EXPECT_EQ(language, static_cast<LANGID>(strtoul(expected, nullptr, 16)));
    }
    EXPECT_EQ(IsKoreanUser(), IsKoreanUser(language));
    for (const MessageCase& m : kMessages)
        EXPECT_EQ(GetMessageText(m.index), GetMessageText(m.index, language)) << m.index;
}

}  // namespace
