// "Save Image...": the save dialog with the export options below the file type: the size
// (the preview's, a preset on the long side keeping the preview's shape, or typed), a
// transparent background (PNG only), the DPI written into the file, the supersampling and,
// for the "360 spin" type, how many pictures.
#pragma once
#include <windows.h>

#include "afxdlgs.h"
#include "scene_description.h"

// The counts of pictures a "360 spin" offers (shops ask for 24, 36, 48 or 72).
constexpr int kSpinCounts[] = {24, 36, 48, 72};

// The presets' long sides, in the order the size list shows them after the preview's size.
constexpr UINT kExportPresets[] = {1024, 2048, 4096};

// The size of a preset: the long side as given, the other keeping the preview's shape.
SIZE PresetSize(SIZE preview, UINT longSide);

class CExportFileDialog : public CFileDialog {
public:
    CExportFileDialog();
    // Before DoModal: the settings to show, the preview's size, the largest side allowed.
    void Prepare(const ExportSettings& settings, SIZE preview, UINT maxSide);
    // After IDOK: what was chosen (transparency as ticked, whatever the type).
    const ExportSettings& Chosen() const { return m_settings; }
    // After IDOK with the "360 spin" type: how many pictures (kept for the run).
    int SpinCount() const { return m_nSpinCount; }

protected:
    void OnInitDone() override;
    void OnTypeChange() override;
    void OnOptionCommand(UINT nID, UINT nCode) override;
    BOOL OnFileNameOK() override;

private:
    int SelectedSize() const;
    void ShowSizeFields();
    void ShowTransparency();
    int ReadNumber(int nID) const;

    ExportSettings m_settings;
    SIZE m_preview = {};
    UINT m_nMaxSide = 0;
    int m_nSpinCount = kSpinCounts[0];
};
