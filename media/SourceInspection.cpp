#include "media/SourceInspection.h"

#include "app/Messages.h"
#include "media/AudioFormatNames.h"

#include <cwchar>
#include <cwctype>

namespace {

// Leading blanks, a sign and decimal digits; 0 when there are none, clamped to 32 bits.
// long is 32 bits on Windows, so wcstol clamps.
int ReadDecimal(const CString& text)
{
    return static_cast<int>(wcstol(text, nullptr, 10));
}

int HexDigitValue(wchar_t ch)
{
    if (ch >= L'0' && ch <= L'9')
        return ch - L'0';
    if (ch >= L'a' && ch <= L'f')
        return ch - L'a' + 10;
    if (ch >= L'A' && ch <= L'F')
        return ch - L'A' + 10;
    return -1;
}

// True when the whole text, blanks around it aside, is a hexadecimal number of at most
// 32 bits, with or without "0x".
bool ReadFormatTag(const CString& text, DWORD& tag)
{
    const wchar_t* p = text;
    while (iswspace(*p))
        ++p;
    if (p[0] == L'0' && (p[1] == L'x' || p[1] == L'X'))
        p += 2;
    unsigned long long value = 0;
    int digits = 0;
    for (int digit; (digit = HexDigitValue(*p)) >= 0; ++p, ++digits) {
        value = value * 16 + digit;
        if (value > 0xFFFFFFFFull)
            return false;
    }
    while (iswspace(*p))
        ++p;
    if (digits == 0 || *p != L'\0')
        return false;
    tag = static_cast<DWORD>(value);
    return true;
}

// Older libraries name an audio format by its tag number; newer ones by name.
CString ShownAudioCodec(const CString& codec)
{
    DWORD tag = 0;
    if (codec == L"AC3" || codec == L"A_AC3" || codec == L"AAC" || !ReadFormatTag(codec, tag) || tag == 0)
        return codec;
    return GetAudioFormatName(tag);
}

// Current libraries answer only the newer parameter name; older ones only the first.
CString GetEither(CMediaInfo& media, int streamKind, const wchar_t* parameter, const wchar_t* newerParameter)
{
    CString value = media.Get(streamKind, parameter);
    if (value.IsEmpty())
        value = media.Get(streamKind, newerParameter);
    return value;
}

}  // namespace

bool InspectSource(CMediaInfo& media, const CString& path, CSourceDescription& description, LANGID language)
{
    if (media.Open(path) == 0)
        return false;
    const int width = ReadDecimal(media.Get(MEDIA_STREAM_VIDEO, L"Width"));
    const int height = ReadDecimal(media.Get(MEDIA_STREAM_VIDEO, L"Height"));
    const CString videoCodec = GetEither(media, MEDIA_STREAM_VIDEO, L"Codec", L"Format");
    const int videoBitrate = ReadDecimal(GetEither(media, MEDIA_STREAM_VIDEO, L"Bitrate", L"BitRate"));
    const CString audioCodec = GetEither(media, MEDIA_STREAM_AUDIO, L"Codec", L"Format");
    const int channels = ReadDecimal(media.Get(MEDIA_STREAM_AUDIO, L"Channels"));
    const int audioBitrate = ReadDecimal(GetEither(media, MEDIA_STREAM_AUDIO, L"Bitrate", L"BitRate"));
    const int playTime = ReadDecimal(media.Get(MEDIA_STREAM_GENERAL, L"PlayTime"));
    media.Close();

    // The library opens any readable file; one in which it finds neither a video nor an audio
    // stream (an empty file, a text, a video cut before its index) is not a source.
    if (width == 0 && height == 0 && videoCodec.IsEmpty() && audioCodec.IsEmpty() && channels == 0)
        return false;

    description.nWidth = width;
    description.nHeight = height;
    description.strInfo.Format(GetMessageText(MSG_SOURCE_INFO, language), width, height, videoCodec.GetString(),
                               videoBitrate / 1000, ShownAudioCodec(audioCodec).GetString(), channels,
                               audioBitrate / 1000, playTime / 1000);
    return true;
}

bool InspectSource(CMediaInfo& media, const CString& path, CSourceDescription& description)
{
    return InspectSource(media, path, description, GetUserDefaultLangID());
}
