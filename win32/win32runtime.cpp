// SPDX-FileCopyrightText: 2026 The codelook developers
// SPDX-License-Identifier: MIT

#include "win32runtime.h"

#include "failure.h"
#include "fonts.h"
#include "resource.h"

#include <commctrl.h> // the controls' class names only: comctl32 is not linked
#include <oleacc.h>

#include <algorithm>
#include <optional>

namespace {

constexpr wchar_t formClass[] = L"codelookForm";
// Control ids start above IDOK and IDCANCEL, which the dialog manager sends
// for Enter and Esc: those must press nothing.
constexpr int firstControlId = 100;

std::wstring wide(std::u16string_view s)
{
    return std::wstring(s.begin(), s.end());
}

// Screen readers on a live region: the identifiers as oleacc.h and UI
// Automation give them, here so that oleacc (no KnownDLL) is not linked.
constexpr GUID liveSettingProperty{0xc12bcd8e, 0x2a8e, 0x4950, {0x8a, 0xe7, 0x36, 0x25, 0x11, 0x1d, 0x58, 0xeb}};
constexpr long politeLiveSetting = 1;
constexpr CLSID accPropServicesClass{0xb5f8350b, 0x0548, 0x48b1, {0xa6, 0xee, 0x88, 0xbd, 0x00, 0xb4, 0xa5, 0xe7}};
constexpr IID accPropServicesIid{0x6e26e776, 0x04f0, 0x495d, {0x80, 0xe4, 0x33, 0x30, 0x35, 0x2e, 0x31, 0x69}};

constexpr DWORD formStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD formExStyle = 0;

int shiftState()
{
    return (GetKeyState(VK_SHIFT) < 0 ? forms::vbShiftMask : 0) | (GetKeyState(VK_CONTROL) < 0 ? forms::vbCtrlMask : 0)
        | (GetKeyState(VK_MENU) < 0 ? forms::vbAltMask : 0);
}

// The event a control's notification carries. Buttons and edits number
// their notifications each their own way.
std::optional<forms::Event> eventOf(forms::Kind kind, int code)
{
    const bool box = kind == forms::Kind::TextBox;
    if (!box && code == BN_CLICKED)
        return forms::Event::Click;
    if (box && code == EN_CHANGE)
        return forms::Event::Change;
    if (code == (box ? EN_SETFOCUS : BN_SETFOCUS))
        return forms::Event::GotFocus;
    return std::nullopt;
}

} // namespace

template <typename Raise>
void Win32Runtime::raise(Raise &&raise)
{
    if (!m_events || ended())
        return;
    ++m_depth;
    forms::guard([&] { raise(*m_events); }, [this](const char *what) { fail(what); });
    --m_depth;
    if (m_depth == 0 && m_run == Run::Ending)
        finish();
}

void Win32Runtime::fail(const char *what)
{
    std::wstring reason(std::size_t(std::max(MultiByteToWideChar(CP_ACP, 0, what, -1, nullptr, 0), 1)), L'\0');
    MultiByteToWideChar(CP_ACP, 0, what, -1, reason.data(), int(reason.size()));
    reason.resize(reason.size() - 1);
    forms::endWithFailure(*this, *m_events, std::u16string(reason.begin(), reason.end()));
}

Win32Runtime::Win32Runtime(const forms::FormDef &form)
    : m_model(form)
{
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = formProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = formClass;
    wc.hIcon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_CODELOOK), IMAGE_ICON,
                                             GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), 0));
    wc.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_CODELOOK), IMAGE_ICON,
                                               GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
    // A second runtime in one process (the tests) finds the class there.
    RegisterClassExW(&wc);

    const std::wstring name(form.name.begin(), form.name.end());
    m_form = CreateWindowExW(formExStyle, formClass, name.c_str(), formStyle, CW_USEDEFAULT, CW_USEDEFAULT, 0, 0,
                             nullptr, nullptr, instance, this);
    if (!m_form) {
        m_startFailure = "the window cannot be created";
        return;
    }
    m_dpi = windowDpi(m_form);
    readPlatformColours();
    createControls();
    createLiveRegion();
    createFonts();
    layout();
}

