// "Templates": a list of the preset views (clicking a name applies it: the nine, and for a
// book or case its own three) and the scene's own views (clicking one goes to it; Add keeps
// the current view under a name).
#pragma once
#include <vector>

#include "scene_page.h"
#include "scene_views.h"

class CTemplatesPage : public CScenePage {
public:
    // pViews: the scene's own views, kept by the owner of the scene.
    CTemplatesPage(BoxScene* pScene, std::vector<SceneView>* pViews);
    BOOL OnInitDialog() override;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    void OnSelChangeTemplates();
    void OnShowWindow(BOOL bShow, UINT nStatus);
    void OnAddView();
    void OnRenameView();
    void OnDeleteView();
    void OnViewChanged(NMHDR* pNMHDR, LRESULT* pResult);
    void OnViewClicked(NMHDR* pNMHDR, LRESULT* pResult);
    void OnViewEndEdit(NMHDR* pNMHDR, LRESULT* pResult);
    DECLARE_MESSAGE_MAP()

private:
    void FillTemplateList();
    void FillViewList(int nSelect);
    int SelectedView() const;
    void GoToView(int nIndex);
    void EnableViewButtons();

    std::vector<SceneView>* m_pViews;
    std::vector<SceneView> m_shownViews;  // what the list shows, to see when the scene's change
    bool m_bFilling = false;
    bool m_bBookViewsShown = false;
};
