// SPDX-FileCopyrightText: 2026 The codelook developers
// SPDX-License-Identifier: MIT

#include "subclass.h"

namespace {

struct Subclass
{
    WNDPROC previous;
    SubclassProc proc;
    UINT_PTR id;
    DWORD_PTR refData;
};

constexpr wchar_t subclassProperty[] = L"codelook.subclass";

Subclass *subclassOf(HWND hwnd)
{
    return static_cast<Subclass *>(GetPropW(hwnd, subclassProperty));
}

LRESULT CALLBACK subclassDispatch(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (const Subclass *s = subclassOf(hwnd))
        return s->proc(hwnd, message, wParam, lParam, s->id, s->refData);
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

} // namespace

bool subclassWindow(HWND hwnd, SubclassProc proc, UINT_PTR id, DWORD_PTR refData)
{
    if (subclassOf(hwnd))
        return false;
    auto *s = new Subclass{nullptr, proc, id, refData};
    if (!SetPropW(hwnd, subclassProperty, s)) {
        delete s;
        return false;
    }
    s->previous = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&subclassDispatch)));
    if (!s->previous) {
        RemovePropW(hwnd, subclassProperty);
        delete s;
        return false;
    }
    return true;
}

void removeWindowSubclass(HWND hwnd)
{
    Subclass *s = subclassOf(hwnd);
    if (!s)
        return;
    SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(s->previous));
    RemovePropW(hwnd, subclassProperty);
    delete s;
}

LRESULT callSubclassedProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (const Subclass *s = subclassOf(hwnd))
        return CallWindowProcW(s->previous, hwnd, message, wParam, lParam);
    // Already removed (the last messages of WM_NCDESTROY): the window's
    // procedure is the previous one again.
    const auto current = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(hwnd, GWLP_WNDPROC));
    if (current && current != &subclassDispatch)
        return CallWindowProcW(current, hwnd, message, wParam, lParam);
    return DefWindowProcW(hwnd, message, wParam, lParam);
}