Win32Runtime::~Win32Runtime()
{
    m_events = nullptr;
    if (m_form)
        DestroyWindow(m_form);
    deleteBrushes();
    if (m_com)
        CoUninitialize();
}

Win32Runtime::WindowStyle Win32Runtime::windowStyle(int control) const
{
    WindowStyle w{WC_BUTTONW, WS_CHILD | WS_CLIPSIBLINGS, 0};
    switch (m_model[control].kind) {
    case forms::Kind::Frame:
        w.style |= BS_GROUPBOX;
        break;
    case forms::Kind::Label:
        // A caption on one line: a static that wraps would push its last
        // word below its own edge.
        w.windowClass = WC_STATICW;
        w.style |= SS_LEFTNOWORDWRAP;
        break;
    case forms::Kind::TextBox:
        w.windowClass = WC_EDITW;
        w.style |= ES_LEFT | ES_AUTOHSCROLL;
        w.exStyle |= WS_EX_CLIENTEDGE;
        break;
    case forms::Kind::CommandButton:
        w.style |= BS_PUSHBUTTON;
        break;
    case forms::Kind::OptionButton:
        w.style |= BS_AUTORADIOBUTTON;
        break;
    }
    if (m_model.takesFocus(control))
        w.style |= WS_TABSTOP;
    // A button tells of its focus only when asked to.
    if (m_model[control].kind != forms::Kind::TextBox && m_model.raises(control, forms::Event::GotFocus))
        w.style |= BS_NOTIFY;
    // Option buttons clear one another within the run the model groups.
    if (m_model.startsGroup(control))
        w.style |= WS_GROUP;
    return w;
}

void Win32Runtime::createControls()
{
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    m_controls.resize(std::size_t(m_model.count()));
    // Created in the model's stacking order, top first: the dialog manager's
    // arrow keys follow it within a group of option buttons, and a frame
    // created last lies beneath what it holds.
    for (const int i : m_model.zOrder()) {
        const forms::ControlDef &def = m_model[i];
        Control &c = m_controls[std::size_t(i)];
        const auto [windowClass, style, exStyle] = windowStyle(i);
        const std::wstring text = wide(def.text);
        c.hwnd = CreateWindowExW(exStyle, windowClass, text.c_str(), style, 0, 0, 0, 0, m_form,
                                 reinterpret_cast<HMENU>(INT_PTR(firstControlId + i)), instance, nullptr);
        if (!c.hwnd) {
            m_startFailure = "a control cannot be created";
            return;
        }
        if (def.kind == forms::Kind::TextBox) {
            SendMessageW(c.hwnd, EM_LIMITTEXT, WPARAM(def.maxLength), 0);
            // The edit's own procedure goes on under ours, which raises its
            // keys first; the edit leaves GWLP_USERDATA to its owner.
            SetWindowLongPtrW(c.hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
            c.editProc = reinterpret_cast<WNDPROC>(
                SetWindowLongPtrW(c.hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Win32Runtime::editProc)));
        }
    }
    showControls();
}

