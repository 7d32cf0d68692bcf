#include "templates_page.h"

#include <commctrl.h>

#include "box_templates.h"
#include "resource.h"
#include "scene_description.h"
#include "shape_kinds.h"

BEGIN_MESSAGE_MAP(CTemplatesPage, CScenePage)
    ON_LBN_SELCHANGE(IDC_TEMPLATE_LIST, OnSelChangeTemplates)
    ON_WM_SHOWWINDOW()
    ON_BN_CLICKED(IDC_VIEW_ADD, OnAddView)
    ON_BN_CLICKED(IDC_VIEW_RENAME, OnRenameView)
    ON_BN_CLICKED(IDC_VIEW_DELETE, OnDeleteView)
    ON_NOTIFY(LVN_ITEMCHANGED, IDC_VIEW_LIST, OnViewChanged)
    ON_NOTIFY(NM_CLICK, IDC_VIEW_LIST, OnViewClicked)
    ON_NOTIFY(LVN_ENDLABELEDITW, IDC_VIEW_LIST, OnViewEndEdit)
END_MESSAGE_MAP()

CTemplatesPage::CTemplatesPage(BoxScene* pScene, std::vector<SceneView>* pViews) : CScenePage(pScene), m_pViews(pViews)
{
}

BOOL CTemplatesPage::OnInitDialog()
{
    FillTemplateList();

    HWND hViews = GetDlgItemHandle(IDC_VIEW_LIST);
    ::SendMessageW(hViews, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    RECT rc;
    ::GetClientRect(hViews, &rc);
    LVCOLUMNW column = {};
    column.mask = LVCF_WIDTH;
    column.cx = rc.right - ::GetSystemMetrics(SM_CXVSCROLL);
    ::SendMessageW(hViews, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
    FillViewList(-1);
    return TRUE;
}

void CTemplatesPage::FillTemplateList()
{
    // The views for books and cases follow the nine, so a name's place is its template's.
    m_bBookViewsShown = m_pScene->m_nShape != ShapeBox;
    CListBox list;
    list.Attach(GetDlgItemHandle(IDC_TEMPLATE_LIST));
    list.ResetContent();
    for (const BoxTemplate& t : g_boxTemplates)
        if (!t.bBookView || m_bBookViewsShown)
            list.AddString(t.pszName);
    list.Detach();
}

void CTemplatesPage::DoDataExchange(CDataExchange*)
{
    if ((m_pScene->m_nShape != ShapeBox) != m_bBookViewsShown)
        FillTemplateList();
    // The views change under the page when a scene is opened or a change undone.
    if (*m_pViews != m_shownViews)
        FillViewList(-1);
}


void CTemplatesPage::OnSelChangeTemplates()
{
    CListBox list;
    list.Attach(GetDlgItemHandle(IDC_TEMPLATE_LIST));
    int index = list.GetCurSel();
    list.Detach();
    if (index < 0 || index >= kBoxTemplateCount)
        return;

    // "Keep box size": the template's view only; the box, its light and background stay.
    SceneDescription scene;
    scene.TakeFrom(*m_pScene);
    ApplyTemplate(g_boxTemplates[index], ::IsDlgButtonChecked(m_hWnd, IDC_KEEP_BOX_SIZE) == BST_CHECKED, scene.values,
                  &scene.background);
    scene.ApplyTo(*m_pScene);
    m_pScene->RefreshPages();
}

void CTemplatesPage::OnShowWindow(BOOL bShow, UINT)
{
    Default();
    // Each time the page comes to the front no name is selected, so any click applies.
    if (bShow)
        ::SendDlgItemMessageW(m_hWnd, IDC_TEMPLATE_LIST, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
}

void CTemplatesPage::FillViewList(int nSelect)
{
    HWND hViews = GetDlgItemHandle(IDC_VIEW_LIST);
    m_bFilling = true;  // selecting here only shows; it does not move the camera
    ::SendMessageW(hViews, LVM_DELETEALLITEMS, 0, 0);
    for (size_t i = 0; i < m_pViews->size(); ++i) {
        LVITEMW item = {};
        item.mask = LVIF_TEXT;
        item.iItem = static_cast<int>(i);
        item.pszText = const_cast<LPWSTR>((*m_pViews)[i].name.c_str());
        ::SendMessageW(hViews, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    }
    if (nSelect >= 0) {
        LVITEMW state = {};
        state.stateMask = state.state = LVIS_SELECTED | LVIS_FOCUSED;
        ::SendMessageW(hViews, LVM_SETITEMSTATE, static_cast<WPARAM>(nSelect), reinterpret_cast<LPARAM>(&state));
        ::SendMessageW(hViews, LVM_ENSUREVISIBLE, static_cast<WPARAM>(nSelect), FALSE);
    }
    m_bFilling = false;
    m_shownViews = *m_pViews;
    EnableViewButtons();
}

int CTemplatesPage::SelectedView() const
{
    const int index = static_cast<int>(::SendMessageW(FindDlgItem(IDC_VIEW_LIST), LVM_GETNEXTITEM,
                                                      static_cast<WPARAM>(-1), LVNI_SELECTED));
    return index >= 0 && index < static_cast<int>(m_pViews->size()) ? index : -1;
}

void CTemplatesPage::EnableViewButtons()
{
    const BOOL bSelected = SelectedView() >= 0;
    ::EnableWindow(FindDlgItem(IDC_VIEW_RENAME), bSelected);
    ::EnableWindow(FindDlgItem(IDC_VIEW_DELETE), bSelected);
}

void CTemplatesPage::GoToView(int nIndex)
{
    if (nIndex < 0 || nIndex >= static_cast<int>(m_pViews->size()))
        return;
    SceneDescription values;
    values.TakeFrom(*m_pScene);
    (*m_pViews)[static_cast<size_t>(nIndex)].ApplyTo(values.values);
    values.ApplyTo(*m_pScene);
    m_pScene->RefreshPages();
}

void CTemplatesPage::OnAddView()
{
    SceneDescription values;
    values.TakeFrom(*m_pScene);
    m_pViews->push_back(SceneView::Of(NewViewName(*m_pViews), values.values));
    const int index = static_cast<int>(m_pViews->size()) - 1;
    FillViewList(index);
    // Named at once, the text selected, as Explorer names a new folder.
    HWND hViews = GetDlgItemHandle(IDC_VIEW_LIST);
    ::SetFocus(hViews);
    ::SendMessageW(hViews, LVM_EDITLABELW, static_cast<WPARAM>(index), 0);
}

void CTemplatesPage::OnRenameView()
{
    const int index = SelectedView();
    if (index < 0)
        return;
    HWND hViews = GetDlgItemHandle(IDC_VIEW_LIST);
    ::SetFocus(hViews);
    ::SendMessageW(hViews, LVM_EDITLABELW, static_cast<WPARAM>(index), 0);
}

void CTemplatesPage::OnDeleteView()
{
    const int index = SelectedView();
    if (index < 0)
        return;
    m_pViews->erase(m_pViews->begin() + index);  // Undo brings it back
    FillViewList(-1);
}

void CTemplatesPage::OnViewChanged(NMHDR* pNMHDR, LRESULT* pResult)
{
    const auto* pChange = reinterpret_cast<const NMLISTVIEW*>(pNMHDR);
    *pResult = 0;
    if (m_bFilling || !(pChange->uChanged & LVIF_STATE))
        return;
    EnableViewButtons();
    if ((pChange->uNewState & LVIS_SELECTED) && !(pChange->uOldState & LVIS_SELECTED))
        GoToView(pChange->iItem);  // by a click or an arrow key
}

void CTemplatesPage::OnViewClicked(NMHDR* pNMHDR, LRESULT* pResult)
{
    // The selected view clicked again: back to it, after the camera moved since.
    GoToView(reinterpret_cast<const NMITEMACTIVATE*>(pNMHDR)->iItem);
    *pResult = 0;
}

void CTemplatesPage::OnViewEndEdit(NMHDR* pNMHDR, LRESULT* pResult)
{
    const auto* pEdit = reinterpret_cast<const NMLVDISPINFOW*>(pNMHDR);
    *pResult = FALSE;
    const int index = pEdit->item.iItem;
    if (!pEdit->item.pszText || index < 0 || index >= static_cast<int>(m_pViews->size()))
        return;  // Escape: the name stays
    std::wstring name = pEdit->item.pszText;
    name.erase(0, name.find_first_not_of(L' '));
    name.erase(name.find_last_not_of(L' ') + 1);
    const std::wstring refusal = ViewNameRefusal(*m_pViews, name, static_cast<size_t>(index));
    if (!refusal.empty()) {
        MessageBox((L"The view keeps its name \"" + (*m_pViews)[static_cast<size_t>(index)].name + L"\": " + refusal +
                    L".").c_str(),
                   L"Zelmora", MB_OK | MB_ICONWARNING);
        return;
    }
    (*m_pViews)[static_cast<size_t>(index)].name = name;
    m_shownViews = *m_pViews;
    // Shown trimmed, as kept (the list would take the typed text as it is).
    LVITEMW item = {};
    item.pszText = &name[0];
    ::SendMessageW(pNMHDR->hwndFrom, LVM_SETITEMTEXTW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
}
