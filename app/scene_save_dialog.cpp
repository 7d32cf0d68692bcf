#include "scene_save_dialog.h"

#include "scene_file.h"

CSceneSaveDialog::CSceneSaveDialog()
    // No OFN_OVERWRITEPROMPT: the system would ask about the name as typed ("box.v2"), not
    // about the file written ("box.v2.zelmora").
    : CFileDialog(FALSE, kSceneFileExtension, nullptr, OFN_HIDEREADONLY, L"Zelmora Scenes|*.zelmora||", nullptr)
{
}

CString CSceneSaveDialog::ScenePath() const
{
    return SceneFilePathFor(GetPathName().GetString()).c_str();
}

BOOL CSceneSaveDialog::OnFileNameOK()
{
    const std::wstring path = SceneFilePathFor(m_ofn.lpstrFile);
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return FALSE;
    CString question;
    question.Format(attributes & FILE_ATTRIBUTE_DIRECTORY ? L"%ls is a folder.\nChoose another name."
                                                          : L"%ls already exists.\nDo you want to replace it?",
                    path.c_str());
    const UINT buttons = attributes & FILE_ATTRIBUTE_DIRECTORY ? MB_OK : MB_YESNO;
    return ::MessageBoxW(::GetParent(OptionsWindow()), question, L"Confirm Save As", buttons | MB_ICONWARNING) != IDYES;
}
