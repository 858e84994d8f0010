// Moving the options between their fields and controls, and the rules between the controls.
#include "resources/resource.h"
#include "ui/TolvaneDlg.h"

namespace {
const wchar_t kMpeg1Codec[] = L"mpeg1video";
const wchar_t kVp8Codec[] = L"libvpx";

// A check box's state as a flag: 1 checked, 0 not.
int IsChecked(const CDialog& dialog, int nID)
{
    return dialog.IsDlgButtonChecked(nID) == BST_CHECKED ? 1 : 0;
}
}

void CTolvaneDlg::ApplyOptions()
{
    SetDlgItemText(IDC_DEST_PATH, m_strDestPath);
    // Any codec name but VP8's shows as MPEG.
    bool vp8 = m_strVideoCodec == kVp8Codec;
    CheckDlgButton(IDC_CODEC_MPEG, vp8 ? BST_UNCHECKED : BST_CHECKED);
    CheckDlgButton(IDC_CODEC_VP8, vp8 ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(IDC_CHANGE_VIDEO_SIZE, m_bChangeVideoSize ? BST_CHECKED : BST_UNCHECKED);
    SetDlgItemText(IDC_VIDEO_SIZE, m_strVideoSize);
    SetDlgItemInt(IDC_VIDEO_BITRATE, m_nVideoBitrate);
    SetDlgItemInt(IDC_VIDEO_QSCALE, m_nVideoQscale);
    CheckDlgButton(IDC_CHANGE_VIDEO_FPS, m_bChangeVideoFps ? BST_CHECKED : BST_UNCHECKED);
    SetDlgItemInt(IDC_VIDEO_FPS, m_nVideoFps);
    SetDlgItemInt(IDC_VIDEO_GOP, m_nVideoGop);
    SetDlgItemInt(IDC_AUDIO_BITRATE, m_nAudioBitrate);
    SetDlgItemInt(IDC_AUDIO_SAMPLERATE, m_nAudioSamplerate);
    // First entry that begins with the text, ignoring case; no match keeps the selection.
    SendDlgItemMessage(IDC_AUDIO_CHANNEL, CB_SELECTSTRING, static_cast<WPARAM>(-1),
                       reinterpret_cast<LPARAM>(m_strAudioChannel.GetString()));
    CheckDlgButton(IDC_NO_AUDIO, m_bNoAudio ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(IDC_BITRATE_FILENAME, m_bBitrateFilename ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(IDC_ENCRYPTION, m_bEncryption ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(IDC_2PASS_ENCODING, m_b2PassEncoding ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(IDC_VIDEO_VBR, m_bVideoVBR ? BST_CHECKED : BST_UNCHECKED);
}

void CTolvaneDlg::CollectOptions()
{
    m_strDestPath = GetDlgItemText(IDC_DEST_PATH);
    if (IsChecked(*this, IDC_CODEC_MPEG))
        m_strVideoCodec = kMpeg1Codec;
    else if (IsChecked(*this, IDC_CODEC_VP8))
        m_strVideoCodec = kVp8Codec;
    m_bChangeVideoSize = IsChecked(*this, IDC_CHANGE_VIDEO_SIZE);
    m_strVideoSize = GetDlgItemText(IDC_VIDEO_SIZE);
    m_nVideoBitrate = GetDlgItemInt(IDC_VIDEO_BITRATE);
    m_nVideoQscale = GetDlgItemInt(IDC_VIDEO_QSCALE);
    m_bChangeVideoFps = IsChecked(*this, IDC_CHANGE_VIDEO_FPS);
    m_nVideoFps = GetDlgItemInt(IDC_VIDEO_FPS);
    m_nVideoGop = GetDlgItemInt(IDC_VIDEO_GOP);
    m_nAudioBitrate = GetDlgItemInt(IDC_AUDIO_BITRATE);
    m_nAudioSamplerate = GetDlgItemInt(IDC_AUDIO_SAMPLERATE);
    m_strAudioChannel = GetDlgItemText(IDC_AUDIO_CHANNEL);  // the selected entry, or empty
    m_bNoAudio = IsChecked(*this, IDC_NO_AUDIO);
    m_bBitrateFilename = IsChecked(*this, IDC_BITRATE_FILENAME);
    m_bEncryption = IsChecked(*this, IDC_ENCRYPTION);
    m_b2PassEncoding = IsChecked(*this, IDC_2PASS_ENCODING);
    m_bVideoVBR = IsChecked(*this, IDC_VIDEO_VBR);
}

void CTolvaneDlg::UpdateControlStates()
{
    auto enable = [this](int nID, bool enabled) { ::EnableWindow(GetDlgItem(nID), enabled); };
    enable(IDC_START, !m_bConverting);
    enable(IDC_STOP, m_bConverting != 0);
    enable(IDC_VIDEO_BITRATE, !m_bVideoVBR);
    enable(IDC_VIDEO_QSCALE, m_bVideoVBR != 0);
    enable(IDC_2PASS_ENCODING, !m_bVideoVBR);
    enable(IDC_VIDEO_SIZE, m_bChangeVideoSize != 0);
    enable(IDC_VIDEO_FPS, m_bChangeVideoFps != 0);
    // The audio settings of a running conversion stay as they were until it ends.
    if (!m_bConverting) {
        enable(IDC_AUDIO_BITRATE, !m_bNoAudio);
        enable(IDC_AUDIO_SAMPLERATE, !m_bNoAudio);
        enable(IDC_AUDIO_CHANNEL, !m_bNoAudio);
    }
}

// Seven check boxes take effect at once; four of them change what else is enabled.

void CTolvaneDlg::OnVideoVbr()
{
    m_bVideoVBR = IsChecked(*this, IDC_VIDEO_VBR);
    UpdateControlStates();
}

void CTolvaneDlg::OnChangeVideoSize()
{
    m_bChangeVideoSize = IsChecked(*this, IDC_CHANGE_VIDEO_SIZE);
    UpdateControlStates();
}

void CTolvaneDlg::OnChangeVideoFps()
{
    m_bChangeVideoFps = IsChecked(*this, IDC_CHANGE_VIDEO_FPS);
    UpdateControlStates();
}

void CTolvaneDlg::OnNoAudio()
{
    m_bNoAudio = IsChecked(*this, IDC_NO_AUDIO);
    UpdateControlStates();
}

void CTolvaneDlg::OnBitrateFilename()
{
    m_bBitrateFilename = IsChecked(*this, IDC_BITRATE_FILENAME);
}

void CTolvaneDlg::OnEncryption()
{
    m_bEncryption = IsChecked(*this, IDC_ENCRYPTION);
}

void CTolvaneDlg::On2PassEncoding()
{
    m_b2PassEncoding = IsChecked(*this, IDC_2PASS_ENCODING);
}

void CTolvaneDlg::OnDefault()
{
    SetDefaultOptions();
    UpdateControlStates();
    ApplyOptions();
}
