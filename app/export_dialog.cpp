#include "export_dialog.h"

#include <algorithm>
#include <cwchar>
#include <string>

#include "image_export.h"
#include "resource.h"

namespace {
constexpr int kSizePreview = 0;
constexpr int kSizeOther = 1 + ARRAYSIZE(kExportPresets);
constexpr int kMaxDpi = 10000;
}

SIZE PresetSize(SIZE preview, UINT longSide)
{
    const LONG side = static_cast<LONG>(longSide);
    if (preview.cx <= 0 || preview.cy <= 0)
        return {side, side};
    if (preview.cx >= preview.cy)
        return {side, std::max<LONG>(1, (side * preview.cy + preview.cx / 2) / preview.cx)};
    return {std::max<LONG>(1, (side * preview.cx + preview.cy / 2) / preview.cy), side};
}

CExportFileDialog::CExportFileDialog()
    : CFileDialog(FALSE, nullptr, nullptr, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, L"PNG Files|*.png|JPG Files|*.jpg|360 spin (PNG pictures)|*.png|glTF binary (*.glb)|*.glb|"
                  L"360 spin (animated PNG)|*.png|360 spin (web page)|*.html||",
                  nullptr)
{
    SetOptionsTemplate(IDD_EXPORT_OPTIONS);
}

void CExportFileDialog::Prepare(const ExportSettings& settings, SIZE preview, UINT maxSide)
{
    m_settings = settings;
    m_preview = preview;
    m_nMaxSide = maxSide;
}

