#pragma once
// The main window: the conversion form, the source information and the log.
#include "conversion/ConversionOptions.h"
#include "conversion/OutputDecoder.h"
#include "conversion/Redirect.h"
#include "conversion/Scramble.h"
#include "framework/Dialog.h"
#include "ui/ChildEventQueue.h"
#include "ui/LogView.h"

#include <atomic>

class CMediaInfo;

// What the converter's threads and the scrambling worker report, handled on the dialog's thread.
const UINT WM_APP_CHILD_EVENTS = WM_APP + 1;
const UINT WM_APP_SCRAMBLE_DONE = WM_APP + 2;

class CTolvaneDlg : public CDialog, public CRedirect, public CConversionOptions {
public:
    // nIDTemplate: the Korean or the English template. mediaInfo describes the chosen sources.
    CTolvaneDlg(UINT nIDTemplate, CMediaInfo& mediaInfo);
    // Stops the converter and the scrambling worker before the members they report to go.
    ~CTolvaneDlg() override;

    // Option fields into their controls, and back.
    void ApplyOptions();
    void CollectOptions();
    // The one rule that enables and disables controls by the options and the converting state.
    void UpdateControlStates();

    // Shows the file's path and description; false (and a log line) when it cannot be opened.
    bool OpenSourceFile(const CString& path);

    // printf-style; %s takes a wide string. LogLine starts a new line unless the log is empty;
    // LogText appends as it comes. Colour codes take effect, then the default colour returns.
    void LogLine(const wchar_t* format, ...);
    void LogText(const wchar_t* format, ...);

    CLogView m_logView;
    int m_bConverting = 0;
    int m_nPassMode = 0;
    CString m_strOutputBase;
    int m_nSourceWidth = 0;   // frame size of the last source that opened
    int m_nSourceHeight = 0;
    HICON m_hIcon = nullptr;  // resource icon, not freed
    CString m_strProgramFolder;  // the folder of ffmpeg.exe: the program's own

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    void OnPaint();
    HCURSOR OnQueryDragIcon();
    void OnDestroy();

    void OnSourceBrowse();
    void OnDropFiles(HDROP hDropInfo);
    void OnDestBrowse();
    void OnDestOpen();
    void OnAbout();

    void OnVideoVbr();
    void OnChangeVideoSize();
    void OnChangeVideoFps();
    void OnNoAudio();
    void OnBitrateFilename();
    void OnEncryption();
    void On2PassEncoding();
    void OnDefault();

    // The conversion job (ConversionJob.cpp).
    void OnStart();
    void OnStop();
    void OnProcessStarted(const CString& commandLine) override;
    void OnStdoutText(const char* text) override;
    void OnStderrText(const char* text) override;
    void OnProcessEnded(DWORD exitCode, bool stopped) override;
    LRESULT OnChildEvents(WPARAM, LPARAM);
    LRESULT OnScrambleDone(WPARAM result, LPARAM);

    DECLARE_MESSAGE_MAP()

private:
    void FillLists();
    void AppendToLog(const CString& text);

    bool StartPass();
    void HandleProcessEnded(DWORD exitCode, bool stopped);
    void DeletePassLogs();
    void StartScramble();
    void WaitForScramble();
    static DWORD WINAPI ScrambleThreadProc(LPVOID param);
    // Back to idle; the message (when not negative) is the job's last line.
    void EndJob(int messageId);

    CMediaInfo& m_mediaInfo;

    // What one job converts, taken at Start for every pass of that job.
    CConversionOptions m_jobOptions;
    CString m_strJobSource;
    CString m_strJobExtraArgs;
    int m_nJobSourceWidth = 0;
    int m_nJobSourceHeight = 0;
    CString m_strPassLogBase;
    bool m_bWrotePassLogs = false;   // a pass with statistics ran in this job
    bool m_bStopRequested = false;   // Stop was pressed: any end of this job counts as stopped
    CChildEventQueue m_childEvents;
    COutputDecoder m_stdoutDecoder;
    COutputDecoder m_stderrDecoder;
    HANDLE m_hScrambleThread = nullptr;
    std::atomic<bool> m_bCancelScramble{false};
};
