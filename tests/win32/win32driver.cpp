// SPDX-FileCopyrightText: 2026 The codelook developers
// SPDX-License-Identifier: MIT

#include "win32driver.h"

#include <algorithm>
#include <cwchar>

namespace {

// The driver whose boxes the thread's timer answers: one at a time.
Win32Driver *current = nullptr;

std::u16string windowText(HWND hwnd)
{
    if (!hwnd)
        return {};
    std::wstring text(std::size_t(GetWindowTextLengthW(hwnd)) + 1, L'\0');
    text.resize(std::size_t(GetWindowTextW(hwnd, text.data(), int(text.size()))));
    return std::u16string(text.begin(), text.end());
}

bool hasClass(HWND hwnd, const wchar_t *name)
{
    wchar_t buffer[32]{};
    GetClassNameW(hwnd, buffer, int(std::size(buffer)));
    return std::wcscmp(buffer, name) == 0;
}

// A message box's icon, as the style that asked for it.
int iconStyle(HWND box)
{
    HICON shown = nullptr;
    for (HWND child = GetWindow(box, GW_CHILD); child && !shown; child = GetWindow(child, GW_HWNDNEXT)) {
        if (hasClass(child, L"Static") && (GetWindowLongPtrW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
            shown = reinterpret_cast<HICON>(SendMessageW(child, STM_GETICON, 0, 0));
    }
    struct Icon
    {
        const wchar_t *id;
        int style;
    };
    const Icon icons[] = {{IDI_HAND, forms::vbCritical},
                          {IDI_QUESTION, forms::vbQuestion},
                          {IDI_EXCLAMATION, forms::vbExclamation},
                          {IDI_ASTERISK, forms::vbInformation}};
    for (const Icon &icon : icons) {
        if (shown && shown == LoadIconW(nullptr, icon.id))
            return icon.style;
    }
    return 0;
}

} // namespace

Win32Driver::Win32Driver()
{
    current = this;
    // A thread timer fires inside MessageBoxW's own loop too.
    m_timer = SetTimer(nullptr, 0, 20, &Win32Driver::answerBoxes);
}

Win32Driver::~Win32Driver()
{
    KillTimer(nullptr, m_timer);
    current = nullptr;
}

void CALLBACK Win32Driver::answerBoxes(HWND, UINT, UINT_PTR, DWORD)
{
    if (!current)
        return;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND hwnd, LPARAM) -> BOOL {
            if (hasClass(hwnd, L"#32770") && IsWindowVisible(hwnd))
                current->answer(hwnd);
            return TRUE;
        },
        0);
}

void Win32Driver::answer(HWND box)
{
    if (box == m_answered)
        return;
    m_answered = box;
    m_messages.push_back({windowText(GetDlgItem(box, 0xFFFF)), iconStyle(box), windowText(box)});
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
}

bool Win32Driver::start()
{
    const bool shown = m_runtime.start(m_log, SW_SHOWNORMAL);
    m_runtime.pump();
    return shown;
}

void Win32Driver::click(int control)
{
    // The mouse reaches only what shows.
    const HWND hwnd = this->control(control);
    if (!IsWindowVisible(hwnd))
        return;
    RECT r{};
    GetClientRect(hwnd, &r);
    const LPARAM middle = MAKELPARAM(r.right / 2, r.bottom / 2);
    PostMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, middle);
    PostMessageW(hwnd, WM_LBUTTONUP, 0, middle);
    m_runtime.pump();
}

void Win32Driver::key(HWND to, UINT virtualKey, bool shift)
{
    const auto holdShift = [](bool down) {
        BYTE keys[256]{};
        GetKeyboardState(keys);
        keys[VK_SHIFT] = keys[VK_LSHIFT] = down ? 0x80 : 0;
        SetKeyboardState(keys);
    };
    holdShift(shift);
    const LPARAM scan = LPARAM(MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC)) << 16;
    // The loop's TranslateMessage makes the character, as from a keyboard.
    PostMessageW(to, WM_KEYDOWN, virtualKey, scan | 1);
    m_runtime.pump();
    PostMessageW(to, WM_KEYUP, virtualKey, scan | 1 | LPARAM(0xC0000000));
    m_runtime.pump();
    holdShift(false);
}

void Win32Driver::type(int control, std::u16string_view text)
{
    const HWND box = this->control(control);
    SetFocus(box);
    for (const char16_t c : text) {
        // ASCII only: outside it, Wine without a UTF-8 locale answers with a
        // best-fit key (é typed as e, half a surrogate pair as ?).
        const SHORT key = c < 0x80 ? VkKeyScanW(wchar_t(c)) : -1;
        if (key != -1 && !(HIBYTE(key) & ~1)) {
            this->key(box, LOBYTE(key), HIBYTE(key) & 1);
        } else {
            // No key of the layout types it alone: the character comes as an
            // input method sends it.
            PostMessageW(box, WM_CHAR, WPARAM(c), 1);
            m_runtime.pump();
        }
    }
}

