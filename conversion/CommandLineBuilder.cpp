#include "conversion/CommandLineBuilder.h"

#include <stdlib.h>
#include <wchar.h>

#include <iterator>

namespace {

// Every piece ends in one blank, so pieces join without further separators.
const wchar_t kTemplate[] =
    L"${EXE_PATH_NAME} -y -i ${INPUTFILE_PATH_NAME} -vcodec ${VIDEO_CODEC} -vtag ${VIDEO_TAG} -aspect 1 ";
const wchar_t kBitrateFragment[] = L"-b ${VIDEO_BITRATE} ";
const wchar_t kQualityFragment[] = L"-qmin ${VIDEO_QSCALE} -qmax ${VIDEO_QSCALE} ";
const wchar_t kSizeFragment[] = L"-s ${VIDEO_SIZE} -sws_flags lanczos ";
const wchar_t kFrameRateFragment[] = L"-r ${VIDEO_FRAMERATE} ";
const wchar_t kKeyframeFragment[] = L"-g ${VIDEO_GOP} ";
const wchar_t kAudioFragment[] =
    L"-acodec mp2 -ac ${AUDIO_CHANNEL} -ar ${AUDIO_SAMPLERATE} -ab ${AUDIO_BITRATE} ";
const wchar_t kPassFragment[] = L"-pass ${PASS_NUM} -passlogfile ${PASS_LOGFILE_PATH_NAME} ";
const wchar_t kNoAudioFragment[] = L"-an ";

struct Placeholder {
    const wchar_t* name;
    CString value;
};

CString FormatNumber(const wchar_t* format, int value)
{
    CString text;
    text.Format(format, value);
    return text;
}

CString Quoted(const CString& text)
{
    return L"\"" + text + L"\"";
}

// The last path component without its extension, split as _wsplitpath splits it
// (a leading drive, both slashes, the extension from the last full stop), at any length.
CString SourceBaseName(const CString& path)
{
    int nameStart = (path.GetLength() >= 2 && path[1] == L':') ? 2 : 0;
    for (int i = nameStart; i < path.GetLength(); ++i) {
        if (path[i] == L'\\' || path[i] == L'/')
            nameStart = i + 1;
    }
    CString name = path.Mid(nameStart);
    int dot = name.ReverseFind(L'.');
    return dot < 0 ? name : name.Left(dot);
}

// One scan from left to right: inserted values are never searched for placeholders again.
CString SubstitutePlaceholders(const CString& text, const Placeholder* placeholders, size_t count)
{
    CString result;
    const wchar_t* p = text.GetString();
    while (*p) {
        const Placeholder* hit = nullptr;
        for (size_t i = 0; i < count && !hit && *p == L'$'; ++i) {
            if (wcsncmp(p, placeholders[i].name, wcslen(placeholders[i].name)) == 0)
                hit = &placeholders[i];
        }
        if (hit) {
            result += hit->value;
            p += wcslen(hit->name);
        } else {
            result += *p++;
        }
    }
    return result;
}

}  // namespace

CCommandLine BuildCommandLine(const CConversionOptions& options, int passMode,
                              const CString& sourcePath, const CString& extraArgs,
                              int sourceWidth, int sourceHeight, const CString& programFolder)
{
    CString destFolder = options.m_strDestPath;
    if (destFolder.IsEmpty() || destFolder[destFolder.GetLength() - 1] != L'\\')
        destFolder += L'\\';
    CString baseName = SourceBaseName(sourcePath);

    CCommandLine result;
    result.strOutputBase = destFolder + L"[out] " + baseName;
    if (options.m_bBitrateFilename)
        result.strOutputBase += FormatNumber(L"_%dk", options.m_nVideoBitrate);
    result.strOutputPath = result.strOutputBase + L".avi";
    result.strPassLogBase = destFolder + baseName;

    CString videoTag;
    if (options.m_strVideoCodec == L"mpeg1video")
        videoTag = L"MPG1";
    else if (options.m_strVideoCodec == L"libvpx")
        videoTag = L"VP80";

    // Bits per second in 64 bits: a large kbit/s figure must not overflow.
    CString videoBitrate;
    videoBitrate.Format(L"%I64d", 1000LL * options.m_nVideoBitrate);

    CString videoSize = options.m_strVideoSize;
    if (!options.m_bChangeVideoSize)
        videoSize.Format(L"%dx%d", sourceWidth, sourceHeight);

    const Placeholder placeholders[] = {
        {L"${EXE_PATH_NAME}", Quoted(programFolder + L"ffmpeg.exe")},
        {L"${INPUTFILE_PATH_NAME}", Quoted(sourcePath)},
        {L"${VIDEO_CODEC}", options.m_strVideoCodec},
        {L"${VIDEO_TAG}", videoTag},
        {L"${VIDEO_BITRATE}", videoBitrate},
        {L"${VIDEO_QSCALE}", FormatNumber(L"%d", options.m_nVideoQscale)},
        {L"${VIDEO_FRAMERATE}", FormatNumber(L"%d", options.m_nVideoFps)},
        {L"${VIDEO_GOP}", FormatNumber(L"%d", options.m_nVideoGop)},
        {L"${AUDIO_BITRATE}", FormatNumber(L"%dk", options.m_nAudioBitrate)},
        {L"${AUDIO_CHANNEL}", FormatNumber(L"%d", _wtoi(options.m_strAudioChannel))},
        {L"${AUDIO_SAMPLERATE}", FormatNumber(L"%d", options.m_nAudioSamplerate)},
        {L"${PASS_NUM}", FormatNumber(L"%d", passMode - 1)},
        {L"${PASS_LOGFILE_PATH_NAME}", Quoted(result.strPassLogBase)},
        {L"${VIDEO_SIZE}", videoSize},
    };

    CString line = kTemplate;
    // Without resizing and without a known source size, "-s 0x0" would fail every conversion.
    if (options.m_bChangeVideoSize || (sourceWidth > 0 && sourceHeight > 0))
        line += kSizeFragment;
    if (options.m_bChangeVideoFps)
        line += kFrameRateFragment;
    line += kKeyframeFragment;
    const wchar_t* audio = options.m_bNoAudio ? kNoAudioFragment : kAudioFragment;
    switch (passMode) {
    case QualityPass:
        line += kQualityFragment;
        line += audio;
        break;
    case FirstPass:  // the first pass never writes audio
        line += kBitrateFragment;
        line += kPassFragment;
        line += kNoAudioFragment;
        break;
    case SecondPass:
        line += kBitrateFragment;
        line += kPassFragment;
        line += audio;
        break;
    default:
        line += kBitrateFragment;
        line += audio;
        break;
    }

    result.strCommandLine = SubstitutePlaceholders(line, placeholders, std::size(placeholders));
    result.strCommandLine += L" " + extraArgs + L" " + Quoted(result.strOutputPath);
    return result;
}
