// SPDX-FileCopyrightText: 2026 The codelook developers
// SPDX-License-Identifier: MIT

#include "win32runtime.h"

#include "resource.h"
#include "subclass.h"

#include <commctrl.h> // the controls' class names only: comctl32 is not linked

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <exception>

namespace {

constexpr wchar_t formClass[] = L"codelookForm";
// Control ids start above IDOK and IDCANCEL, which the dialog manager sends
// for Enter and Esc: those must press nothing.
constexpr int firstControlId = 100;
constexpr UINT_PTR editSubclassId = 1;
constexpr int twipsPerInch = 1440;

std::wstring wide(std::u16string_view s)
{
    return std::wstring(s.begin(), s.end());
}

int pixels(int twips, UINT dpi)
{
    return MulDiv(twips, int(dpi), twipsPerInch);
}

// Where Windows has them: Windows 10 1607 and later. Older systems, and
// Wine where it lacks one, fall back to the system DPI.
struct DpiFunctions
{
    UINT(WINAPI *getDpiForWindow)(HWND) = nullptr;
    BOOL(WINAPI *adjustWindowRectExForDpi)(LPRECT, DWORD, BOOL, DWORD, UINT) = nullptr;
};

template <typename Function>
void load(HMODULE module, const char *name, Function &function)
{
    // Through a plain function pointer type, which GCC accepts from FARPROC.
    function = reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

const DpiFunctions &dpiFunctions()
{
    static const DpiFunctions functions = [] {
        DpiFunctions f;
        if (HMODULE user32 = GetModuleHandleW(L"user32.dll")) {
            load(user32, "GetDpiForWindow", f.getDpiForWindow);
            load(user32, "AdjustWindowRectExForDpi", f.adjustWindowRectExForDpi);
        }
        return f;
    }();
    return functions;
}

UINT screenDpi()
{
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? UINT(dpi) : USER_DEFAULT_SCREEN_DPI;
}

UINT windowDpi(HWND hwnd)
{
    if (const auto getDpiForWindow = dpiFunctions().getDpiForWindow) {
        if (const UINT dpi = getDpiForWindow(hwnd))
            return dpi;
    }
    return screenDpi();
}

constexpr DWORD formStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD formExStyle = 0;

int shiftState()
{
    return (GetKeyState(VK_SHIFT) < 0 ? 1 : 0) | (GetKeyState(VK_CONTROL) < 0 ? 2 : 0)
        | (GetKeyState(VK_MENU) < 0 ? 4 : 0);
}

[[noreturn]] void endWithFailure(const char *what)
{
    std::wstring prompt = L"THE PROGRAM MUST END: ";
    const int length = MultiByteToWideChar(CP_ACP, 0, what, -1, nullptr, 0);
    if (length > 1) {
        std::wstring reason(std::size_t(length), L'\0');
        MultiByteToWideChar(CP_ACP, 0, what, -1, reason.data(), length);
        reason.resize(std::size_t(length - 1));
        prompt += reason;
    }
    MessageBoxW(nullptr, prompt.c_str(), L"CODELOOK ERROR", MB_OK | MB_ICONERROR);
    std::exit(EXIT_FAILURE);
}

} // namespace

template <typename Raise>
void Win32Runtime::raise(Raise &&raise)
{
    if (!m_events || m_ended)
        return;
    ++m_depth;
    // An exception must not unwind through the system's window code.
    try {
        raise(*m_events);
    } catch (const std::exception &e) {
        endWithFailure(e.what());
    } catch (...) {
        endWithFailure("unknown failure");
    }
    --m_depth;
    if (m_depth == 0 && m_ended)
        finish();
}

Win32Runtime::Win32Runtime(const forms::FormDef &form)
    : m_def(form)
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
    if (!m_form)
        endWithFailure("the window cannot be created");
    m_dpi = windowDpi(m_form);
    createControls();
    createFonts();
    layout();
}

