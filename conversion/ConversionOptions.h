#pragma once
// The user's conversion settings. The main dialog holds them as its own members.
#include "framework/String.h"

struct CConversionOptions {
    CString m_strDestPath;      // folder that receives the output file
    CString m_strVideoCodec;    // "mpeg1video" or "libvpx"
    int m_bVideoVBR;            // quality-based rate (fixed quantiser), one pass
    int m_bChangeVideoSize;     // rescale to m_strVideoSize
    int m_bChangeVideoFps;      // change the frame rate to m_nVideoFps
    int m_nVideoBitrate;        // kbit/s
    int m_nVideoQscale;         // 1 (best) to 31
    int m_nVideoFps;            // frames per second
    int m_nVideoGop;            // key-frame interval in frames
    int m_nAudioBitrate;        // kbit/s
    int m_nAudioSamplerate;     // Hz
    CString m_strVideoSize;     // "640x480"
    CString m_strAudioChannel;  // list entry; its leading number is the channel count
    int m_bNoAudio;
    int m_bBitrateFilename;     // video bitrate in the output file name
    int m_bEncryption;          // also write the scrambled .avx copy
    int m_b2PassEncoding;       // two passes (ignored while m_bVideoVBR is on)

    CConversionOptions() { SetDefaultOptions(); }

    // Every field but the destination folder back to its default.
    void SetDefaultOptions();
};
