// "Set": a set's products, the one the other pages edit chosen in the list, with Add,
// Duplicate, Remove and Move up and down; how they stand (the arrangement) and that
// arrangement's own values on trackbars, the others hidden.
#pragma once
#include <string>
#include <vector>

#include "product_list.h"
#include "slider_page.h"

class CSetPage : public CSliderPage {
public:
    CSetPage(BoxScene* pScene, ProductList* pProducts);
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;

protected:
    void OnProductChosen();
    void OnArrangementChosen();
    void OnChangeCommand(UINT nID);
    DECLARE_MESSAGE_MAP()

private:
    // The list, the buttons and the arrangement's trackbars as the scene has them, changed
    // only where they differ from what is shown.
    void ShowProducts();
    ProductList* m_pProducts;
    std::vector<std::wstring> m_shownCaptions;
    int m_nShownChosen = -1;
    int m_nShownArrangement = -1;
};
