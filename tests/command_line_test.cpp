#include "conversion/CommandLineBuilder.h"

#include <climits>
#include <stdlib.h>

#include <gtest/gtest.h>

namespace {

// Everything the builder reads; the defaults are a typical two-pass VP8 job.
struct Request {
    CConversionOptions options;
    int passMode = FirstPass;
    CString source = LR"(D:\Video\holiday.mp4)";
    CString extra;
    int width = 1280;
    int height = 720;
    CString program = LR"(C:\Tools\Conv\)";

    Request() { options.m_strDestPath = LR"(D:\Out)"; }

    CCommandLine Build() const
    {
        return BuildCommandLine(options, passMode, source, extra, width, height, program);
    }
};

struct Case {
    const char* name;
    void (*edit)(Request&);
    const wchar_t* line;
    const wchar_t* outputBase;
    const wchar_t* passLogBase;
};

const Case kCases[] = {
    // Pass modes.
    {"first pass", [](Request&) {},
     LR"("C:\Tools\Conv\ffmpeg.exe" -y -i "D:\Video\holiday.mp4" -vcodec libvpx -vtag VP80 -aspect 1 -s 1280x720 -sws_flags lanczos -g 120 -b 4000000 -pass 1 -passlogfile "D:\Out\holiday" -an   "D:\Out\[out] holiday.avi")",
     LR"(D:\Out\[out] holiday)", LR"(D:\Out\holiday)"},
    {"second pass", [](Request& r) { r.passMode = SecondPass; },
     LR"("C:\Tools\Conv\ffmpeg.exe" -y -i "D:\Video\holiday.mp4" -vcodec libvpx -vtag VP80 -aspect 1 -s 1280x720 -sws_flags lanczos -g 120 -b 4000000 -pass 2 -passlogfile "D:\Out\holiday" -acodec mp2 -ac 2 -ar 44100 -ab 128k   "D:\Out\[out] holiday.avi")",
     LR"(D:\Out\[out] holiday)", LR"(D:\Out\holiday)"},
    {"single pass", [](Request& r) { r.passMode = SinglePass; },
     LR"("C:\Tools\Conv\ffmpeg.exe" -y -i "D:\Video\holiday.mp4" -vcodec libvpx -vtag VP80 -aspect 1 -s 1280x720 -sws_flags lanczos -g 120 -b 4000000 -acodec mp2 -ac 2 -ar 44100 -ab 128k   "D:\Out\[out] holiday.avi")",
     LR"(D:\Out\[out] holiday)", LR"(D:\Out\holiday)"},
    {"quality pass has one quality fragment and the size", [](Request& r) { r.passMode = QualityPass; },
     LR"("C:\Tools\Conv\ffmpeg.exe" -y -i "D:\Video\holiday.mp4" -vcodec libvpx -vtag VP80 -aspect 1 -s 1280x720 -sws_flags lanczos -g 120 -qmin 8 -qmax 8 -acodec mp2 -ac 2 -ar 44100 -ab 128k   "D:\Out\[out] holiday.avi")",
     LR"(D:\Out\[out] holiday)", LR"(D:\Out\holiday)"},
    {"quality pass resizes",
     [](Request& r) { r.passMode = QualityPass; r.options.m_bChangeVideoSize = 1; },
     LR"("C:\Tools\Conv\ffmpeg.exe" -y -i "D:\Video\holiday.mp4" -vcodec libvpx -vtag VP80 -aspect 1 -s 640x480 -sws_flags lanczos -g 120 -qmin 8 -qmax 8 -acodec mp2 -ac 2 -ar 44100 -ab 128k   "D:\Out\[out] holiday.avi")",
     LR"(D:\Out\[out] holiday)", LR"(D:\Out\holiday)"},
    {"unknown pass mode builds a single pass", [](Request& r) { r.passMode = 7; },
     LR"("C:\Tools\Conv\ffmpeg.exe" -y -i "D:\Video\holiday.mp4" -vcodec libvpx -vtag VP80 -aspect 1 -s 1280x720 -sws_flags lanczos -g 120 -b 4000000 -acodec mp2 -ac 2 -ar 44100 -ab 128k   "D:\Out\[out] holiday.avi")",
     LR"(D:\Out\[out] holiday)", LR"(D:\Out\holiday)"},

    // Options.
    {"bitrate in the file name", [](Request& r) { r.options.m_bBitrateFilename = 1; },
     LR"("C:\Tools\Conv\ffmpeg.exe" -y -i "D:\Video\holiday.mp4" -vcodec libvpx -vtag VP80 -aspect 1 -s 1280x720 -sws_flags lanczos -g 120 -b 4000000 -pass 1 -passlogfile "D:\Out\holiday" -an   "D:\Out\[out] holiday_4000k.avi")",
     LR"(D:\Out\[out] holiday_4000k)", LR"(D:\Out\holiday)"},
    {"mpeg-1", [](Request& r) { r.options.m_strVideoCodec = L"mpeg1video"; },
     LR"("C:\Tools\Conv\ffmpeg.exe" -y -i "D:\Video\holiday.mp4" -vcodec mpeg1video -vtag MPG1 -aspect 1 -s 1280x720 -sws_flags lanczos -g 120 -b 4000000 -pass 1 -passlogfile "D:\Out\holiday" -an   "D:\Out\[out] holiday.avi")",
     LR"(D:\Out\[out] holiday)", LR"(D:\Out\holiday)"},
    {"resizing", [](Request& r) { r.options.m_bChangeVideoSize = 1; },
     LR"("C:\Tools\Conv\ffmpeg.exe" -y -i "D:\Video\holiday.mp4" -vcodec libvpx -vtag VP80 -aspect 1 -s 640x480 -sws_flags lanczos -g 120 -b 4000000 -pass 1 -passlogfile "D:\Out\holiday" -an   "D:\Out\[out] holiday.avi")",
     LR"(D:\Out\[out] holiday)", LR"(D:\Out\holiday)"},
    {"frame rate between size and key frames", [](Request& r) { r.options.m_bChangeVideoFps = 1; },
     LR"("C:\Tools\Conv\ffmpeg.exe" -y -i "D:\Video\holiday.mp4" -vcodec libvpx -vtag VP80 -aspect 1 -s 1280x720 -sws_flags lanczos -r 30 -g 120 -b 4000000 -pass 1 -passlogfile "D:\Out\holiday" -an   "D:\Out\[out] holiday.avi")",
     LR"(D:\Out\[out] holiday)", LR"(D:\Out\holiday)"},
    {"no audio, second pass", [](Request& r) { r.passMode = SecondPass; r.options.m_bNoAudio = 1; },
     LR"("C:\Tools\Conv\ffmpeg.exe" -y -i "D:\Video\holiday.mp4" -vcodec libvpx -vtag VP80 -aspect 1 -s 1280x720 -sws_flags lanczos -g 120 -b 4000000 -pass 2 -passlogfile "D:\Out\holiday" -an   "D:\Out\[out] holiday.avi")",
     LR"(D:\Out\[out] holiday)", LR"(D:\Out\holiday)"},
    {"no audio, single pass", [](Request& r) { r.passMode = SinglePass; r.options.m_bNoAudio = 1; },
     LR"("C:\Tools\Conv\ffmpeg.exe" -y -i "D:\Video\holiday.mp4" -vcodec libvpx -vtag VP80 -aspect 1 -s 1280x720 -sws_flags lanczos -g 120 -b 4000000 -an   "D:\Out\[out] holiday.avi")",
     LR"(D:\Out\[out] holiday)", LR"(D:\Out\holiday)"},
    {"no audio, quality pass", [](Request& r) { r.passMode = QualityPass; r.options.m_bNoAudio = 1; },
     LR"("C:\Tools\Conv\ffmpeg.exe" -y -i "D:\Video\holiday.mp4" -vcodec libvpx -vtag VP80 -aspect 1 -s 1280x720 -sws_flags lanczos -g 120 -qmin 8 -qmax 8 -an   "D:\Out\[out] holiday.avi")",
     LR"(D:\Out\[out] holiday)", LR"(D:\Out\holiday)"},
    {"extra arguments before the output", [](Request& r) { r.extra = L"-threads 2 -loglevel error"; },
     LR"("C:\Tools\Conv\ffmpeg.exe" -y -i "D:\Video\holiday.mp4" -vcodec libvpx -vtag VP80 -aspect 1 -s 1280x720 -sws_flags lanczos -g 120 -b 4000000 -pass 1 -passlogfile "D:\Out\holiday" -an  -threads 2 -loglevel error "D:\Out\[out] holiday.avi")",
     LR"(D:\Out\[out] holiday)", LR"(D:\Out\holiday)"},

    // Source size.
    {"unknown source size leaves the size out", [](Request& r) { r.width = 0; r.height = 0; },
     LR"("C:\Tools\Conv\ffmpeg.exe" -y -i "D:\Video\holiday.mp4" -vcodec libvpx -vtag VP80 -aspect 1 -g 120 -b 4000000 -pass 1 -passlogfile "D:\Out\holiday" -an   "D:\Out\[out] holiday.avi")",
     LR"(D:\Out\[out] holiday)", LR"(D:\Out\holiday)"},
    {"zero height leaves the size out", [](Request& r) { r.passMode = SecondPass; r.height = 0; },
     LR"("C:\Tools\Conv\ffmpeg.exe" -y -i "D:\Video\holiday.mp4" -vcodec libvpx -vtag VP80 -aspect 1 -g 120 -b 4000000 -pass 2 -passlogfile "D:\Out\holiday" -acodec mp2 -ac 2 -ar 44100 -ab 128k   "D:\Out\[out] holiday.avi")",
     LR"(D:\Out\[out] holiday)", LR"(D:\Out\holiday)"},
    {"negative width leaves the size out", [](Request& r) { r.passMode = QualityPass; r.width = -1; },
     LR"("C:\Tools\Conv\ffmpeg.exe" -y -i "D:\Video\holiday.mp4" -vcodec libvpx -vtag VP80 -aspect 1 -g 120 -qmin 8 -qmax 8 -acodec mp2 -ac 2 -ar 44100 -ab 128k   "D:\Out\[out] holiday.avi")",
     LR"(D:\Out\[out] holiday)", LR"(D:\Out\holiday)"},
    {"resizing needs no source size",
     [](Request& r) { r.options.m_bChangeVideoSize = 1; r.width = 0; r.height = 0; },
     LR"("C:\Tools\Conv\ffmpeg.exe" -y -i "D:\Video\holiday.mp4" -vcodec libvpx -vtag VP80 -aspect 1 -s 640x480 -sws_flags lanczos -g 120 -b 4000000 -pass 1 -passlogfile "D:\Out\holiday" -an   "D:\Out\[out] holiday.avi")",
     LR"(D:\Out\[out] holiday)", LR"(D:\Out\holiday)"},

    // Destination folder.
    {"destination with its backslash", [](Request& r) { r.options.m_strDestPath = LR"(D:\Out\)"; },
     LR"("C:\Tools\Conv\ffmpeg.exe" -y -i "D:\Video\holiday.mp4" -vcodec libvpx -vtag VP80 -aspect 1 -s 1280x720 -sws_flags lanczos -g 120 -b 4000000 -pass 1 -passlogfile "D:\Out\holiday" -an   "D:\Out\[out] holiday.avi")",
     LR"(D:\Out\[out] holiday)", LR"(D:\Out\holiday)"},
    {"destination ending in a slash", [](Request& r) { r.options.m_strDestPath = L"D:/Out/"; },
     LR"("C:\Tools\Conv\ffmpeg.exe" -y -i "D:\Video\holiday.mp4" -vcodec libvpx -vtag VP80 -aspect 1 -s 1280x720 -sws_flags lanczos -g 120 -b 4000000 -pass 1 -passlogfile "D:/Out/\holiday" -an   "D:/Out/\[out] holiday.avi")",
     LR"(D:/Out/\[out] holiday)", LR"(D:/Out/\holiday)"},
    {"empty destination", [](Request& r) { r.options.m_strDestPath = L""; },
     LR"("C:\Tools\Conv\ffmpeg.exe" -y -i "D:\Video\holiday.mp4" -vcodec libvpx -vtag VP80 -aspect 1 -s 1280x720 -sws_flags lanczos -g 120 -b 4000000 -pass 1 -passlogfile "\holiday" -an   "\[out] holiday.avi")",
     LR"(\[out] holiday)", LR"(\holiday)"},

    // Texts that look like placeholders are not substituted.
    {"placeholders in the source path",
     [](Request& r) { r.source = LR"(D:\${VIDEO_TAG}\${VIDEO_GOP} ${PASS_NUM}.mp4)"; },
     LR"("C:\Tools\Conv\ffmpeg.exe" -y -i "D:\${VIDEO_TAG}\${VIDEO_GOP} ${PASS_NUM}.mp4" -vcodec libvpx -vtag VP80 -aspect 1 -s 1280x720 -sws_flags lanczos -g 120 -b 4000000 -pass 1 -passlogfile "D:\Out\${VIDEO_GOP} ${PASS_NUM}" -an   "D:\Out\[out] ${VIDEO_GOP} ${PASS_NUM}.avi")",
     LR"(D:\Out\[out] ${VIDEO_GOP} ${PASS_NUM})", LR"(D:\Out\${VIDEO_GOP} ${PASS_NUM})"},
    {"placeholders in the folders",
     [](Request& r) {
         r.options.m_strDestPath = LR"(D:\${EXE_PATH_NAME})";
         r.program = LR"(C:\${VIDEO_SIZE}${INPUTFILE_PATH_NAME}\)";
     },
     LR"("C:\${VIDEO_SIZE}${INPUTFILE_PATH_NAME}\ffmpeg.exe" -y -i "D:\Video\holiday.mp4" -vcodec libvpx -vtag VP80 -aspect 1 -s 1280x720 -sws_flags lanczos -g 120 -b 4000000 -pass 1 -passlogfile "D:\${EXE_PATH_NAME}\holiday" -an   "D:\${EXE_PATH_NAME}\[out] holiday.avi")",
     LR"(D:\${EXE_PATH_NAME}\[out] holiday)", LR"(D:\${EXE_PATH_NAME}\holiday)"},
    {"placeholders in a codec and a size",
     [](Request& r) {
         r.options.m_strVideoCodec = L"${VIDEO_TAG}";
         r.options.m_bChangeVideoSize = 1;
         r.options.m_strVideoSize = L"${VIDEO_GOP}";
     },
     LR"("C:\Tools\Conv\ffmpeg.exe" -y -i "D:\Video\holiday.mp4" -vcodec ${VIDEO_TAG} -vtag  -aspect 1 -s ${VIDEO_GOP} -sws_flags lanczos -g 120 -b 4000000 -pass 1 -passlogfile "D:\Out\holiday" -an   "D:\Out\[out] holiday.avi")",
     LR"(D:\Out\[out] holiday)", LR"(D:\Out\holiday)"},
    {"placeholders in the extra arguments", [](Request& r) { r.extra = L"-metadata title=${VIDEO_GOP}"; },
     LR"("C:\Tools\Conv\ffmpeg.exe" -y -i "D:\Video\holiday.mp4" -vcodec libvpx -vtag VP80 -aspect 1 -s 1280x720 -sws_flags lanczos -g 120 -b 4000000 -pass 1 -passlogfile "D:\Out\holiday" -an  -metadata title=${VIDEO_GOP} "D:\Out\[out] holiday.avi")",
     LR"(D:\Out\[out] holiday)", LR"(D:\Out\holiday)"},

    // Whatever else the dialog can hand over.
    {"hangul and spaces",
     [](Request& r) {
         r.passMode = SecondPass;
         r.source = LR"(D:\내 동영상\여름 휴가.mp4)";
         r.options.m_strDestPath = LR"(E:\변환 결과)";
     },
     LR"("C:\Tools\Conv\ffmpeg.exe" -y -i "D:\내 동영상\여름 휴가.mp4" -vcodec libvpx -vtag VP80 -aspect 1 -s 1280x720 -sws_flags lanczos -g 120 -b 4000000 -pass 2 -passlogfile "E:\변환 결과\여름 휴가" -acodec mp2 -ac 2 -ar 44100 -ab 128k   "E:\변환 결과\[out] 여름 휴가.avi")",
     LR"(E:\변환 결과\[out] 여름 휴가)", LR"(E:\변환 결과\여름 휴가)"},
    {"negative numbers",
     [](Request& r) {
         r.passMode = SinglePass;
         r.options.m_bChangeVideoFps = 1;
         r.options.m_bBitrateFilename = 1;
         r.options.m_nVideoBitrate = -5;
         r.options.m_nVideoFps = -30;
         r.options.m_nVideoGop = -1;
         r.options.m_nAudioBitrate = -128;
         r.options.m_nAudioSamplerate = -44100;
     },
     LR"("C:\Tools\Conv\ffmpeg.exe" -y -i "D:\Video\holiday.mp4" -vcodec libvpx -vtag VP80 -aspect 1 -s 1280x720 -sws_flags lanczos -r -30 -g -1 -b -5000 -acodec mp2 -ac 2 -ar -44100 -ab -128k   "D:\Out\[out] holiday_-5k.avi")",
     LR"(D:\Out\[out] holiday_-5k)", LR"(D:\Out\holiday)"},
    {"zero numbers",
     [](Request& r) {
         r.passMode = SinglePass;
         r.options.m_bChangeVideoFps = 1;
         r.options.m_bBitrateFilename = 1;
         r.options.m_nVideoBitrate = 0;
         r.options.m_nVideoFps = 0;
         r.options.m_nVideoGop = 0;
         r.options.m_nAudioBitrate = 0;
         r.options.m_nAudioSamplerate = 0;
     },
     LR"("C:\Tools\Conv\ffmpeg.exe" -y -i "D:\Video\holiday.mp4" -vcodec libvpx -vtag VP80 -aspect 1 -s 1280x720 -sws_flags lanczos -r 0 -g 0 -b 0 -acodec mp2 -ac 2 -ar 0 -ab 0k   "D:\Out\[out] holiday_0k.avi")",
     LR"(D:\Out\[out] holiday_0k)", LR"(D:\Out\holiday)"},
    {"negative quantiser", [](Request& r) { r.passMode = QualityPass; r.options.m_nVideoQscale = -3; },
     LR"("C:\Tools\Conv\ffmpeg.exe" -y -i "D:\Video\holiday.mp4" -vcodec libvpx -vtag VP80 -aspect 1 -s 1280x720 -sws_flags lanczos -g 120 -qmin -3 -qmax -3 -acodec mp2 -ac 2 -ar 44100 -ab 128k   "D:\Out\[out] holiday.avi")",
     LR"(D:\Out\[out] holiday)", LR"(D:\Out\holiday)"},
    {"largest bitrate does not overflow",
     [](Request& r) { r.options.m_nVideoBitrate = INT_MAX; r.options.m_bBitrateFilename = 1; },
     LR"("C:\Tools\Conv\ffmpeg.exe" -y -i "D:\Video\holiday.mp4" -vcodec libvpx -vtag VP80 -aspect 1 -s 1280x720 -sws_flags lanczos -g 120 -b 2147483647000 -pass 1 -passlogfile "D:\Out\holiday" -an   "D:\Out\[out] holiday_2147483647k.avi")",
     LR"(D:\Out\[out] holiday_2147483647k)", LR"(D:\Out\holiday)"},
    {"smallest bitrate does not overflow",
     [](Request& r) { r.passMode = SecondPass; r.options.m_nVideoBitrate = INT_MIN; r.options.m_bNoAudio = 1; },
     LR"("C:\Tools\Conv\ffmpeg.exe" -y -i "D:\Video\holiday.mp4" -vcodec libvpx -vtag VP80 -aspect 1 -s 1280x720 -sws_flags lanczos -g 120 -b -2147483648000 -pass 2 -passlogfile "D:\Out\holiday" -an   "D:\Out\[out] holiday.avi")",
     LR"(D:\Out\[out] holiday)", LR"(D:\Out\holiday)"},
    {"unknown codec has no tag", [](Request& r) { r.options.m_strVideoCodec = L"LibVPX"; },
     LR"("C:\Tools\Conv\ffmpeg.exe" -y -i "D:\Video\holiday.mp4" -vcodec LibVPX -vtag  -aspect 1 -s 1280x720 -sws_flags lanczos -g 120 -b 4000000 -pass 1 -passlogfile "D:\Out\holiday" -an   "D:\Out\[out] holiday.avi")",
     LR"(D:\Out\[out] holiday)", LR"(D:\Out\holiday)"},
    {"empty texts",
     [](Request& r) {
         r.passMode = SinglePass;
         r.source = L"";
         r.options.m_strVideoCodec = L"";
         r.options.m_bChangeVideoSize = 1;
         r.options.m_strVideoSize = L"";
         r.options.m_strAudioChannel = L"";
     },
     LR"("C:\Tools\Conv\ffmpeg.exe" -y -i "" -vcodec  -vtag  -aspect 1 -s  -sws_flags lanczos -g 120 -b 4000000 -acodec mp2 -ac 0 -ar 44100 -ab 128k   "D:\Out\[out] .avi")",
     LR"(D:\Out\[out] )", LR"(D:\Out\)"},
};

TEST(CommandLineTest, BuildsTheLineAndPathsForEachCase)
{
    for (const Case& c : kCases) {
        Request request;
        c.edit(request);
        CCommandLine built = request.Build();
        EXPECT_STREQ(built.strCommandLine, c.line) << c.name;
        EXPECT_STREQ(built.strOutputBase, c.outputBase) << c.name;
        EXPECT_STREQ(built.strOutputPath, CString(c.outputBase) + L".avi") << c.name;
        EXPECT_STREQ(built.strPassLogBase, c.passLogBase) << c.name;
    }
}

TEST(CommandLineTest, ChannelCountIsTheLeadingNumber)
{
    struct ChannelCase { const wchar_t* text; const wchar_t* argument; };
    const ChannelCase cases[] = {
        {L"1(mono)", L" -ac 1 "},
        {L"2(stereo)", L" -ac 2 "},
        {L"2", L" -ac 2 "},
        {L"  6 channels", L" -ac 6 "},
        {L"-1(odd)", L" -ac -1 "},
        {L"stereo", L" -ac 0 "},
        {L"(2)", L" -ac 0 "},
        {L"", L" -ac 0 "},
    };
    for (const ChannelCase& c : cases) {
        Request request;
        request.passMode = SinglePass;
        request.options.m_strAudioChannel = c.text;
        EXPECT_NE(request.Build().strCommandLine.Find(c.argument), -1) << c.text;
    }
}

// The base name is the last component without its extension, split as the runtime's
// path splitter does it.
TEST(CommandLineTest, SourceBaseNameSplitsLikeTheRuntime)
{
    struct SplitCase { const wchar_t* source; const wchar_t* baseName; };
    const SplitCase cases[] = {
        {LR"(D:\Video\holiday.mp4)", L"holiday"},
        {L"D:/Video/holiday.mp4", L"holiday"},
        {LR"(D:\Video/mixed\clip.tar.gz)", L"clip.tar"},
        {L"holiday.mp4", L"holiday"},
        {L"D:holiday.mp4", L"holiday"},
        {LR"(\\server\share\film.mkv)", L"film"},
        {LR"(D:\Video.d\noext)", L"noext"},
        {LR"(D:\Video\.hidden)", L""},
        {LR"(D:\Video\trailing.)", L"trailing"},
        {LR"(D:\Video\)", L""},
        {L"D:", L""},
        {L"", L""},
        {LR"(D:\Video\ spaced name .mp4)", L" spaced name "},
    };
    for (const SplitCase& c : cases) {
        Request request;
        request.source = c.source;
        EXPECT_STREQ(request.Build().strPassLogBase, CString(LR"(D:\Out\)") + c.baseName) << c.source;

        wchar_t drive[_MAX_DRIVE], dir[_MAX_DIR], fname[_MAX_FNAME], ext[_MAX_EXT];
        _wsplitpath(c.source, drive, dir, fname, ext);
        EXPECT_STREQ(fname, c.baseName) << c.source;
    }
}

TEST(CommandLineTest, LongBaseNameIsKeptWhole)
{
    const CString longName(L'\xAC00', 300);
    Request request;
    request.source = LR"(D:\Video\)" + longName + L".mp4";
    request.options.m_bBitrateFilename = 1;
    CCommandLine built = request.Build();
    EXPECT_STREQ(built.strOutputBase, LR"(D:\Out\[out] )" + longName + L"_4000k");
    EXPECT_STREQ(built.strPassLogBase, LR"(D:\Out\)" + longName);
    EXPECT_NE(built.strCommandLine.Find(L"-passlogfile \"" + built.strPassLogBase + L"\" -an"), -1);
}

}  // namespace