Win32Runtime::~Win32Runtime()
{
    m_events = nullptr;
    if (m_form)
        DestroyWindow(m_form);
    for (const auto &[key, font] : m_fonts)
        DeleteObject(font);
    for (const auto &[colour, brush] : m_brushes)
        DeleteObject(brush);
}

void Win32Runtime::createControls()
{
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    const std::size_t count = m_def.controls.size();
    m_controls.resize(count);
    std::vector<int> order(count);
    for (std::size_t i = 0; i < count; ++i)
        order[i] = int(i);
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return m_def.controls[a].tabIndex < m_def.controls[b].tabIndex; });

    // Created in tab order: the dialog manager's arrow keys follow the
    // creation order within a group of option buttons.
    bool previousWasOption = false;
    for (const int i : order) {
        const forms::ControlDef &def = m_def.controls[std::size_t(i)];
        Control &c = m_controls[std::size_t(i)];
        c.def = &def;
        c.visible = def.visible;
        c.backColor = def.backColor;
        c.maxLength = def.maxLength;

        const wchar_t *windowClass = WC_BUTTONW;
        DWORD style = WS_CHILD | WS_CLIPSIBLINGS;
        DWORD exStyle = 0;
        switch (def.kind) {
        case forms::Kind::Frame:
            style |= BS_GROUPBOX;
            break;
        case forms::Kind::Label:
            windowClass = WC_STATICW;
            style |= SS_LEFT;
            break;
        case forms::Kind::TextBox:
            windowClass = WC_EDITW;
            style |= WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL;
            exStyle |= WS_EX_CLIENTEDGE;
            break;
        case forms::Kind::CommandButton:
            style |= WS_TABSTOP | BS_PUSHBUTTON;
            break;
        case forms::Kind::OptionButton:
            // BS_NOTIFY: the window must hear of the focus, not only of clicks.
            style |= WS_TABSTOP | BS_AUTORADIOBUTTON | BS_NOTIFY;
            break;
        }
        // One group per run of option buttons, so selecting one clears the
        // others of that run only.
        const bool option = def.kind == forms::Kind::OptionButton;
        if (!option || !previousWasOption)
            style |= WS_GROUP;
        previousWasOption = option;

        const std::wstring text = wide(def.text);
        c.hwnd = CreateWindowExW(exStyle, windowClass, text.c_str(), style, 0, 0, 0, 0, m_form,
                                 reinterpret_cast<HMENU>(INT_PTR(firstControlId + i)), instance, nullptr);
        if (!c.hwnd)
            endWithFailure("a control cannot be created");
        if (def.kind == forms::Kind::TextBox) {
            SendMessageW(c.hwnd, EM_LIMITTEXT, WPARAM(def.maxLength), 0);
            subclassWindow(c.hwnd, editProc, editSubclassId, reinterpret_cast<DWORD_PTR>(this));
        }
        if (def.kind != forms::Kind::Frame && def.kind != forms::Kind::Label)
            m_tabOrder.push_back(i);
    }

    // Frames go beneath everything else, so a frame never paints over what
    // lies in it.
    for (std::size_t i = 0; i < count; ++i) {
        if (m_controls[i].def->kind == forms::Kind::Frame)
            SetWindowPos(m_controls[i].hwnd, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    showControls();
}

void Win32Runtime::createFonts()
{
    for (const auto &[key, font] : m_fonts)
        DeleteObject(font);
    m_fonts.clear();

    const auto fontFor = [this](const forms::Font &f) {
        const auto key = std::make_tuple(f.face, int(std::lround(f.points * 100)), f.bold);
        HFONT &font = m_fonts[key];
        if (!font) {
            // Windows puts a font of its own in place of a missing face.
            const std::wstring face = wide(f.face);
            font = CreateFontW(-MulDiv(std::get<1>(key), int(m_dpi), 72 * 100), 0, 0, 0, f.bold ? FW_BOLD : FW_NORMAL,
                               FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                               DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face.c_str());
        }
        return font;
    };

    // A control without a face of its own takes its frame's, and a frame
    // without one the form's default, as the forms designer does.
    constexpr forms::Font formFont{u"MS Sans Serif", 8, false};
    for (Control &c : m_controls) {
        const forms::ControlDef *def = c.def;
        while (def->font.face.empty() && def->container != forms::onForm)
            def = &m_def.controls[std::size_t(def->container)];
        c.font = fontFor(def->font.face.empty() ? formFont : def->font);
        SendMessageW(c.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(c.font), FALSE);
    }
}

void Win32Runtime::layout()
{
    RECT frame{0, 0, pixels(m_def.clientWidth, m_dpi), pixels(m_def.clientHeight, m_dpi)};
    if (const auto adjust = dpiFunctions().adjustWindowRectExForDpi)
        adjust(&frame, formStyle, FALSE, formExStyle, m_dpi);
    else
        AdjustWindowRectEx(&frame, formStyle, FALSE, formExStyle);
    SetWindowPos(m_form, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

    for (Control &c : m_controls) {
        int left = c.def->twips.left;
        int top = c.def->twips.top;
        for (int container = c.def->container; container != forms::onForm;
             container = m_def.controls[std::size_t(container)].container) {
            left += m_def.controls[std::size_t(container)].twips.left;
            top += m_def.controls[std::size_t(container)].twips.top;
        }
        SetWindowPos(c.hwnd, nullptr, pixels(left, m_dpi), pixels(top, m_dpi), pixels(c.def->twips.width, m_dpi),
                     pixels(c.def->twips.height, m_dpi), SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

bool Win32Runtime::shownInFrames(int control) const
{
    for (int i = control; i != forms::onForm; i = m_controls[std::size_t(i)].def->container) {
        if (!m_controls[std::size_t(i)].visible)
            return false;
    }
    return true;
}

void Win32Runtime::showControls()
{
    for (std::size_t i = 0; i < m_controls.size(); ++i) {
        const bool shown = shownInFrames(int(i));
        const bool styled = (GetWindowLongPtrW(m_controls[i].hwnd, GWL_STYLE) & WS_VISIBLE) != 0;
        if (styled != shown)
            ShowWindow(m_controls[i].hwnd, shown ? SW_SHOWNA : SW_HIDE);
    }
}

bool Win32Runtime::start(forms::Events &events, int showCommand)
{
    m_events = &events;
    raise([](forms::Events &e) { e.Load(); });
    if (m_ended)
        return false;
    // The first show raises Resize once, whatever sizes Windows sends on
    // the way.
    ShowWindow(m_form, showCommand);
    m_shown = true;
    raise([](forms::Events &e) { e.Resize(); });
    if (m_ended)
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
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (!m_form || (!tabFromForm(msg) && !IsDialogMessageW(m_form, &msg))) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    return m_exitCode;
}

bool Win32Runtime::pump()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT)
            break;
        if (!m_form || (!tabFromForm(msg) && !IsDialogMessageW(m_form, &msg))) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    return !m_ended;
}

bool Win32Runtime::tabFromForm(const MSG &msg)
{
    // While the form itself holds the focus the dialog manager does not move
    // it (Wine's does not), so Tab and Shift+Tab are taken here: Tab enters
    // the first control, Shift+Tab the last.
    // With no control focused, Windows may send the keys as system keys to
    // the active form; Alt+Tab is not ours.
    const bool key = msg.message == WM_KEYDOWN || (msg.message == WM_SYSKEYDOWN && !(msg.lParam & (1 << 29)));
    if (!key || msg.wParam != VK_TAB || msg.hwnd != m_form)
        return false;
    if (const HWND target = nextTabStop(m_form, GetKeyState(VK_SHIFT) < 0))
        SetFocus(target);
    return true;
}

void Win32Runtime::finish()
{
    if (m_finished)
        return;
    m_finished = true;
    if (m_form)
        DestroyWindow(m_form);
    // Only a running message loop waits for the quit.
    if (m_shown)
        PostQuitMessage(m_exitCode);
}

int Win32Runtime::indexOf(HWND hwnd) const
{
    if (!hwnd || GetParent(hwnd) != m_form)
        return -1;
    const auto i = std::size_t(GetDlgCtrlID(hwnd) - firstControlId);
    return i < m_controls.size() && m_controls[i].hwnd == hwnd ? int(i) : -1;
}

HWND Win32Runtime::nextTabStop(HWND from, bool backwards) const
{
    const int n = int(m_tabOrder.size());
    int at = -1;
    for (int k = 0; k < n; ++k) {
        if (m_controls[std::size_t(m_tabOrder[std::size_t(k)])].hwnd == from)
            at = k;
    }
    // From the form itself, Tab goes to the first stop and Shift+Tab to the
    // last.
    if (at < 0)
        at = backwards ? 0 : n - 1;
    // Every control of the order is a stop while it shows. Not WS_TABSTOP:
    // a radio button's follows its check (BM_SETCHECK sets and clears it),
    // so the two mode buttons cleared at Load would leave Tab nowhere to go.
    for (int step = 1; step <= n; ++step) {
        const int k = ((at + (backwards ? -step : step)) % n + n) % n;
        const HWND hwnd = m_controls[std::size_t(m_tabOrder[std::size_t(k)])].hwnd;
        if (IsWindowVisible(hwnd) && IsWindowEnabled(hwnd))
            return hwnd;
    }
    return nullptr;
}

HBRUSH Win32Runtime::brush(forms::Colour colour)
{
    HBRUSH &brush = m_brushes[colour];
    if (!brush)
        brush = CreateSolidBrush(colour);
    return brush;
}

LRESULT Win32Runtime::controlColours(UINT message, HDC dc, HWND child)
{
    const int i = indexOf(child);
    // A child not of the table gets the system's colours for what it asked.
    if (i < 0)
        return DefWindowProcW(m_form, message, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(child));
    const Control &c = m_controls[std::size_t(i)];
    // A locked box asks as a static does, and keeps the box's colours.
    const bool box = c.def->kind == forms::Kind::TextBox;
    HBRUSH background = nullptr;
    if (c.backColor == forms::defaultColour) {
        const int system = box ? COLOR_WINDOW : COLOR_BTNFACE;
        SetBkColor(dc, GetSysColor(system));
        background = GetSysColorBrush(system);
    } else {
        SetBkColor(dc, c.backColor);
        background = brush(c.backColor);
    }
    SetTextColor(dc,
                 c.def->foreColor == forms::defaultColour ? GetSysColor(box ? COLOR_WINDOWTEXT : COLOR_BTNTEXT)
                                                          : c.def->foreColor);
    return reinterpret_cast<LRESULT>(background);
}

void Win32Runtime::command(int control, int code)
{
    const forms::Kind kind = m_controls[std::size_t(control)].def->kind;
    if (kind == forms::Kind::CommandButton && code == BN_CLICKED)
        raise([control](forms::Events &e) { e.Click(control); });
    else if (kind == forms::Kind::TextBox && code == EN_CHANGE)
        raise([control](forms::Events &e) { e.Change(control); });
    else if ((kind == forms::Kind::TextBox && code == EN_SETFOCUS)
             || (kind == forms::Kind::OptionButton && code == BN_SETFOCUS))
        raise([control](forms::Events &e) { e.GotFocus(control); });
}

void Win32Runtime::close(int unloadMode)
{
    bool cancel = false;
    raise([&](forms::Events &e) { cancel = e.QueryUnload(unloadMode); });
    if (!cancel && !m_ended)
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
    switch (message) {
    case WM_COMMAND: {
        const int control = indexOf(reinterpret_cast<HWND>(lParam));
        if (control >= 0)
            command(control, HIWORD(wParam));
        return 0;
    }
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
        return controlColours(message, reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_SIZE:
        if (m_shown)
            raise([](forms::Events &e) { e.Resize(); });
        return 0;
    case WM_ACTIVATE:
        // Back to the control that had the focus; before any had, the form
        // keeps it (DefWindowProc), so activation never chooses a mode.
        if (LOWORD(wParam) == WA_INACTIVE) {
            const HWND focus = GetFocus();
            if (indexOf(focus) >= 0)
                m_lastFocus = focus;
        } else if (!HIWORD(wParam) && m_lastFocus && IsWindow(m_lastFocus) && IsWindowVisible(m_lastFocus)) {
            SetFocus(m_lastFocus);
            return 0;
        }
        break;
    case WM_NEXTDLGCTL: {
        // The dialog manager's Tab and arrow keys; the form is no dialog, so
        // it moves the focus itself.
        const HWND target = lParam ? reinterpret_cast<HWND>(wParam) : nextTabStop(GetFocus(), wParam != 0);
        if (target)
            SetFocus(target);
        return 0;
    }
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_CLOSE) {
            // The close box, Alt+F4 and the system menu's Close all come here.
            m_closeReason = forms::vbFormControlMenu;
            const LRESULT result = DefWindowProcW(m_form, message, wParam, lParam);
            m_closeReason = forms::vbAppTaskManager;
            return result;
        }
        break;
    case WM_CLOSE:
        // Without SC_CLOSE first, another program asked (the Task Manager).
        close(m_closeReason);
        return 0;
    case WM_QUERYENDSESSION:
        return TRUE;
    case WM_ENDSESSION:
        if (wParam)
            close(forms::vbAppWindows);
        return 0;
    case WM_DPICHANGED: {
        m_dpi = HIWORD(wParam);
        createFonts();
        layout();
        const auto *suggested = reinterpret_cast<const RECT *>(lParam);
        SetWindowPos(m_form, nullptr, suggested->left, suggested->top, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        return 0;
    }
    default:
        break;
    }
    return DefWindowProcW(m_form, message, wParam, lParam);
}

LRESULT CALLBACK Win32Runtime::editProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                        DWORD_PTR refData)
{
    auto *self = reinterpret_cast<Win32Runtime *>(refData);
    if (message == WM_NCDESTROY) {
        removeWindowSubclass(hwnd);
        return callSubclassedProc(hwnd, message, wParam, lParam);
    }
    const int control = self->indexOf(hwnd);
    if (control < 0)
        return callSubclassedProc(hwnd, message, wParam, lParam);
    return self->editMessage(control, hwnd, message, wParam, lParam);
}

LRESULT Win32Runtime::editMessage(int control, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_GETDLGCODE: {
        // Enter and Esc reach the box as keys (so they raise KeyDown and
        // KeyPress) instead of pressing a button through the dialog manager.
        LRESULT code = callSubclassedProc(hwnd, message, wParam, lParam);
        const auto *msg = reinterpret_cast<const MSG *>(lParam);
        if (msg && msg->message == WM_KEYDOWN && (msg->wParam == VK_RETURN || msg->wParam == VK_ESCAPE))
            code |= DLGC_WANTMESSAGE;
        return code;
    }
    case WM_KEYDOWN: {
        int keyCode = int(wParam);
        raise([&](forms::Events &e) { e.KeyDown(control, keyCode, shiftState()); });
        // A handler that clears the key code takes the key from the box.
        if (m_ended || keyCode == 0)
            return 0;
        return callSubclassedProc(hwnd, message, WPARAM(keyCode), lParam);
    }
    case WM_CHAR: {
        int keyAscii = int(wParam);
        raise([&](forms::Events &e) { e.KeyPress(control, keyAscii); });
        if (m_ended || keyAscii <= 0 || keyAscii > 0xFFFF)
            return 0;
        return callSubclassedProc(hwnd, message, WPARAM(keyAscii), lParam);
    }
    default:
        return callSubclassedProc(hwnd, message, wParam, lParam);
    }
}

std::u16string Win32Runtime::caption() const
{
    std::wstring text(std::size_t(GetWindowTextLengthW(m_form)) + 1, L'\0');
    text.resize(std::size_t(GetWindowTextW(m_form, text.data(), int(text.size()))));
    return std::u16string(text.begin(), text.end());
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
    return double(r.right - r.left) * twipsPerInch / m_dpi;
}

double Win32Runtime::height() const
{
    RECT r{};
    GetWindowRect(m_form, &r);
    return double(r.bottom - r.top) * twipsPerInch / m_dpi;
}

void Win32Runtime::move(double left, double top)
{
    // A place on the screen, so in the screen's pixels.
    const double dpi = screenDpi();
    SetWindowPos(m_form, nullptr, int(std::lround(left * dpi / twipsPerInch)),
                 int(std::lround(top * dpi / twipsPerInch)), 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

double Win32Runtime::screenWidth() const
{
    return double(GetSystemMetrics(SM_CXSCREEN)) * twipsPerInch / screenDpi();
}

double Win32Runtime::screenHeight() const
{
    return double(GetSystemMetrics(SM_CYSCREEN)) * twipsPerInch / screenDpi();
}

void Win32Runtime::pinOnTop()
{
    // Failure leaves the window merely unpinned.
    SetWindowPos(m_form, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
}

void Win32Runtime::end(int exitCode)
{
    if (m_ended)
        return;
    m_ended = true;
    m_exitCode = exitCode;
    if (m_depth == 0)
        finish();
}

bool Win32Runtime::visible(int control) const
{
    return shownInFrames(control);
}

void Win32Runtime::setVisible(int control, bool visible)
{
    m_controls.at(std::size_t(control)).visible = visible;
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
}

bool Win32Runtime::locked(int control) const
{
    return (GetWindowLongPtrW(m_controls.at(std::size_t(control)).hwnd, GWL_STYLE) & ES_READONLY) != 0;
}

void Win32Runtime::setLocked(int control, bool locked)
{
    SendMessageW(m_controls.at(std::size_t(control)).hwnd, EM_SETREADONLY, locked, 0);
}

forms::Colour Win32Runtime::backColor(int control) const
{
    return m_controls.at(std::size_t(control)).backColor;
}

void Win32Runtime::setBackColor(int control, forms::Colour colour)
{
    Control &c = m_controls.at(std::size_t(control));
    if (c.backColor == colour)
        return;
    c.backColor = colour;
    InvalidateRect(c.hwnd, nullptr, TRUE);
}

int Win32Runtime::maxLength(int control) const
{
    return m_controls.at(std::size_t(control)).maxLength;
}

void Win32Runtime::setMaxLength(int control, int maxLength)
{
    Control &c = m_controls.at(std::size_t(control));
    c.maxLength = std::max(maxLength, 0);
    // 0 is the edit's own largest limit.
    SendMessageW(c.hwnd, EM_LIMITTEXT, WPARAM(c.maxLength), 0);
}

void Win32Runtime::setFocus(int control)
{
    SetFocus(m_controls.at(std::size_t(control)).hwnd);
}

bool Win32Runtime::value(int control) const
{
    return SendMessageW(m_controls.at(std::size_t(control)).hwnd, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void Win32Runtime::setValue(int control, bool value)
{
    SendMessageW(m_controls.at(std::size_t(control)).hwnd, BM_SETCHECK, value ? BST_CHECKED : BST_UNCHECKED, 0);
}

int Win32Runtime::msgBox(std::u16string_view prompt, int style, std::u16string_view title)
{
    // Before the first show the box stands alone, as the window is not there
    // to own it.
    return MessageBoxW(m_shown ? m_form : nullptr, wide(prompt).c_str(), wide(title).c_str(), UINT(style));
}

bool Win32Runtime::fileExists(std::u16string_view name) const
{
    const DWORD attributes = GetFileAttributesW(wide(name).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}
