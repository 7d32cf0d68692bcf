// Message maps: a static table per class, chained to its base class's table.
// Each entry binds a message (and for commands and notifications a code and a control id
// range) to a handler; the signature tag says how the handler is called.
#pragma once
#include <windows.h>

class CWnd;
class CCmdTarget;
class CDC;
typedef void (CCmdTarget::*AFX_PMSG)();

// A child's own WM_COMMAND, WM_NOTIFY, WM_DRAWITEM or WM_CTLCOLOR comes back to it
// as the message plus this base ("reflection").
constexpr UINT WM_REFLECT_BASE = 0xBC00;
#ifndef WM_CTLCOLOR
#define WM_CTLCOLOR 0x0019
#endif

enum AfxSig : UINT {
    AfxSig_end = 0,
    AfxSig_vv,        // void (void)
    AfxSig_vw,        // void (UINT_PTR)                  WM_TIMER
    AfxSig_vwp,       // void (UINT nFlags, CPoint)       mouse messages
    AfxSig_vbw,       // void (BOOL bShow, UINT nStatus)  WM_SHOWWINDOW
    AfxSig_hDWw,      // HBRUSH (CDC*, CWnd*, UINT)       WM_CTLCOLOR
    AfxSig_hDw,       // HBRUSH (CDC*, UINT)              reflected WM_CTLCOLOR
    AfxSig_lwl,       // LRESULT (WPARAM, LPARAM)         any message
    AfxSig_vNMHDRpl,  // void (NMHDR*, LRESULT*)          WM_NOTIFY
    AfxSig_vw_id,     // void (UINT nID)                  command range
    AfxSig_bv,        // BOOL (void)                      result is the message's result
    AfxSig_bvEx,      // BOOL (void)                      reflected: FALSE lets the parent see it too
    AfxSig_is,        // int (LPCREATESTRUCT)             WM_CREATE
    AfxSig_vwww,      // void (UINT, UINT, UINT)          key messages
    AfxSig_vW,        // void (CWnd*)                     focus and palette messages
    AfxSig_vbh,       // void (BOOL, DWORD)               WM_ACTIVATEAPP
    AfxSig_bWww,      // BOOL (CWnd*, UINT, UINT)         WM_SETCURSOR
};

struct AFX_MSGMAP_ENTRY {
    UINT nMessage;
    UINT nCode;      // notification code, or 0
    UINT nID;        // first control id, or 0
    UINT nLastID;    // last control id of a range
    UINT nSig;
    AFX_PMSG pfn;
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;
};

#define DECLARE_MESSAGE_MAP()                                   \
protected:                                                      \
    static const AFX_MSGMAP* GetThisMessageMap();               \
    const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                          \
    const AFX_MSGMAP* theClass::GetMessageMap() const                   \
    { return GetThisMessageMap(); }                                     \
    const AFX_MSGMAP* theClass::GetThisMessageMap()                     \
    {                                                                   \
        typedef theClass ThisClass;                                     \
        typedef baseClass TheBaseClass;                                 \
        static const AFX_MSGMAP_ENTRY _messageEntries[] = {

#define END_MESSAGE_MAP()                                               \
            { 0, 0, 0, 0, AfxSig_end, nullptr }                         \
        };                                                              \
        static const AFX_MSGMAP messageMap =                            \
            { &TheBaseClass::GetThisMessageMap, &_messageEntries[0] };  \
        return &messageMap;                                             \
    }

// The table keeps every handler as one pointer type; the signature tag says which
// type to cast it back to before the call.
template <class To, class From>
inline To AfxMemberCast(From pfn)
{
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wcast-function-type"
    return reinterpret_cast<To>(pfn);
#pragma GCC diagnostic pop
}

// Casts a handler of the given signature to the table's common pointer type.
#define AFX_HANDLER(sigType, memberFn) \
    AfxMemberCast<AFX_PMSG>(static_cast<sigType>(memberFn))

// void OnXxx()   -- BN_CLICKED and menu/accelerator commands (code 0)
#define ON_COMMAND(id, memberFxn) \
    { WM_COMMAND, 0, (UINT)(id), (UINT)(id), AfxSig_vv, AFX_HANDLER(void (CCmdTarget::*)(), &ThisClass::memberFxn) },
