#pragma once
// The main window: the conversion form, the source information and the log.
#include "conversion/ConversionOptions.h"
#include "framework/Dialog.h"
#include "ui/LogView.h"

class CMediaInfo;

class CTolvaneDlg : public CDialog, public CConversionOptions {
public:
    // nIDTemplate: the Korean or the English template. mediaInfo describes the chosen sources.
    CTolvaneDlg(UINT nIDTemplate, CMediaInfo& mediaInfo);

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

    DECLARE_MESSAGE_MAP()

private:
    void FillLists();
    void AppendToLog(const CString& text);

    CMediaInfo& m_mediaInfo;
};
