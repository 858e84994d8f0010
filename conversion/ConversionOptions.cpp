#include "conversion/ConversionOptions.h"

void CConversionOptions::SetDefaultOptions()
{
    m_strVideoCodec = L"libvpx";
    m_bVideoVBR = 0;
    m_bChangeVideoSize = 0;
    m_bChangeVideoFps = 0;
    m_nVideoBitrate = 4000;
    m_nVideoQscale = 8;
    m_nVideoFps = 30;
    m_nVideoGop = 120;
    m_nAudioBitrate = 128;
    m_nAudioSamplerate = 44100;
    m_strVideoSize = L"640x480";
    m_strAudioChannel = L"2(stereo)";
    m_bNoAudio = 0;
    m_bBitrateFilename = 0;
    m_bEncryption = 0;
    m_b2PassEncoding = 1;
}
