// "Box Dimensions": the shape (a box, books, a DVD case, a slipcase, an open book, devices); a
// box's width, height, depth and rounded edges on trackbars, with "Fit to pictures", which
// sizes it to the face pictures' proportions; a book's trim, pages, paper and the cover's
// bleed, and the spine they make; an open book's binding, how far it is read and how wide it
// stands open; a device's screen, frame and corners, pose, body, camera, ink and how its
// screen's picture fills it.
#pragma once
#include "slider_page.h"

#include <string>

class CDimensionsPage : public CSliderPage {
public:
    static constexpr int kTypedFieldCount = 10;
    explicit CDimensionsPage(BoxScene* pScene);
    BOOL OnInitDialog() override;
    // Shape, trim, pages, paper and bleed as the scene has them, the box's trackbars resting
    // for a book; changes the controls only when what they show changes (called every tick).
    void ShowBookFields(bool bEvenTyped = false);

protected:
    void OnFitToPictures();
    void OnShapeChosen();
    void OnPaperChosen();
    // An open book's binding, a device's pose, body or screen fit chosen from its list.
    void OnChoiceMade(UINT nID);
    void OnCameraBump();
    // A typed trim, page count, bleed or wrap (a device's screen, corners and frame; an open
    // book's read and open angle), taken when the field loses the keyboard or on Enter.
    void OnBookFieldDone(UINT nID);
    void OnOK() override;
    DECLARE_MESSAGE_MAP()

private:
    bool TakeBookField(int nID);
    // Whether an open book's spread has artwork where its gutter hides it.
    bool GutterHidesArtwork();
    std::wstring m_strGutterKey;  // the spread and values it was last looked for with
    bool m_bGutterArtwork = false;
    std::wstring m_strShown;  // what the book's controls show now
    std::wstring m_strFieldShown[kTypedFieldCount];  // the typed fields' texts as last written into them
};
