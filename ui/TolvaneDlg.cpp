#include "ui/TolvaneDlg.h"

#include "app/Messages.h"
#include "resources/resource.h"
#include "settings/DefaultDestination.h"
#include "settings/OptionStore.h"
#include "ui/AboutDlg.h"
#include "ui/BuildDate.h"

#include <initializer_list>

BEGIN_MESSAGE_MAP(CTolvaneDlg, CDialog)
    ON_WM_PAINT()
    ON_WM_QUERYDRAGICON()
    ON_BN_CLICKED(IDC_SOURCE_BROWSE, &CTolvaneDlg::OnSourceBrowse)
    ON_WM_DROPFILES()
    ON_WM_DESTROY()
    ON_BN_CLICKED(IDC_CHANGE_VIDEO_SIZE, &CTolvaneDlg::OnChangeVideoSize)
    ON_BN_CLICKED(IDC_CHANGE_VIDEO_FPS, &CTolvaneDlg::OnChangeVideoFps)
    ON_BN_CLICKED(IDC_NO_AUDIO, &CTolvaneDlg::OnNoAudio)
    ON_BN_CLICKED(IDC_DEFAULT, &CTolvaneDlg::OnDefault)
    ON_BN_CLICKED(IDC_DEST_OPEN, &CTolvaneDlg::OnDestOpen)
    ON_BN_CLICKED(IDC_DEST_BROWSE, &CTolvaneDlg::OnDestBrowse)
    ON_BN_CLICKED(IDC_ABOUT, &CTolvaneDlg::OnAbout)
    ON_BN_CLICKED(IDC_BITRATE_FILENAME, &CTolvaneDlg::OnBitrateFilename)
    ON_BN_CLICKED(IDC_ENCRYPTION, &CTolvaneDlg::OnEncryption)
    ON_BN_CLICKED(IDC_2PASS_ENCODING, &CTolvaneDlg::On2PassEncoding)
    ON_BN_CLICKED(IDC_VIDEO_VBR, &CTolvaneDlg::OnVideoVbr)
    ON_BN_CLICKED(IDC_START, &CTolvaneDlg::OnStart)
    ON_BN_CLICKED(IDC_STOP, &CTolvaneDlg::OnStop)
    ON_MESSAGE(WM_APP_CHILD_EVENTS, &CTolvaneDlg::OnChildEvents)
    ON_MESSAGE(WM_APP_SCRAMBLE_DONE, &CTolvaneDlg::OnScrambleDone)
END_MESSAGE_MAP()

CTolvaneDlg::CTolvaneDlg(UINT nIDTemplate, CMediaInfo& mediaInfo)
    : CDialog(nIDTemplate), m_mediaInfo(mediaInfo)
{
    m_hIcon = LoadIconW(m_hInstance, MAKEINTRESOURCEW(IDR_MAINFRAME));
    m_strDestPath = GetDefaultDestFolder();
    SetDefaultOptions();
    m_strProgramFolder = GetProgramFolder();
}

CTolvaneDlg::~CTolvaneDlg()
{
    m_bCancelScramble = true;
    WaitForScramble();
    StopChild();
}

BOOL CTolvaneDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);
    DragAcceptFiles();

    // The log pane takes the place of the hidden placeholder.
    RECT rect;
    GetWindowRect(GetDlgItem(IDC_LOG_PLACEHOLDER), &rect);
    MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&rect), 2);
    m_logView.Create(m_hWnd, m_hInstance, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);

    SetDlgItemText(IDC_SOURCE_INFO, GetMessageText(MSG_DROP_HINT));
    FillLists();
    LoadOptions(*this);
    ApplyOptions();
    UpdateControlStates();
    SetWindowText(GetWindowText() + L" - " + GetBuildDateText());
    return TRUE;
}

void CTolvaneDlg::FillLists()
{
    auto add = [this](int nID, std::initializer_list<const wchar_t*> items) {
        for (const wchar_t* item : items)
            SendDlgItemMessage(nID, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    };
    // In this order, as the user is used to them: not sorted by value.
    add(IDC_VIDEO_SIZE, {L"320x240", L"480x320", L"640x480", L"1024x768", L"800x450", L"1024x576", L"1280x720"});
    add(IDC_VIDEO_BITRATE, {L"500", L"1000", L"1500", L"2000", L"3000", L"4000", L"5000", L"6000", L"7000", L"8000"});
    add(IDC_VIDEO_QSCALE, {L"1", L"2", L"3", L"4", L"5", L"6", L"7", L"8", L"9", L"10", L"12", L"14", L"16", L"18",
                           L"20", L"25", L"31"});
    add(IDC_VIDEO_FPS, {L"24", L"30", L"60"});
    add(IDC_VIDEO_GOP, {L"30", L"60", L"120", L"180", L"240"});
    add(IDC_AUDIO_CHANNEL, {L"1(mono)", L"2(stereo)"});
    add(IDC_AUDIO_BITRATE, {L"64", L"96", L"128", L"160", L"192", L"256"});
    add(IDC_AUDIO_SAMPLERATE, {L"32000", L"44100", L"48000"});
}

void CTolvaneDlg::OnOK()
{
    // Enter never closes the window.
}

void CTolvaneDlg::OnCancel()
{
    if (m_bConverting) {
        MessageBox(GetMessageText(MSG_CONVERTING));
        return;
    }
    CDialog::OnCancel();
}

void CTolvaneDlg::OnDestroy()
{
    CollectOptions();
    SaveOptions(*this);
}

void CTolvaneDlg::OnPaint()
{
    if (!IsIconic()) {
        CDialog::OnPaint();
        return;
    }
    PAINTSTRUCT ps;
    HDC hDC = BeginPaint(m_hWnd, &ps);
    SendMessageW(m_hWnd, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(hDC), 0);
    RECT client;
    GetClientRect(m_hWnd, &client);
    int x = (client.right - client.left - GetSystemMetrics(SM_CXICON) + 1) / 2;
    int y = (client.bottom - client.top - GetSystemMetrics(SM_CYICON) + 1) / 2;
    DrawIcon(hDC, x, y, m_hIcon);
    EndPaint(m_hWnd, &ps);
}

HCURSOR CTolvaneDlg::OnQueryDragIcon()
{
    return static_cast<HCURSOR>(m_hIcon);
}

void CTolvaneDlg::OnAbout()
{
    CAboutDlg about;
    about.DoModal();
}

void CTolvaneDlg::LogLine(const wchar_t* format, ...)
{
    va_list args;
    va_start(args, format);
    CString message;
    message.FormatV(format, args);
    va_end(args);
    AppendToLog(m_logView.IsEmpty() ? message : L"\r\n" + message);
}

void CTolvaneDlg::LogText(const wchar_t* format, ...)
{
    va_list args;
    va_start(args, format);
    CString text;
    text.FormatV(format, args);
    va_end(args);
    AppendToLog(text);
}

void CTolvaneDlg::AppendToLog(const CString& text)
{
    m_logView.AppendColoredText(text);
    m_logView.SetColor(m_logView.m_crDefault);
}
