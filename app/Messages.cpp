#include "app/Messages.h"

namespace {

struct MessageTexts {
    const wchar_t* english;
    const wchar_t* korean;
};

const MessageTexts kMessages[MSG_COUNT] = {
    {L"Drag & Drop file here.", L"드래그&드롭으로 파일을 열 수 있습니다."},
    {L"Converting..", L"파일을 변환중 입니다."},
    {L"Failed to open file(%s).", L"파일(%s)열기를 실패하였습니다."},
    {L"Unsupported file format.", L"알 수 없는 동영상 파일 포맷입니다."},
    {L"Video resolution: %d x %d\r\nVideo codec: %s\r\nVideo bitrate: %dkb\r\n"
     L"Audio codec: %s\r\nAudio channels: %d\r\nAudio bitrate: %dkb\r\nPlay time: %d sec \r\n",
     L"영상 크기: %d x %d\r\n영상 코덱: %s\r\n영상 비트레이트: %dkb\r\n"
     L"음성 코덱: %s\r\n음성 채널수: %d\r\n음성 비트레이트: %dkb\r\n재생 시간: %d sec \r\n"},
    {L"Success to open file(%s).", L"파일(%s)을 열었습니다."},
    {L"Failed to convert file", L"동영상 변환 시작을 실패하였습니다."},
    {L"Start converting.", L"동영상 변환을 시작합니다."},
    {L"Cancel", L"동영상 변환을 중지합니다."},
    {L"Completed", L"작업이 끝났습니다."},
    {L"Destination folder", L"대상 폴더 지정"},
    {L"Conversion failed (exit code %d)", L"동영상 변환에 실패하였습니다 (종료 코드 %d)."},
    {L"Failed to create encrypted file(%s).", L"암호화된 파일(%s) 생성에 실패하였습니다."},
};

}  // namespace

bool IsKoreanUser(LANGID language)
{
    // Only Korean (0x0412) has 0x12 in the low eight bits.
    return (language & 0xFF) == LANG_KOREAN;
}

bool IsKoreanUser()
{
    return IsKoreanUser(GetUserDefaultLangID());
}

const wchar_t* GetMessageText(int index, LANGID language)
{
    const MessageTexts& texts = kMessages[index];
    return IsKoreanUser(language) ? texts.korean : texts.english;
}

const wchar_t* GetMessageText(int index)
{
    return GetMessageText(index, GetUserDefaultLangID());
}
