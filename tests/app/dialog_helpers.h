// What the in-process dialog tests share: running the main dialog with a check inside its
// loop, actions run later from whatever loop is running, and answering message boxes.
#pragma once
#include <windows.h>

#include <functional>
#include <map>
#include <string>

#include "box_dlg.h"

// A timer that runs `action` once, from whatever message loop is running then.
struct Later {
    static void After(UINT ms, std::function<void()> action)
    {
        s_actions[::SetTimer(nullptr, 0, ms, &Fire)] = std::move(action);
    }
    static void CALLBACK Fire(HWND, UINT, UINT_PTR id, DWORD)
    {
        ::KillTimer(nullptr, id);
        auto found = s_actions.find(id);
        if (found == s_actions.end())
            return;
        auto action = std::move(found->second);
        s_actions.erase(found);
        action();
    }
    static inline std::map<UINT_PTR, std::function<void()>> s_actions;
};

// The enabled, visible top-level window of this thread with that title (a dialog's owner
// is disabled while the dialog runs, so the main window never matches by accident).
inline HWND FindTopLevel(LPCWSTR title)
{
    struct Search { LPCWSTR title; HWND found; } s = {title, nullptr};
    ::EnumThreadWindows(::GetCurrentThreadId(), [](HWND h, LPARAM lp) {
        auto* s = reinterpret_cast<Search*>(lp);
        wchar_t text[64] = {};
        ::GetWindowTextW(h, text, 64);
        if (!s->found && ::IsWindowVisible(h) && ::IsWindowEnabled(h) && wcscmp(text, s->title) == 0)
            s->found = h;
        return TRUE;
    }, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

// Runs `action` with the next owned window titled `title` (a message box, a dialog: never the
// main window of the same title) once it is up, looking every 100 ms for up to 30 s: a busy
// machine shows it late.
inline void WhenShown(LPCWSTR title, std::function<void(HWND)> action, int triesLeft = 300)
{
    Later::After(100, [=] {
        HWND window = FindTopLevel(title);
        if (window && ::GetWindow(window, GW_OWNER))
            action(window);
        else if (triesLeft > 0)
            WhenShown(title, action, triesLeft - 1);
    });
}

// Answers the next message box titled `title` with `button`; `*pText` gets its message.
inline void AnswerMessageBox(LPCWSTR title, int button, std::wstring* pText)
{
    WhenShown(title, [=](HWND box) {
        wchar_t buf[2048] = {};
        ::GetDlgItemTextW(box, 0xFFFF, buf, 2048);  // the message text
        if (pText)
            *pText = buf;
        ::PostMessageW(box, WM_COMMAND, static_cast<WPARAM>(button), 0);
    });
}

// Runs the main dialog modally, calls `check` from inside its loop once it is up, then
// closes it as the close box does.
inline void RunMainDialog(CBoxDlg& dlg, std::function<void(CBoxDlg&)> check)
{
    Later::After(300, [&dlg, check] {
        check(dlg);
        ::PostMessageW(dlg.m_hWnd, WM_CLOSE, 0, 0);
    });
    dlg.DoModal();
}

// Runs the window's messages, its render tick among them, for a while.
inline void PumpFor(DWORD ms)
{
    const DWORD end = ::GetTickCount() + ms;
    MSG msg;
    while (static_cast<LONG>(end - ::GetTickCount()) > 0) {
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        ::Sleep(5);
    }
}

// A control anywhere inside a window (the save dialog's options sit in a child dialog).
inline HWND FindDescendant(HWND parent, int id)
{
    struct Search { int id; HWND found; } s = {id, nullptr};
    ::EnumChildWindows(parent, [](HWND h, LPARAM lp) {
        auto* s = reinterpret_cast<Search*>(lp);
        if (::GetDlgCtrlID(h) == s->id && !s->found)
            s->found = h;
        return TRUE;
    }, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

// Runs `step` on the save dialog once it is up (tries for ten seconds).
inline void OnSaveDialog(std::function<void(HWND)> step, int tries = 100)
{
    Later::After(100, [=] {
        if (HWND dialog = FindTopLevel(L"Save As"))
            step(dialog);
        else if (tries > 0)
            OnSaveDialog(step, tries - 1);
    });
}
