// The conversion job: Start and Stop, the passes, and the completion. The redirector reports on
// its own threads; those reports are queued and handled here, on the dialog's thread.
#include "ui/TolvaneDlg.h"

#include "app/Messages.h"
#include "conversion/CommandLineBuilder.h"
#include "resources/resource.h"

void CTolvaneDlg::OnStart()
{
    if (m_bConverting)
        return;
    CollectOptions();
    // One job converts one source with one set of settings: take them now for every pass.
    m_jobOptions = *this;
    m_strJobSource = GetDlgItemText(IDC_SOURCE_PATH);
    m_strJobExtraArgs = GetDlgItemText(IDC_EXTRA_ARGS);
    m_nJobSourceWidth = m_nSourceWidth;
    m_nJobSourceHeight = m_nSourceHeight;
    m_bStopRequested = false;
    m_bWrotePassLogs = false;
    if (m_bVideoVBR)
        m_nPassMode = QualityPass;
    else if (m_b2PassEncoding)
        m_nPassMode = FirstPass;
    else
        m_nPassMode = SinglePass;
    if (StartPass())
        LogLine(L"%s", GetMessageText(MSG_START));
    else
        LogLine(L"%s", GetMessageText(MSG_START_FAILED));
}

bool CTolvaneDlg::StartPass()
{
    CConversionOptions options = m_jobOptions;
    options.m_bNoAudio = m_bNoAudio;  // the check box acts up to the pass that writes audio
    CCommandLine line = BuildCommandLine(options, m_nPassMode, m_strJobSource, m_strJobExtraArgs,
                                         m_nJobSourceWidth, m_nJobSourceHeight, m_strProgramFolder);
    m_strOutputBase = line.strOutputBase;
    m_strPassLogBase = line.strPassLogBase;
    SetDlgItemText(IDC_COMMAND_LINE, line.strCommandLine);
    m_stdoutDecoder = COutputDecoder();
    m_stderrDecoder = COutputDecoder();
    if (!StartChild(line.strCommandLine))
        return false;
    if (m_nPassMode == FirstPass || m_nPassMode == SecondPass)
        m_bWrotePassLogs = true;
    return true;
}

void CTolvaneDlg::OnStop()
{
    if (!m_bConverting)
        return;
    m_bStopRequested = true;
    m_nPassMode = SinglePass;
    if (m_hScrambleThread)
        m_bCancelScramble = true;  // its end is handled when the copy has given up
    else
        StopChild();  // returns with the end of the run already queued
}

void CTolvaneDlg::OnProcessStarted(const CString& /*commandLine*/)
{
    // StartChild runs on the dialog's thread, so this does too.
    m_bConverting = 1;
    UpdateControlStates();
}

void CTolvaneDlg::OnStdoutText(const char* text)
{
    m_childEvents.Push({CChildEvent::StdoutText, text, 0, false}, m_hWnd, WM_APP_CHILD_EVENTS);
}

void CTolvaneDlg::OnStderrText(const char* text)
{
    m_childEvents.Push({CChildEvent::StderrText, text, 0, false}, m_hWnd, WM_APP_CHILD_EVENTS);
}

void CTolvaneDlg::OnProcessEnded(DWORD exitCode, bool stopped)
{
    m_childEvents.Push({CChildEvent::Ended, std::string(), exitCode, stopped}, m_hWnd, WM_APP_CHILD_EVENTS);
}

LRESULT CTolvaneDlg::OnChildEvents(WPARAM, LPARAM)
{
    // A slice at a time, the rest after the input that came meanwhile; the slice's text goes
    // into the log in one append, however small the converter's writes were.
    bool more = false;
    CString text;
    for (CChildEvent& event : m_childEvents.Take(256 * 1024, more)) {
        const char* bytes = event.strBytes.data();
        size_t length = event.strBytes.size();
        switch (event.nKind) {
        case CChildEvent::StdoutText:
            text += m_stdoutDecoder.Decode(bytes, length);
            break;
        case CChildEvent::StderrText:
            text += m_stderrDecoder.Decode(bytes, length);
            break;
        case CChildEvent::Ended:
            text += m_stdoutDecoder.Flush();
            text += m_stderrDecoder.Flush();
            LogText(L"%s", text.GetString());
            text.Empty();
            HandleProcessEnded(event.dwExitCode, event.bStopped);
            break;
        }
    }
    if (!text.IsEmpty())
        LogText(L"%s", text.GetString());
    if (more)
        PostMessageW(m_hWnd, WM_APP_CHILD_EVENTS, 0, 0);
    return 0;
}