void Win32Driver::pressKey(int control, Key key)
{
    UINT virtualKey = VK_LEFT;
    switch (key) {
    case Key::Left:
        break;
    case Key::Return:
        virtualKey = VK_RETURN;
        break;
    case Key::Escape:
        virtualKey = VK_ESCAPE;
        break;
    case Key::Space:
        virtualKey = VK_SPACE;
        break;
    }
    SetFocus(this->control(control));
    this->key(this->control(control), virtualKey);
}

void Win32Driver::paste(int control, std::u16string_view text)
{
    const HWND box = this->control(control);
    SetFocus(box);
    const HGLOBAL data = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
    auto *chars = static_cast<wchar_t *>(GlobalLock(data));
    std::copy(text.begin(), text.end(), chars);
    chars[text.size()] = L'\0';
    GlobalUnlock(data);
    // A clipboard that cannot be opened keeps the text out: the paste's
    // checks tell.
    if (OpenClipboard(box)) {
        EmptyClipboard();
        SetClipboardData(CF_UNICODETEXT, data);
        CloseClipboard();
    }
    SendMessageW(box, WM_PASTE, 0, 0);
    m_runtime.pump();
}

void Win32Driver::tab(bool backwards)
{
    const HWND focus = GetFocus();
    key(focus && m_runtime.indexOf(focus) >= 0 ? focus : m_runtime.form(), VK_TAB, backwards);
}

void Win32Driver::focus(int control)
{
    SetFocus(this->control(control));
    m_runtime.pump();
}

void Win32Driver::minimise()
{
    ShowWindow(m_runtime.form(), SW_MINIMIZE);
    m_runtime.pump();
}

void Win32Driver::restore()
{
    ShowWindow(m_runtime.form(), SW_RESTORE);
    m_runtime.pump();
}

bool Win32Driver::askClose(int unloadMode)
{
    const HWND form = m_runtime.form();
    switch (unloadMode) {
    case forms::vbFormControlMenu:
        // The close box, Alt+F4 and the system menu all send this.
        PostMessageW(form, WM_SYSCOMMAND, SC_CLOSE, 0);
        break;
    case forms::vbFormCode:
        m_runtime.unload();
        break;
    case forms::vbAppWindows:
        if (SendMessageW(form, WM_QUERYENDSESSION, 0, 0))
            SendMessageW(form, WM_ENDSESSION, TRUE, 0);
        break;
    case forms::vbAppTaskManager:
        // Another program posts WM_CLOSE alone.
        PostMessageW(form, WM_CLOSE, 0, 0);
        break;
    default:
        return false;
    }
    m_runtime.pump();
    return true;
}

std::u16string Win32Driver::caption() const
{
    return windowText(m_runtime.form());
}

std::u16string Win32Driver::text(int control) const
{
    return windowText(this->control(control));
}

bool Win32Driver::locked(int control) const
{
    return (GetWindowLongPtrW(this->control(control), GWL_STYLE) & ES_READONLY) != 0;
}

Win32Driver::Colours Win32Driver::askColours(UINT message, HWND child) const
{
    Colours colours;
    const HDC dc = CreateCompatibleDC(nullptr);
    const auto brush = reinterpret_cast<HBRUSH>(
        SendMessageW(m_runtime.form(), message, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(child)));
    LOGBRUSH logBrush{};
    if (brush && GetObjectW(brush, sizeof logBrush, &logBrush) == sizeof logBrush && logBrush.lbStyle == BS_SOLID)
        colours.brush = logBrush.lbColor;
    colours.background = GetBkColor(dc);
    colours.text = GetTextColor(dc);
    DeleteDC(dc);
    return colours;
}

UINT Win32Driver::colourMessage(int control) const
{
    return m_runtime.model()[control].kind == forms::Kind::TextBox && !locked(control) ? WM_CTLCOLOREDIT
                                                                                       : WM_CTLCOLORSTATIC;
}

forms::Colour Win32Driver::backColor(int control) const
{
    return askColours(colourMessage(control), this->control(control)).background;
}

bool Win32Driver::shows(int control) const
{
    return IsWindowVisible(this->control(control)) != FALSE;
}

bool Win32Driver::checked(int control) const
{
    return SendMessageW(this->control(control), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

int Win32Driver::focused() const
{
    return m_runtime.indexOf(GetFocus());
}

bool Win32Driver::windowShown() const
{
    return m_runtime.form() && IsWindowVisible(m_runtime.form());
}

bool Win32Driver::pinned() const
{
    return m_runtime.form() && (GetWindowLongPtrW(m_runtime.form(), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}

forms::Rect Win32Driver::windowPixels() const
{
    RECT r{};
    GetWindowRect(m_runtime.form(), &r);
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

forms::Rect Win32Driver::screenPixels() const
{
    return {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

std::unique_ptr<Driver> makeDriver()
{
    return std::make_unique<Win32Driver>();
}
