// "Side images": an image file and a colour for each of the six faces, for books and cases
// the whole cover, for an open book its spread and for a device its screen.
#pragma once
#include "scene_page.h"
#include "colour_picker_xp.h"

class CSidesPage : public CScenePage {
public:
    explicit CSidesPage(BoxScene* pScene);
    BOOL OnInitDialog() override;

    void OnBrowseSide(int nSlot);
    void OnClearSide(int nSlot);
    // Loads the picture onto face nSlot and shows its path; on failure says why and
    // changes nothing. The browse handler's work after the dialog.
    bool LoadSideFromFile(int nSlot, const CString& path);
    // The same without a message: false with the reason, the face unchanged.
    bool PutSideImage(int nSlot, const CString& path, struct FaceLoadFailure* pWhy);
    // A scene's picture that could not be used: the face shows none, but the scene keeps
    // naming the file until the user puts another picture on the face or clears it.
    void KeepSideReference(int nSlot, const CString& path);
    // Puts back a face as an undo step held it: the picture then loaded (null: none, the
    // path then kept as a reference if it names one).
    void RestoreSide(int nSlot, const CString& path, const PictureRef& picture);
    // The picture file on face nSlot (loaded, or kept as a reference); empty when it has none.
    const CString& SidePath(int nSlot) const { return m_strSidePath[nSlot]; }
    // Shows the faces' colours as the scene holds them (after a scene was opened).
    void ShowSideColours();
    // The face whose row (label to colour button) lies under pt, in this page's client
    // coordinates; -1 for none.
    int SideAtPoint(CPoint pt) const;
    CColourPickerXP& ColourButton(int nSlot) { return m_btnSideColour[nSlot]; }
    // The rows after the six faces' shown as the shape takes them: the whole cover (books
    // and cases), the spread (an open book), the screen (a device).
    void ShowShapeRows(int shape);

protected:
    void OnBrowseCommand(UINT nID);
    void OnClearCommand(UINT nID);
    void OnBrowseCover() { OnBrowseSide(SideCover); }
    void OnClearCover() { OnClearSide(SideCover); }
    void OnBrowseSpread() { OnBrowseSide(SideSpread); }
    void OnClearSpread() { OnClearSide(SideSpread); }
    void OnBrowseScreen() { OnBrowseSide(SideScreen); }
    void OnClearScreen() { OnClearSide(SideScreen); }
    LRESULT OnSideColourAccepted(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    CFileDialog m_dlgOpenImage;
    CColourPickerXP m_btnSideColour[kPictureCount];
    CString m_strSidePath[kPictureCount];
    bool m_bRowShown[3] = {};  // as the template has them: hidden
};