// Created last and kept at the bottom of the stacking order with no size: it
// draws nothing, takes no focus, and follows every box, so the static just
// before each box is still its label. Without it the program merely goes
// unheard.
void Win32Runtime::createLiveRegion()
{
    m_liveRegion
        = CreateWindowExW(0, WC_STATICW, L"", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, m_form,
                          reinterpret_cast<HMENU>(INT_PTR(firstControlId - 1)), GetModuleHandleW(nullptr), nullptr);
    if (!m_liveRegion)
        return;
    SetWindowPos(m_liveRegion, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    // Polite: after whatever the screen reader is saying. Wine does not
    // implement the setting (E_NOTIMPL); the event still reaches a reader.
    m_com = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    IAccPropServices *services = nullptr;
    if (SUCCEEDED(CoCreateInstance(accPropServicesClass, nullptr, CLSCTX_INPROC_SERVER, accPropServicesIid,
                                   reinterpret_cast<void **>(&services)))) {
        VARIANT polite{};
        polite.vt = VT_I4;
        polite.lVal = politeLiveSetting;
        services->SetHwndProp(m_liveRegion, DWORD(OBJID_CLIENT), CHILDID_SELF, liveSettingProperty, polite);
        services->Release();
    }
}

// The news is the live region's text, which is its name to MSAA; the event
// has screen readers read it, and the focus stays.
void Win32Runtime::announce(std::u16string_view text)
{
    if (!m_liveRegion)
        return;
    SetWindowTextW(m_liveRegion, wide(text).c_str());
    NotifyWinEvent(EVENT_OBJECT_LIVEREGIONCHANGED, m_liveRegion, OBJID_CLIENT, CHILDID_SELF);
}

void Win32Runtime::createFonts()
{
    // The new fonts first, then every control takes its own, and only then
    // do the old ones go: no control ever paints with a deleted font.
    Fonts fonts;
    const HDC dc = GetDC(m_form);
    for (int i = 0; i < m_model.count(); ++i) {
        Control &c = m_controls[std::size_t(i)];
        c.font = fonts.forControl(dc, m_model, i, m_dpi);
        SendMessageW(c.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(c.font), FALSE);
    }
    ReleaseDC(m_form, dc);
    m_fonts.swap(fonts);
}

void Win32Runtime::layout()
{
    const int width = m_model.clientWidthPixels(int(m_dpi));
    const int height = m_model.clientHeightPixels(int(m_dpi));
    const SIZE frame = outerSize(width, height, formStyle, formExStyle, m_dpi);
    SetWindowPos(m_form, nullptr, 0, 0, frame.cx, frame.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    // Where the frame Windows draws is not the one it computed for this DPI
    // (Wine's, after a change of DPI), the client area is put right from the
    // frame as drawn.
    RECT client{};
    if (!IsIconic(m_form) && GetClientRect(m_form, &client) && (client.right != width || client.bottom != height))
        SetWindowPos(m_form, nullptr, 0, 0, frame.cx + width - client.right, frame.cy + height - client.bottom,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

    for (int i = 0; i < m_model.count(); ++i) {
        const forms::Rect r = m_model.pixelsOnForm(i, int(m_dpi));
        SetWindowPos(m_controls[std::size_t(i)].hwnd, nullptr, r.left, r.top, r.width, r.height,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void Win32Runtime::showControls()
{
    for (std::size_t i = 0; i < m_controls.size(); ++i) {
        const bool shown = m_model.shows(int(i));
        const bool styled = (GetWindowLongPtrW(m_controls[i].hwnd, GWL_STYLE) & WS_VISIBLE) != 0;
        if (styled != shown)
            ShowWindow(m_controls[i].hwnd, shown ? SW_SHOWNA : SW_HIDE);
    }
}

bool Win32Runtime::start(forms::Events &events, int showCommand)
{
    m_events = &events;
    if (m_startFailure) {
        fail(m_startFailure);
        return false;
    }
    const bool shown = forms::start([this](auto &&event) { raise(event); },
                                    [&] {
                                        // The first show raises Resize once, whatever sizes
                                        // Windows sends on the way.
                                        ShowWindow(m_form, showCommand);
                                        if (m_run == Run::Created)
                                            m_run = Run::Shown;
                                    },
                                    [this] { return ended(); });
    if (!shown)
        return false;
    // The form keeps the focus itself: the dialog manager would give it to
    // the first mode button, and so choose a mode unasked.
    SetFocus(m_form);
    UpdateWindow(m_form);
    return true;
}

int Win32Runtime::run()
{
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0)
        dispatch(msg);
    return m_exitCode;
}

bool Win32Runtime::pump()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT)
            break;
        dispatch(msg);
    }
    return !ended();
}

void Win32Runtime::dispatch(MSG &msg)
{
    if (!m_form || (!tab(msg) && !IsDialogMessageW(m_form, &msg))) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

void Win32Runtime::unload()
{
    close(forms::vbFormCode);
}

bool Win32Runtime::tab(const MSG &msg)
{
    // Tab and Shift+Tab, from the form or any of its controls, go where the
    // model's nextTabStop says; the dialog manager never sees them (it would
    // follow WS_TABSTOP, which a radio button's check sets and clears, and
    // Wine's moves nothing while the form itself holds the focus). As the
    // dialog manager does, a box that Tab enters has its text selected.
    // With no control focused, Windows may send the keys as system keys to
    // the active form; Alt+Tab is not ours.
    const bool key = msg.message == WM_KEYDOWN || (msg.message == WM_SYSKEYDOWN && !(msg.lParam & (1 << 29)));
    if (!key || msg.wParam != VK_TAB || (msg.hwnd != m_form && indexOf(msg.hwnd) < 0))
        return false;
    const int next = m_model.nextTabStop(indexOf(msg.hwnd), GetKeyState(VK_SHIFT) < 0);
    if (next >= 0) {
        if (m_model[next].kind == forms::Kind::TextBox)
            SendMessageW(control(next), EM_SETSEL, 0, -1);
        SetFocus(control(next));
    }
    return true;
}

void Win32Runtime::finish()
{
    // Only a running message loop, which a shown window has, waits for the
    // quit.
    const bool loopWaits = m_form && IsWindowVisible(m_form);
    m_run = Run::Ended;
    if (m_form)
        DestroyWindow(m_form);
    if (loopWaits)
        PostQuitMessage(m_exitCode);
}

int Win32Runtime::indexOf(HWND hwnd) const
{
    if (!hwnd)
        return -1;
    const auto i = std::size_t(GetDlgCtrlID(hwnd) - firstControlId);
    return i < m_controls.size() && m_controls[i].hwnd == hwnd ? int(i) : -1;
}

LRESULT Win32Runtime::onCommand(HWND child, int code)
{
    const int control = indexOf(child);
    const std::optional<forms::Event> event = control < 0 ? std::nullopt : eventOf(m_model[control].kind, code);
    if (!event || !m_model.raises(control, *event))
        return 0;
    raise([&](forms::Events &e) {
        switch (*event) {
        case forms::Event::Click:
            return e.Click(control);
        case forms::Event::Change:
            return e.Change(control);
        default:
            return e.GotFocus(control);
        }
    });
    return 0;
}

void Win32Runtime::close(int unloadMode)
{
    bool cancel = false;
    raise([&](forms::Events &e) { cancel = e.QueryUnload(unloadMode); });
    if (!cancel && !ended())
        end(0);
}

LRESULT CALLBACK Win32Runtime::formProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto *create = reinterpret_cast<CREATESTRUCTW *>(lParam);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        static_cast<Win32Runtime *>(create->lpCreateParams)->m_form = hwnd;
    }
    auto *self = reinterpret_cast<Win32Runtime *>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self)
        return DefWindowProcW(hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->m_form = nullptr;
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    return self->formMessage(message, wParam, lParam);
}

LRESULT Win32Runtime::formMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    // clang-format off
    switch (message) {
    case WM_COMMAND:          return onCommand(reinterpret_cast<HWND>(lParam), HIWORD(wParam));
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:   return onCtlColor(message, reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_SYSCOLORCHANGE:   return onSysColorChange();
    case WM_SETTINGCHANGE:    return onSettingChange(wParam, lParam);
    case WM_SIZE:             return onSize();
    case WM_ACTIVATE:         return onActivate(wParam, lParam);
    case WM_NEXTDLGCTL:       return onNextDlgCtl(wParam, lParam);
    case WM_SYSCOMMAND:       return onSysCommand(wParam, lParam);
    case WM_CLOSE:            return onClose();
    case WM_QUERYENDSESSION:  return TRUE;
    case WM_ENDSESSION:       return onEndSession(wParam != 0);
    case WM_DPICHANGED:       return onDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT *>(lParam));
    default:                  return DefWindowProcW(m_form, message, wParam, lParam);
    }
    // clang-format on
}

