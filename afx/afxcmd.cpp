#include "afxcmd.h"

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap()
{
    static const AFX_MSGMAP_ENTRY entries[] = { { 0, 0, 0, 0, AfxSig_end, nullptr } };
    static const AFX_MSGMAP map = { nullptr, &entries[0] };
    return &map;
}

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const
{
    return GetThisMessageMap();
}

const AFX_MSGMAP_ENTRY* CCmdTarget::FindEntry(const AFX_MSGMAP* pMap, UINT nMessage, UINT nCode, UINT nID)
{
    for (; pMap; pMap = pMap->pfnGetBaseMap ? pMap->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* e = pMap->lpEntries; e->nSig != AfxSig_end; ++e) {
            if (e->nMessage == nMessage && e->nCode == nCode && e->nID <= nID && nID <= e->nLastID)
                return e;
        }
    }
    return nullptr;
}

BOOL CCmdTarget::OnCmdMsg(UINT nID, UINT nCode)
{
    const AFX_MSGMAP_ENTRY* pEntry = FindEntry(GetMessageMap(), WM_COMMAND, nCode, nID);
    if (!pEntry)
        return FALSE;
    if (pEntry->nSig == AfxSig_vv)
        (this->*pEntry->pfn)();
    else if (pEntry->nSig == AfxSig_vw_id)
        (this->*AfxMemberCast<void (CCmdTarget::*)(UINT)>(pEntry->pfn))(nID);
    else
        return FALSE;
    return TRUE;
}
