// Choosing the source file and the destination folder.
#include "app/Messages.h"
#include "framework/FileDialog.h"
#include "media/SourceInspection.h"
#include "resources/resource.h"
#include "ui/BrowseForFolder.h"
#include "ui/TolvaneDlg.h"

#include <shellapi.h>

void CTolvaneDlg::OnSourceBrowse()
{
    CFileDialog fileDialog(m_hWnd);
    if (fileDialog.DoModal() == IDOK)
        OpenSourceFile(fileDialog.GetPathName());
}

void CTolvaneDlg::OnDropFiles(HDROP hDropInfo)
{
    // Only the first file of a drop is taken, whole: its length is asked for first.
    UINT length = DragQueryFileW(hDropInfo, 0, nullptr, 0);
    CString path;
    if (length > 0)
        path.ReleaseBuffer(DragQueryFileW(hDropInfo, 0, path.GetBuffer(length + 1), length + 1));
    DragFinish(hDropInfo);
    if (!path.IsEmpty())
        OpenSourceFile(path);
}

void CTolvaneDlg::OnDestBrowse()
{
    CollectOptions();
    CString folder = BrowseForFolder(GetMessageText(MSG_DEST_FOLDER_TITLE), m_hWnd);
    // The field takes the folder over at the next collection of the options.
    if (!folder.IsEmpty())
        SetDlgItemText(IDC_DEST_PATH, folder);
}

void CTolvaneDlg::OnDestOpen()
{
    CollectOptions();
    ShellExecuteW(nullptr, L"open", m_strDestPath, nullptr, nullptr, SW_SHOWNORMAL);
}

bool CTolvaneDlg::OpenSourceFile(const CString& path)
{
    SetDlgItemText(IDC_SOURCE_PATH, path);
    CSourceDescription description;
    if (!InspectSource(m_mediaInfo, path, description)) {
        LogLine(GetMessageText(MSG_OPEN_FAILED), path.GetString());
        SetDlgItemText(IDC_SOURCE_INFO, GetMessageText(MSG_UNSUPPORTED_FORMAT));
        return false;
    }
    m_nSourceWidth = description.nWidth;
    m_nSourceHeight = description.nHeight;
    SetDlgItemText(IDC_SOURCE_INFO, description.strInfo);
    LogLine(GetMessageText(MSG_OPEN_SUCCEEDED), path.GetString());
    return true;
}
