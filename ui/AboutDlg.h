#pragma once
// The about box: the product, its maker and the open-source parts it uses.
#include "framework/Dialog.h"
#include "resources/resource.h"

class CAboutDlg : public CDialog {
public:
    CAboutDlg() : CDialog(IDD_ABOUTBOX) {}
};