void CExportFileDialog::OnInitDone()
{
    HWND hSize = ::GetDlgItem(OptionsWindow(), IDC_EXPORT_SIZE);
    wchar_t text[96];
    swprintf(text, 96, L"Preview (%ld x %ld)", m_preview.cx, m_preview.cy);
    ::SendMessageW(hSize, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    int selected = m_settings.width ? kSizeOther : kSizePreview;
    for (int i = 0; i < static_cast<int>(ARRAYSIZE(kExportPresets)); ++i) {
        SIZE size = PresetSize(m_preview, kExportPresets[i]);
        swprintf(text, 96, L"%u on the long side (%ld x %ld)", kExportPresets[i], size.cx, size.cy);
        ::SendMessageW(hSize, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
        if (m_settings.width == static_cast<UINT>(size.cx) && m_settings.height == static_cast<UINT>(size.cy))
            selected = 1 + i;
    }
    ::SendMessageW(hSize, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"Other size"));
    ::SendMessageW(hSize, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
    if (m_settings.width) {
        ::SetDlgItemInt(OptionsWindow(), IDC_EXPORT_WIDTH, m_settings.width, FALSE);
        ::SetDlgItemInt(OptionsWindow(), IDC_EXPORT_HEIGHT, m_settings.height, FALSE);
    }
    ShowSizeFields();
    if (m_settings.dpi)
        ::SetDlgItemInt(OptionsWindow(), IDC_EXPORT_DPI, static_cast<UINT>(m_settings.dpi), FALSE);
    ShowTransparency();
    // Drawn N x N times larger and averaged down: sharper small type at a steep angle, for
    // N x N times the drawing.
    HWND hSupersample = ::GetDlgItem(OptionsWindow(), IDC_EXPORT_SUPERSAMPLE);
    for (const wchar_t* choice : {L"Off", L"2 x 2 (sharper small type)", L"3 x 3", L"4 x 4 (slowest)"})
        ::SendMessageW(hSupersample, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(choice));
    ::SendMessageW(hSupersample, CB_SETCURSEL, static_cast<WPARAM>(std::clamp(m_settings.supersample, 1, 4) - 1), 0);
    // The counts shops ask for; the list is for the "360 spin" type only.
    HWND hSpin = ::GetDlgItem(OptionsWindow(), IDC_EXPORT_SPIN);
    for (size_t i = 0; i < ARRAYSIZE(kSpinCounts); ++i) {
        ::SendMessageW(hSpin, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(std::to_wstring(kSpinCounts[i]).c_str()));
        if (kSpinCounts[i] == m_nSpinCount)
            ::SendMessageW(hSpin, CB_SETCURSEL, i, 0);
    }
    ::EnableWindow(hSpin, IsSpinFilter(CurrentFilterIndex()));
}

int CExportFileDialog::SelectedSize() const
{
    return static_cast<int>(::SendDlgItemMessageW(OptionsWindow(), IDC_EXPORT_SIZE, CB_GETCURSEL, 0, 0));
}

void CExportFileDialog::ShowSizeFields()
{
    // A preset shows its size; "Other size" lets it be typed, starting from what was shown.
    const int selected = SelectedSize();
    const bool bOther = selected == kSizeOther;
    if (!bOther) {
        SIZE size = selected > kSizePreview ? PresetSize(m_preview, kExportPresets[selected - 1]) : m_preview;
        ::SetDlgItemInt(OptionsWindow(), IDC_EXPORT_WIDTH, static_cast<UINT>(size.cx), FALSE);
        ::SetDlgItemInt(OptionsWindow(), IDC_EXPORT_HEIGHT, static_cast<UINT>(size.cy), FALSE);
    }
    ::EnableWindow(::GetDlgItem(OptionsWindow(), IDC_EXPORT_WIDTH), bOther);
    ::EnableWindow(::GetDlgItem(OptionsWindow(), IDC_EXPORT_HEIGHT), bOther);
}

void CExportFileDialog::ShowTransparency()
{
    // JPEG has no alpha: off and disabled there; the PNG choice is kept for PNG.
    // A model has no background at all.
    const bool bJpeg = CurrentFilterIndex() == kSaveJpegFilter || CurrentFilterIndex() == kSaveModelFilter;
    HWND hCheck = ::GetDlgItem(OptionsWindow(), IDC_EXPORT_TRANSPARENT);
    ::EnableWindow(hCheck, !bJpeg);
    ::SendMessageW(hCheck, BM_SETCHECK, !bJpeg && m_settings.bTransparent ? BST_CHECKED : BST_UNCHECKED, 0);
}

void CExportFileDialog::OnTypeChange()
{
    ShowTransparency();
    ::EnableWindow(::GetDlgItem(OptionsWindow(), IDC_EXPORT_SPIN), IsSpinFilter(CurrentFilterIndex()));
}

void CExportFileDialog::OnOptionCommand(UINT nID, UINT nCode)
{
    if (nID == IDC_EXPORT_SIZE && nCode == CBN_SELCHANGE)
        ShowSizeFields();
    else if (nID == IDC_EXPORT_TRANSPARENT && nCode == BN_CLICKED)
        m_settings.bTransparent =
            ::SendDlgItemMessageW(OptionsWindow(), IDC_EXPORT_TRANSPARENT, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

int CExportFileDialog::ReadNumber(int nID) const
{
    wchar_t text[16] = {};
    ::GetDlgItemTextW(OptionsWindow(), nID, text, 16);
    if (!text[0])
        return 0;
    for (const wchar_t* p = text; *p; ++p)
        if (*p < L'0' || *p > L'9')
            return -1;
    return wcslen(text) > 9 ? -1 : _wtoi(text);
}

BOOL CExportFileDialog::OnFileNameOK()
{
    HWND hDialog = ::GetParent(OptionsWindow());
    const int selected = SelectedSize();
    ExportSettings chosen = m_settings;
    if (selected == kSizePreview) {
        chosen.width = chosen.height = 0;
    } else {
        const int w = ReadNumber(IDC_EXPORT_WIDTH), h = ReadNumber(IDC_EXPORT_HEIGHT);
        if (w < 1 || h < 1 || static_cast<UINT>(w) > m_nMaxSide || static_cast<UINT>(h) > m_nMaxSide) {
            wchar_t message[160];
            swprintf(message, 160, L"The size must be from 1 x 1 to %u x %u pixels.", m_nMaxSide, m_nMaxSide);
            ::MessageBoxW(hDialog, message, L"Save Image", MB_OK | MB_ICONWARNING);
            ::SetFocus(::GetDlgItem(OptionsWindow(), w < 1 || static_cast<UINT>(w) > m_nMaxSide ? IDC_EXPORT_WIDTH
                                                                                                : IDC_EXPORT_HEIGHT));
            return TRUE;
        }
        chosen.width = static_cast<UINT>(w);
        chosen.height = static_cast<UINT>(h);
    }
    const int dpi = ReadNumber(IDC_EXPORT_DPI);
    const bool bDpiTyped = ::GetWindowTextLengthW(::GetDlgItem(OptionsWindow(), IDC_EXPORT_DPI)) > 0;
    if (dpi < 0 || dpi > kMaxDpi || (dpi == 0 && bDpiTyped)) {
        wchar_t message[160];
        swprintf(message, 160, L"The DPI must be a whole number from 1 to %d, or empty for none.", kMaxDpi);
        ::MessageBoxW(hDialog, message, L"Save Image", MB_OK | MB_ICONWARNING);
        ::SetFocus(::GetDlgItem(OptionsWindow(), IDC_EXPORT_DPI));
        return TRUE;
    }
    chosen.dpi = dpi;
    chosen.supersample = std::max(
        1, 1 + static_cast<int>(::SendDlgItemMessageW(OptionsWindow(), IDC_EXPORT_SUPERSAMPLE, CB_GETCURSEL, 0, 0)));

    // A name typed as .jpg under the PNG type is written as JPEG, which has no transparency.
    const bool bTransparent = ::IsWindowEnabled(::GetDlgItem(OptionsWindow(), IDC_EXPORT_TRANSPARENT)) &&
                              ::SendDlgItemMessageW(OptionsWindow(), IDC_EXPORT_TRANSPARENT, BM_GETCHECK, 0, 0) == BST_CHECKED;
    const CString typed = m_ofn.lpstrFile;
    const int dot = typed.ReverseFind(L'.');
    if (bTransparent && DecideSaveTarget(typed, dot < 0 ? CString() : typed.Mid(dot + 1), CurrentFilterIndex()).bJpeg) {
        ::MessageBoxW(hDialog,
                      L"JPEG has no transparency: a transparent background needs a PNG file.\n\n"
                      L"Name the file .png, or untick \"Transparent background\".",
                      L"Save Image", MB_OK | MB_ICONWARNING);
        return TRUE;
    }
    const int spin = static_cast<int>(::SendDlgItemMessageW(OptionsWindow(), IDC_EXPORT_SPIN, CB_GETCURSEL, 0, 0));
    if (spin >= 0 && spin < static_cast<int>(ARRAYSIZE(kSpinCounts)))
        m_nSpinCount = kSpinCounts[spin];
    m_settings = chosen;
    return FALSE;
}