#define ON_BN_CLICKED(id, memberFxn) ON_COMMAND(id, memberFxn)
// void OnXxx()   -- any WM_COMMAND notification code from control id
#define ON_CONTROL(code, id, memberFxn) \
    { WM_COMMAND, (UINT)(code), (UINT)(id), (UINT)(id), AfxSig_vv, AFX_HANDLER(void (CCmdTarget::*)(), &ThisClass::memberFxn) },
#define ON_LBN_SELCHANGE(id, memberFxn) ON_CONTROL(LBN_SELCHANGE, id, memberFxn)
// void OnXxx(UINT nID)   -- a notification code from a range of controls
#define ON_CONTROL_RANGE(code, idFirst, idLast, memberFxn) \
    { WM_COMMAND, (UINT)(code), (UINT)(idFirst), (UINT)(idLast), AfxSig_vw_id, AFX_HANDLER(void (CCmdTarget::*)(UINT), &ThisClass::memberFxn) },
// void OnXxx(UINT nID)   -- commands from a range of ids
#define ON_COMMAND_RANGE(idFirst, idLast, memberFxn) \
    { WM_COMMAND, 0, (UINT)(idFirst), (UINT)(idLast), AfxSig_vw_id, AFX_HANDLER(void (CCmdTarget::*)(UINT), &ThisClass::memberFxn) },
// void OnXxx(NMHDR* pNMHDR, LRESULT* pResult)
#define ON_NOTIFY(code, id, memberFxn) \
    { WM_NOTIFY, (UINT)(code), (UINT)(id), (UINT)(id), AfxSig_vNMHDRpl, AFX_HANDLER(void (CCmdTarget::*)(NMHDR*, LRESULT*), &ThisClass::memberFxn) },
// LRESULT OnXxx(WPARAM, LPARAM)
#define ON_MESSAGE(message, memberFxn) \
    { (UINT)(message), 0, 0, 0, AfxSig_lwl, AFX_HANDLER(LRESULT (CCmdTarget::*)(WPARAM, LPARAM), &ThisClass::memberFxn) },

// void OnClose()
#define ON_WM_CLOSE() \
    { WM_CLOSE, 0, 0, 0, AfxSig_vv, AFX_HANDLER(void (CCmdTarget::*)(), &ThisClass::OnClose) },
// void OnTimer(UINT_PTR nIDEvent)
#define ON_WM_TIMER() \
    { WM_TIMER, 0, 0, 0, AfxSig_vw, AFX_HANDLER(void (CCmdTarget::*)(UINT_PTR), &ThisClass::OnTimer) },
// void OnMouseMove(UINT nFlags, CPoint point)
#define ON_WM_MOUSEMOVE() \
    { WM_MOUSEMOVE, 0, 0, 0, AfxSig_vwp, AFX_HANDLER(void (CCmdTarget::*)(UINT, CPoint), &ThisClass::OnMouseMove) },
// void OnShowWindow(BOOL bShow, UINT nStatus)
#define ON_WM_SHOWWINDOW() \
    { WM_SHOWWINDOW, 0, 0, 0, AfxSig_vbw, AFX_HANDLER(void (CCmdTarget::*)(BOOL, UINT), &ThisClass::OnShowWindow) },
// HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
#define ON_WM_CTLCOLOR() \
    { WM_CTLCOLOR, 0, 0, 0, AfxSig_hDWw, AFX_HANDLER(HBRUSH (CCmdTarget::*)(CDC*, CWnd*, UINT), &ThisClass::OnCtlColor) },

// The framework's standard Help command.
#ifndef ID_HELP
#define ID_HELP 0xE146
#endif
// BOOL OnHelpInfo()   -- WM_HELP
#define ON_WM_HELPINFO() \
    { WM_HELP, 0, 0, 0, AfxSig_bv, AFX_HANDLER(BOOL (CCmdTarget::*)(), &ThisClass::OnHelpInfo) },
// void OnPaint()
#define ON_WM_PAINT() \
    { WM_PAINT, 0, 0, 0, AfxSig_vv, AFX_HANDLER(void (CCmdTarget::*)(), &ThisClass::OnPaint) },
