// CFileDialog: the system's open and save dialogs. One object keeps its file name and
// file type between runs, so the next run offers what was chosen last.
#pragma once
#include <windows.h>
#include <commdlg.h>

#include <string>
#include <vector>

#include "afxwnd.h"

class CFileDialog {
public:
    // lpszFilter in the form "Name|*.ext|Name|*.a;*.b||".
    CFileDialog(BOOL bOpenFileDialog, LPCWSTR lpszDefExt = nullptr, LPCWSTR lpszFileName = nullptr,
                DWORD dwFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, LPCWSTR lpszFilter = nullptr,
                CWnd* pParentWnd = nullptr);
    CFileDialog(const CFileDialog&) = delete;
    CFileDialog& operator=(const CFileDialog&) = delete;

    virtual ~CFileDialog() = default;

    INT_PTR DoModal();
    // The name the dialog starts from (with a folder, the folder it opens in).
    void SetFileName(const CString& path);
    CString GetPathName() const;
    CString GetFileName() const;
    // The text after the last dot of the file name, without the dot; empty if none.
    CString GetFileExt() const;

    OPENFILENAMEW m_ofn = {};

protected:
    // Options below the file type, as Windows programs add them: a child dialog template
    // of this module (DS_CONTROL | WS_CHILD), shown in the system's dialog.
    void SetOptionsTemplate(UINT nIDTemplate);
    // The options' child dialog while the dialog runs; null otherwise.
    HWND OptionsWindow() const { return m_hOptions; }
    // The file type (1-based) as the dialog shows it now.
    DWORD CurrentFilterIndex() const { return m_nCurrentFilter; }
    // Called as the dialog is ready, when the file type changes, when an option control
    // sends a command, and before a name is accepted (TRUE keeps the dialog open).
    virtual void OnInitDone() {}
    virtual void OnTypeChange() {}
    virtual void OnOptionCommand(UINT /*nID*/, UINT /*nCode*/) {}
    virtual BOOL OnFileNameOK() { return FALSE; }

private:
    static UINT_PTR CALLBACK HookProc(HWND hChild, UINT message, WPARAM wParam, LPARAM lParam);

    HWND m_hOptions = nullptr;
    DWORD m_nCurrentFilter = 1;
    BOOL m_bOpenFileDialog;
    CWnd* m_pParentWnd;
    CString m_strDefExt;
    std::vector<wchar_t> m_filter;       // '|' turned into the terminators the system wants
    std::vector<wchar_t> m_fileBuffer;   // keeps the last chosen path
};

// The length of the path the file dialog forms when the typed text is confirmed in folder
// (the text as it stands when it is absolute), and whether the system's dialog can hold it
// with the extension it appends.
size_t FileDialogPathLength(const std::wstring& folder, const std::wstring& typed);
bool FileDialogPathFits(size_t length, size_t appendedExtension);

// CColorDialog: the system's colour dialog. One object keeps the colour last accepted
// (shown as the selection next time) and its sixteen custom colours.
class CColorDialog {
public:
    explicit CColorDialog(COLORREF clrInit = 0, DWORD dwFlags = 0, CWnd* pParentWnd = nullptr);
    CColorDialog(const CColorDialog&) = delete;
    CColorDialog& operator=(const CColorDialog&) = delete;

    INT_PTR DoModal();
    COLORREF GetColor() const { return m_cc.rgbResult; }

    CHOOSECOLORW m_cc = {};

private:
    CWnd* m_pParentWnd;
    COLORREF m_customColours[16];
};
