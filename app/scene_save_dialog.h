// "Save Scene As...": the save dialog that asks about replacing the file that will really be
// written, which is the typed name with ".zelmora" added when it ends otherwise.
#pragma once
#include "afxdlgs.h"

class CSceneSaveDialog : public CFileDialog {
public:
    CSceneSaveDialog();
    // After IDOK: the scene file to write.
    CString ScenePath() const;

protected:
    BOOL OnFileNameOK() override;
};