void CTolvaneDlg::HandleProcessEnded(DWORD exitCode, bool stopped)
{
    if (stopped || m_bStopRequested) {
        EndJob(MSG_STOP);
        return;
    }
    if (exitCode != 0) {
        DeletePassLogs();
        CString text;
        text.Format(GetMessageText(MSG_CONVERT_FAILED), static_cast<int>(exitCode));
        LogLine(L"%s", text.GetString());
        EndJob(-1);
        return;
    }
    if (m_nPassMode == FirstPass) {
        m_nPassMode = SecondPass;
        if (!StartPass()) {
            DeletePassLogs();
            LogLine(L"%s", GetMessageText(MSG_START_FAILED));
            EndJob(-1);
        }
        return;
    }
    DeletePassLogs();
    if (m_bEncryption)
        StartScramble();
    else
        EndJob(MSG_COMPLETED);
}

void CTolvaneDlg::DeletePassLogs()
{
    if (!m_bWrotePassLogs)
        return;
    m_bWrotePassLogs = false;
    DeleteFileW(m_strPassLogBase + L"-0.log");
    DeleteFileW(m_strPassLogBase + L"-1.log");
}

DWORD WINAPI CTolvaneDlg::ScrambleThreadProc(LPVOID param)
{
    CTolvaneDlg* dialog = static_cast<CTolvaneDlg*>(param);
    ScrambleResult result = ScrambleOutput(dialog->m_strOutputBase, &dialog->m_bCancelScramble);
    PostMessageW(dialog->m_hWnd, WM_APP_SCRAMBLE_DONE, static_cast<WPARAM>(result), 0);
    return 0;
}

void CTolvaneDlg::StartScramble()
{
    // Large files take a while: the copy runs on a worker, and the job stays converting
    // until it has ended, so the dialog cannot close under it.
    m_bCancelScramble = false;
    m_hScrambleThread = CreateThread(nullptr, 0, ScrambleThreadProc, this, 0, nullptr);
    if (!m_hScrambleThread)
        OnScrambleDone(static_cast<WPARAM>(ScrambleOutput(m_strOutputBase, &m_bCancelScramble)), 0);
}

void CTolvaneDlg::WaitForScramble()
{
    if (!m_hScrambleThread)
        return;
    WaitForSingleObject(m_hScrambleThread, INFINITE);  // it polls the cancel flag between blocks
    CloseHandle(m_hScrambleThread);
    m_hScrambleThread = nullptr;
}

LRESULT CTolvaneDlg::OnScrambleDone(WPARAM result, LPARAM)
{
    WaitForScramble();
    switch (static_cast<ScrambleResult>(result)) {
    case ScrambleResult::Done:
        EndJob(MSG_COMPLETED);
        break;
    case ScrambleResult::Failed: {
        CString text;
        text.Format(GetMessageText(MSG_SCRAMBLE_FAILED), ScrambledOutputPath(m_strOutputBase).GetString());
        LogLine(L"%s", text.GetString());
        EndJob(MSG_COMPLETED);  // the conversion itself succeeded
        break;
    }
    case ScrambleResult::Cancelled:
        EndJob(MSG_STOP);
        break;
    }
    return 0;
}

void CTolvaneDlg::EndJob(int messageId)
{
    m_bConverting = 0;
    UpdateControlStates();
    if (messageId >= 0)
        LogLine(L"%s", GetMessageText(messageId));
}