LRESULT Win32Runtime::onSize()
{
    if (m_run == Run::Shown)
        raise([](forms::Events &e) { e.Resize(); });
    return 0;
}

LRESULT Win32Runtime::onActivate(WPARAM wParam, LPARAM lParam)
{
    // Back to the control that had the focus; before any had, the form keeps
    // it (DefWindowProc), so activation never chooses a mode.
    if (LOWORD(wParam) == WA_INACTIVE) {
        const HWND focus = GetFocus();
        if (indexOf(focus) >= 0)
            m_lastFocus = focus;
    } else if (!HIWORD(wParam) && m_lastFocus && IsWindow(m_lastFocus) && IsWindowVisible(m_lastFocus)) {
        SetFocus(m_lastFocus);
        return 0;
    }
    return DefWindowProcW(m_form, WM_ACTIVATE, wParam, lParam);
}

LRESULT Win32Runtime::onNextDlgCtl(WPARAM wParam, LPARAM lParam)
{
    // The dialog manager's arrow keys name the control to go to; the form is
    // no dialog, so it moves the focus itself. (Tab never reaches the dialog
    // manager; a program's "next control" goes as Tab would.)
    const int next = m_model.nextTabStop(indexOf(GetFocus()), wParam != 0);
    const HWND target = lParam ? reinterpret_cast<HWND>(wParam) : next < 0 ? nullptr : control(next);
    if (target)
        SetFocus(target);
    return 0;
}

