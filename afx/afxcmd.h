// CCmdTarget: an object with a message map. Windows derive from it, and so does the
// application, which receives the commands no window handled.
#pragma once
#include "afxmsg.h"
#include "afxobj.h"

class CCmdTarget : public CObject {
public:
    // Runs this object's handler of command nID with notification code nCode, if any.
    virtual BOOL OnCmdMsg(UINT nID, UINT nCode);

protected:
    static const AFX_MSGMAP* GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;
    static const AFX_MSGMAP_ENTRY* FindEntry(const AFX_MSGMAP* pMap, UINT nMessage, UINT nCode, UINT nID);
};