// void OnNcDestroy()
#define ON_WM_NCDESTROY() \
    { WM_NCDESTROY, 0, 0, 0, AfxSig_vv, AFX_HANDLER(void (CCmdTarget::*)(), &ThisClass::OnNcDestroy) },
// int OnCreate(LPCREATESTRUCT lpCreateStruct)
#define ON_WM_CREATE() \
    { WM_CREATE, 0, 0, 0, AfxSig_is, AFX_HANDLER(int (CCmdTarget::*)(LPCREATESTRUCT), &ThisClass::OnCreate) },
// void OnLButtonUp(UINT nFlags, CPoint point)
#define ON_WM_LBUTTONUP() \
    { WM_LBUTTONUP, 0, 0, 0, AfxSig_vwp, AFX_HANDLER(void (CCmdTarget::*)(UINT, CPoint), &ThisClass::OnLButtonUp) },
// void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags)
#define ON_WM_KEYDOWN() \
    { WM_KEYDOWN, 0, 0, 0, AfxSig_vwww, AFX_HANDLER(void (CCmdTarget::*)(UINT, UINT, UINT), &ThisClass::OnKeyDown) },
// void OnKillFocus(CWnd* pNewWnd)   (null for a window the framework does not know)
#define ON_WM_KILLFOCUS() \
    { WM_KILLFOCUS, 0, 0, 0, AfxSig_vW, AFX_HANDLER(void (CCmdTarget::*)(CWnd*), &ThisClass::OnKillFocus) },
// BOOL OnQueryNewPalette()
#define ON_WM_QUERYNEWPALETTE() \
    { WM_QUERYNEWPALETTE, 0, 0, 0, AfxSig_bv, AFX_HANDLER(BOOL (CCmdTarget::*)(), &ThisClass::OnQueryNewPalette) },
// void OnPaletteChanged(CWnd* pFocusWnd)
#define ON_WM_PALETTECHANGED() \
    { WM_PALETTECHANGED, 0, 0, 0, AfxSig_vW, AFX_HANDLER(void (CCmdTarget::*)(CWnd*), &ThisClass::OnPaletteChanged) },
// void OnActivateApp(BOOL bActive, DWORD dwThreadID)
#define ON_WM_ACTIVATEAPP() \
    { WM_ACTIVATEAPP, 0, 0, 0, AfxSig_vbh, AFX_HANDLER(void (CCmdTarget::*)(BOOL, DWORD), &ThisClass::OnActivateApp) },
// BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message)
#define ON_WM_SETCURSOR() \
    { WM_SETCURSOR, 0, 0, 0, AfxSig_bWww, AFX_HANDLER(BOOL (CCmdTarget::*)(CWnd*, UINT, UINT), &ThisClass::OnSetCursor) },

// Reflected to the control itself. BOOL OnXxx(); TRUE keeps the parent from seeing it.
#define ON_CONTROL_REFLECT_EX(code, memberFxn) \
    { WM_COMMAND + WM_REFLECT_BASE, (UINT)(code), 0, 0, AfxSig_bvEx, AFX_HANDLER(BOOL (CCmdTarget::*)(), &ThisClass::memberFxn) },
// Reflected to the control itself. void OnXxx()
#define ON_CONTROL_REFLECT(code, memberFxn) \
    { WM_COMMAND + WM_REFLECT_BASE, (UINT)(code), 0, 0, AfxSig_vv, AFX_HANDLER(void (CCmdTarget::*)(), &ThisClass::memberFxn) },
// Reflected. void OnXxx(NMHDR*, LRESULT*)
#define ON_NOTIFY_REFLECT(code, memberFxn) \
    { WM_NOTIFY + WM_REFLECT_BASE, (UINT)(code), 0, 0, AfxSig_vNMHDRpl, AFX_HANDLER(void (CCmdTarget::*)(NMHDR*, LRESULT*), &ThisClass::memberFxn) },
// Reflected. HBRUSH CtlColor(CDC* pDC, UINT nCtlColor); a null brush lets the parent answer.
#define ON_WM_CTLCOLOR_REFLECT() \
    { WM_CTLCOLOR + WM_REFLECT_BASE, 0, 0, 0, AfxSig_hDw, AFX_HANDLER(HBRUSH (CCmdTarget::*)(CDC*, UINT), &ThisClass::CtlColor) },