LRESULT Win32Runtime::onSysCommand(WPARAM wParam, LPARAM lParam)
{
    if ((wParam & 0xFFF0) != SC_CLOSE)
        return DefWindowProcW(m_form, WM_SYSCOMMAND, wParam, lParam);
    // The close box, Alt+F4 and the system menu's Close all come here; the
    // WM_CLOSE that DefWindowProc would send is left to other programs.
    close(forms::vbFormControlMenu);
    return 0;
}

LRESULT Win32Runtime::onClose()
{
    // A WM_CLOSE without SC_CLOSE: another program asked (the Task Manager).
    close(forms::vbAppTaskManager);
    return 0;
}

LRESULT Win32Runtime::onEndSession(bool ending)
{
    if (ending)
        close(forms::vbAppWindows);
    return 0;
}

LRESULT Win32Runtime::onDpiChanged(UINT dpi, const RECT &suggested)
{
    // Moved to a screen of another DPI: the fonts and controls follow, and
    // the window takes the place and size Windows suggests, with the client
    // area the table's at the new DPI.
    m_dpi = dpi;
    createFonts();
    SetWindowPos(m_form, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    layout();
    refresh();
    return 0;
}

LRESULT CALLBACK Win32Runtime::editProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto *self = reinterpret_cast<Win32Runtime *>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    const int control = self ? self->indexOf(hwnd) : -1;
    // Only ours are subclassed, and each until its WM_NCDESTROY.
    if (control < 0)
        return DefWindowProcW(hwnd, message, wParam, lParam);
    const WNDPROC own = self->m_controls[std::size_t(control)].editProc;
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(own));
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        return CallWindowProcW(own, hwnd, message, wParam, lParam);
    }
    return self->editMessage(control, hwnd, message, wParam, lParam);
}

