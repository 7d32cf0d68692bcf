// The main dialog: the scene, the owner of every Direct3D object, the host of the pages
// and the clock of the program.
#pragma once
#include "afxwin.h"
#include "box_scene.h"

class CBoxDlg : public CDialog, public BoxScene {
public:
    CBoxDlg();
    ~CBoxDlg() override;

    BOOL OnInitDialog() override;
    void OnOK() override {}
    void OnCancel() override {}
    void RefreshPages() override;

protected:
    void OnClose();

    DECLARE_MESSAGE_MAP()

private:
    HICON m_hAppIcon = nullptr;
};
