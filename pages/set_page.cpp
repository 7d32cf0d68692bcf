#include "set_page.h"

#include "arrangements.h"
#include "resource.h"

namespace {
const SliderBinding kSliders[] = {
    {IDC_GAP, kValueGap, IDC_GAP_VALUE},
    {IDC_STAGGER, kValueStagger, IDC_STAGGER_VALUE},
    {IDC_FAN_SPREAD, kValueSpread, IDC_FAN_SPREAD_VALUE},
    {IDC_SEED, kValueSeed, IDC_SEED_VALUE},
    {IDC_PULL, kValuePull, IDC_PULL_VALUE},
    {IDC_PULLED, kValuePulled, IDC_PULLED_VALUE},
    {IDC_LEAN_ANGLE, kValueLeanAngle, IDC_LEAN_ANGLE_VALUE},
    {IDC_PLACE_X, kValuePlaceX, IDC_PLACE_X_VALUE},
    {IDC_PLACE_Z, kValuePlaceZ, IDC_PLACE_Z_VALUE},
    {IDC_TURN, kValueTurn, IDC_TURN_VALUE},
};
// Each trackbar's label, and the arrangements it is shown for (in kSliders' order).
const struct {
    int nLabelID;
    unsigned arrangements;  // a bit for each ArrangeKind
} kShownFor[] = {
    {IDC_GAP_LABEL, 1u << ArrangeRow | 1u << ArrangeFan | 1u << ArrangeLean},
    {IDC_STAGGER_LABEL, 1u << ArrangeRow},
    {IDC_FAN_SPREAD_LABEL, 1u << ArrangeFan},
    {IDC_SEED_LABEL, 1u << ArrangeStack},
    {IDC_PULL_LABEL, 1u << ArrangeBoxSet},
    {IDC_PULLED_LABEL, 1u << ArrangeBoxSet},
    {IDC_LEAN_ANGLE_LABEL, 1u << ArrangeLean},
    {IDC_PLACE_X_LABEL, 1u << ArrangeFree},
    {IDC_PLACE_Z_LABEL, 1u << ArrangeFree},
    {IDC_TURN_LABEL, 1u << ArrangeFree},
};
static_assert(ARRAYSIZE(kShownFor) == ARRAYSIZE(kSliders), "a label for each trackbar");
const wchar_t* const kArrangementCaptions[kArrangeCount] = {L"Row", L"Stack", L"Fan", L"Box set", L"Lean", L"Free"};
const int kChangeIds[] = {IDC_SET_ADD, IDC_SET_DUPLICATE, IDC_SET_REMOVE, IDC_SET_UP, IDC_SET_DOWN};
const ProductChange kChanges[] = {ProductChange::Add, ProductChange::Duplicate, ProductChange::Remove,
                                  ProductChange::MoveUp, ProductChange::MoveDown};
} // namespace

BEGIN_MESSAGE_MAP(CSetPage, CSliderPage)
    ON_CONTROL(LBN_SELCHANGE, IDC_SET_LIST, OnProductChosen)
    ON_CONTROL(CBN_SELCHANGE, IDC_ARRANGE, OnArrangementChosen)
    ON_COMMAND_RANGE(IDC_SET_ADD, IDC_SET_DOWN, OnChangeCommand)
END_MESSAGE_MAP()

CSetPage::CSetPage(BoxScene* pScene, ProductList* pProducts)
    : CSliderPage(pScene, kSliders, ARRAYSIZE(kSliders)), m_pProducts(pProducts)
{
}

BOOL CSetPage::OnInitDialog()
{
    // The list's names before the first exchange shows the scene's choice in it.
    for (const wchar_t* pszCaption : kArrangementCaptions)
        ::SendDlgItemMessageW(m_hWnd, IDC_ARRANGE, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(pszCaption));
    CSliderPage::OnInitDialog();
    ShowProducts();
    return TRUE;
}

void CSetPage::DoDataExchange(CDataExchange* pDX)
{
    CSliderPage::DoDataExchange(pDX);
    if (!pDX->m_bSaveAndValidate)
        ShowProducts();
}

void CSetPage::ShowProducts()
{
    if (!m_hWnd)
        return;
    m_bShowing = true;
    const std::vector<std::wstring> captions = m_pProducts->ProductCaptions();
    const int chosen = m_pProducts->ChosenProduct();
    HWND hList = GetDlgItemHandle(IDC_SET_LIST);
    if (captions != m_shownCaptions) {
        ::SendMessageW(hList, LB_RESETCONTENT, 0, 0);
        for (const std::wstring& caption : captions)
            ::SendMessageW(hList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(caption.c_str()));
        m_shownCaptions = captions;
        m_nShownChosen = -1;
    }
    if (chosen != m_nShownChosen) {
        ::SendMessageW(hList, LB_SETCURSEL, static_cast<WPARAM>(chosen), 0);
        const int count = static_cast<int>(captions.size());
        const bool enabled[] = {count < kMaxProducts, count < kMaxProducts, count > 1, chosen > 0, chosen + 1 < count};
        for (int i = 0; i < static_cast<int>(ARRAYSIZE(kChangeIds)); ++i)
            ::EnableWindow(GetDlgItemHandle(kChangeIds[i]), enabled[i]);
        m_nShownChosen = chosen;
    }
    const int arrangement = m_pScene->m_nArrange;
    if (arrangement != m_nShownArrangement) {
        ::SendDlgItemMessageW(m_hWnd, IDC_ARRANGE, CB_SETCURSEL, static_cast<WPARAM>(arrangement), 0);
        for (int i = 0; i < static_cast<int>(ARRAYSIZE(kSliders)); ++i) {
            const int show = (kShownFor[i].arrangements >> arrangement) & 1 ? SW_SHOWNA : SW_HIDE;
            for (int id : {kSliders[i].nID, kSliders[i].nValueLabelID, kShownFor[i].nLabelID})
                ::ShowWindow(GetDlgItemHandle(id), show);
        }
        m_nShownArrangement = arrangement;
    }
    m_bShowing = false;
}

void CSetPage::OnProductChosen()
{
    const int k = static_cast<int>(::SendDlgItemMessageW(m_hWnd, IDC_SET_LIST, LB_GETCURSEL, 0, 0));
    if (!m_bShowing && k >= 0)
        m_pProducts->ChooseProduct(k);
}

void CSetPage::OnArrangementChosen()
{
    TakeListChoice(IDC_ARRANGE, &BoxScene::m_nArrange, kArrangeCount);
}

void CSetPage::OnChangeCommand(UINT nID)
{
    for (int i = 0; i < static_cast<int>(ARRAYSIZE(kChangeIds)); ++i)
        if (kChangeIds[i] == static_cast<int>(nID))
            m_pProducts->ChangeProducts(kChanges[i]);
}