LRESULT Win32Runtime::editMessage(int control, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    const WNDPROC own = m_controls[std::size_t(control)].editProc;
    switch (message) {
    case WM_GETDLGCODE: {
        // Enter and Esc reach the box as keys (so they raise KeyDown and
        // KeyPress) instead of pressing a button through the dialog manager.
        LRESULT code = CallWindowProcW(own, hwnd, message, wParam, lParam);
        const auto *msg = reinterpret_cast<const MSG *>(lParam);
        if (msg && msg->message == WM_KEYDOWN && (msg->wParam == VK_RETURN || msg->wParam == VK_ESCAPE))
            code |= DLGC_WANTMESSAGE;
        return code;
    }
    case WM_KEYDOWN: {
        int keyCode = int(wParam);
        raise([&](forms::Events &e) { e.KeyDown(control, keyCode, shiftState()); });
        // A handler that clears the key code takes the key from the box.
        if (ended() || keyCode == 0)
            return 0;
        return CallWindowProcW(own, hwnd, message, WPARAM(keyCode), lParam);
    }
    case WM_CHAR: {
        int keyAscii = int(wParam);
        raise([&](forms::Events &e) { e.KeyPress(control, keyAscii); });
        if (ended() || keyAscii <= 0 || keyAscii > 0xFFFF || !admitsTyped(control, char16_t(keyAscii)))
            return 0;
        return CallWindowProcW(own, hwnd, message, WPARAM(keyAscii), lParam);
    }
    case WM_PASTE:
        paste(control);
        return 0;
    default:
        return CallWindowProcW(own, hwnd, message, wParam, lParam);
    }
}

