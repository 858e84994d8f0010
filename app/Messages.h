#pragma once
// The program's own messages to the user, in Korean and English.
#include <windows.h>

enum MessageId {
    MSG_DROP_HINT = 0,
    MSG_CONVERTING = 1,
    MSG_OPEN_FAILED = 2,
    MSG_UNSUPPORTED_FORMAT = 3,
    MSG_SOURCE_INFO = 4,
    MSG_OPEN_SUCCEEDED = 5,
    MSG_START_FAILED = 6,
    MSG_START = 7,
    MSG_STOP = 8,
    MSG_COMPLETED = 9,
    MSG_DEST_FOLDER_TITLE = 10,
    MSG_CONVERT_FAILED = 11,
    MSG_SCRAMBLE_FAILED = 12,
    MSG_COUNT
};

// Korean when the primary language of the given (or the user's default) language is Korean.
bool IsKoreanUser(LANGID language);
bool IsKoreanUser();

// The constant text of a message, in the language the user has at the moment of the call.
const wchar_t* GetMessageText(int index, LANGID language);
const wchar_t* GetMessageText(int index);