std::size_t Win32Runtime::keptUnits(HWND box)
{
    DWORD start = 0;
    DWORD end = 0;
    SendMessageW(box, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return std::size_t(GetWindowTextLengthW(box)) - (end - start);
}

// A character outside the BMP comes as two WM_CHARs: the pair goes in whole
// or not at all, by the model's limit.
bool Win32Runtime::admitsTyped(int control, char16_t unit) const
{
    const HWND box = m_controls[std::size_t(control)].hwnd;
    if (unit >= 0xD800 && unit < 0xDC00)
        return m_model.admits(control, std::u16string{unit, u'\xDC00'}, keptUnits(box)) == 2;
    if (unit < 0xDC00 || unit > 0xDFFF)
        return true;
    // The second half goes where its first did.
    DWORD start = 0;
    SendMessageW(box, EM_GETSEL, reinterpret_cast<WPARAM>(&start), 0);
    const std::u16string text = this->text(control);
    return start > 0 && start <= text.size() && text[start - 1] >= 0xD800 && text[start - 1] < 0xDC00;
}

// The clipboard's text up to its first line break, as a one-line edit
// pastes it, and of that what the model's limit admits.
void Win32Runtime::paste(int control)
{
    const HWND box = m_controls[std::size_t(control)].hwnd;
    if (locked(control) || !OpenClipboard(box))
        return;
    std::wstring text;
    if (const HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto *chars = static_cast<const wchar_t *>(GlobalLock(data))) {
            text = chars;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    text.resize(std::min(text.find_first_of(L"\r\n"), text.size()));
    const std::size_t kept = keptUnits(box);
    text.resize(m_model.admits(control, std::u16string(text.begin(), text.end()), kept));
    if (text.empty() && kept == std::size_t(GetWindowTextLengthW(box)))
        return;
    SendMessageW(box, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
}

void Win32Runtime::setCaption(std::u16string_view caption)
{
    SetWindowTextW(m_form, wide(caption).c_str());
}

int Win32Runtime::windowState() const
{
    if (IsIconic(m_form))
        return forms::vbMinimized;
    if (IsZoomed(m_form))
        return forms::vbMaximized;
    return forms::vbNormal;
}

void Win32Runtime::refresh()
{
    RedrawWindow(m_form, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

double Win32Runtime::width() const
{
    RECT r{};
    GetWindowRect(m_form, &r);
    return forms::toTwips(r.right - r.left, m_dpi);
}

double Win32Runtime::height() const
{
    RECT r{};
    GetWindowRect(m_form, &r);
    return forms::toTwips(r.bottom - r.top, m_dpi);
}

void Win32Runtime::move(double left, double top)
{
    // The window's DPI for the screen too, as for its size: the place is
    // worked out from both, so they must agree.
    SetWindowPos(m_form, nullptr, forms::placeToPixels(left, int(m_dpi)), forms::placeToPixels(top, int(m_dpi)), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

double Win32Runtime::screenWidth() const
{
    return forms::toTwips(GetSystemMetrics(SM_CXSCREEN), m_dpi);
}

double Win32Runtime::screenHeight() const
{
    return forms::toTwips(GetSystemMetrics(SM_CYSCREEN), m_dpi);
}

void Win32Runtime::pinOnTop()
{
    // Failure leaves the window merely unpinned.
    SetWindowPos(m_form, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
}

void Win32Runtime::end(int exitCode)
{
    if (ended())
        return;
    m_run = Run::Ending;
    m_exitCode = exitCode;
    if (m_depth == 0)
        finish();
}

void Win32Runtime::setVisible(int control, bool visible)
{
    m_model.setVisible(control, visible);
    showControls();
    // A group box paints only its border and caption, so what a hidden frame
    // left under a shown one must be painted over from the form up.
    if (m_form)
        RedrawWindow(m_form, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

std::u16string Win32Runtime::text(int control) const
{
    const HWND hwnd = m_controls.at(std::size_t(control)).hwnd;
    std::wstring text(std::size_t(GetWindowTextLengthW(hwnd)) + 1, L'\0');
    text.resize(std::size_t(GetWindowTextW(hwnd, text.data(), int(text.size()))));
    return std::u16string(text.begin(), text.end());
}

void Win32Runtime::setText(int control, std::u16string_view text)
{
    const HWND hwnd = m_controls.at(std::size_t(control)).hwnd;
    // A change is a different text, as typing makes one: writing the same
    // text again raises nothing. A different one raises Change through the
    // edit's EN_CHANGE, and shows from its start.
    if (this->text(control) != text)
        SetWindowTextW(hwnd, wide(text).c_str());
    SendMessageW(hwnd, EM_SETSEL, 0, 0);
    if (m_model.announces(control, text, indexOf(GetFocus())))
        announce(text);
}

bool Win32Runtime::locked(int control) const
{
    return (GetWindowLongPtrW(m_controls.at(std::size_t(control)).hwnd, GWL_STYLE) & ES_READONLY) != 0;
}

void Win32Runtime::setLocked(int control, bool locked)
{
    SendMessageW(m_controls.at(std::size_t(control)).hwnd, EM_SETREADONLY, locked, 0);
}

void Win32Runtime::setBackColor(int control, forms::Colour colour)
{
    if (m_model.backColor(control) == colour)
        return;
    m_model.setBackColor(control, colour);
    InvalidateRect(m_controls.at(std::size_t(control)).hwnd, nullptr, TRUE);
}

void Win32Runtime::setFocus(int control)
{
    SetFocus(m_controls.at(std::size_t(control)).hwnd);
}

void Win32Runtime::setValue(int control, bool value)
{
    SendMessageW(m_controls.at(std::size_t(control)).hwnd, BM_SETCHECK, value ? BST_CHECKED : BST_UNCHECKED, 0);
}

int Win32Runtime::msgBox(std::u16string_view prompt, int style, std::u16string_view title)
{
    if (ended())
        return forms::vbOK;
    // Before the first show the box stands alone, as the window is not there
    // to own it.
    return MessageBoxW(m_run == Run::Shown ? m_form : nullptr, wide(prompt).c_str(), wide(title).c_str(), UINT(style));
}
