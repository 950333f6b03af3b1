// SPDX-FileCopyrightText: 2026 The codelook developers
// SPDX-License-Identifier: MIT

// What a screen reader in a process of its own hears: an out-of-context
// WinEvent hook on every other process, which reads each event's object
// through MSAA from here, across processes, as NVDA does. One line an event,
// flushed at once:
//   focus|liveregion TAB program TAB window class TAB name (UTF-8)
// "listening" once the hooks are set. Ends when its input closes, or after
// SECONDS (60 unless given).
// Usage: winevent_listen.exe [SECONDS]

#include "text.h"

#include <windows.h>

#include <oleacc.h>

#include <cstdio>
#include <cstdlib>
#include <deque>
#include <string>

namespace {

std::string utf8(const wchar_t *text, std::size_t length)
{
    return codelook::toUtf8(std::u16string(text, text + length));
}

std::string programOf(HWND hwnd)
{
    DWORD id = 0;
    GetWindowThreadProcessId(hwnd, &id);
    std::string program;
    if (const HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id)) {
        wchar_t path[MAX_PATH];
        DWORD size = MAX_PATH;
        if (QueryFullProcessImageNameW(process, 0, path, &size)) {
            const wchar_t *slash = wcsrchr(path, L'\\');
            const wchar_t *base = slash ? slash + 1 : path;
            program = utf8(base, std::size_t(path + size - base));
        }
        CloseHandle(process);
    }
    return program;
}

std::string nameOf(HWND hwnd, LONG object, LONG child)
{
    IAccessible *accessible = nullptr;
    VARIANT item{};
    if (AccessibleObjectFromEvent(hwnd, DWORD(object), DWORD(child), &accessible, &item) != S_OK)
        return "(no object)";
    std::string name;
    BSTR text = nullptr;
    if (accessible->get_accName(item, &text) == S_OK && text) {
        name = utf8(text, SysStringLen(text));
        SysFreeString(text);
    }
    VariantClear(&item);
    accessible->Release();
    return name;
}

struct Event
{
    DWORD event;
    HWND hwnd;
    LONG object;
    LONG child;
};
std::deque<Event> pending;

// Only noted here, and printed from the message loop: reading a name sends
// messages to the program, and while this thread waits for the answer the
// next event's callback comes in; printed at once, it would come out before
// the event it followed.
void CALLBACK hear(HWINEVENTHOOK, DWORD event, HWND hwnd, LONG object, LONG child, DWORD, DWORD)
{
    pending.push_back({event, hwnd, object, child});
    PostThreadMessageW(GetCurrentThreadId(), WM_APP, 0, 0);
}

void print()
{
    while (!pending.empty()) {
        const Event e = pending.front();
        pending.pop_front();
        wchar_t className[64] = L"";
        const int length = GetClassNameW(e.hwnd, className, 64);
        std::printf("%s\t%s\t%s\t%s\n", e.event == EVENT_OBJECT_FOCUS ? "focus" : "liveregion",
                    programOf(e.hwnd).c_str(), utf8(className, std::size_t(length > 0 ? length : 0)).c_str(),
                    nameOf(e.hwnd, e.object, e.child).c_str());
        std::fflush(stdout);
    }
}

// Reads the input away to its end, then ends the listener.
DWORD WINAPI waitForEnd(void *listener)
{
    char buffer[256];
    DWORD read = 0;
    while (ReadFile(GetStdHandle(STD_INPUT_HANDLE), buffer, sizeof buffer, &read, nullptr) && read > 0) { }
    PostThreadMessageW(DWORD(reinterpret_cast<UINT_PTR>(listener)), WM_QUIT, 0, 0);
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    const UINT seconds = argc > 1 ? UINT(std::atoi(argv[1])) : 60;
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)))
        return 1;
    HWINEVENTHOOK hooks[2]{};
    const DWORD events[2]{EVENT_OBJECT_FOCUS, EVENT_OBJECT_LIVEREGIONCHANGED};
    for (int i = 0; i < 2; ++i) {
        hooks[i] = SetWinEventHook(events[i], events[i], nullptr, hear, 0, 0,
                                   WINEVENT_OUTOFCONTEXT | WINEVENT_SKIPOWNPROCESS);
        if (!hooks[i]) {
            std::fprintf(stderr, "no WinEvent hook: error %lu\n", GetLastError());
            return 1;
        }
    }
    MSG message;
    PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE); // the queue the input's end is posted to
    void *const self = reinterpret_cast<void *>(UINT_PTR(GetCurrentThreadId()));
    CloseHandle(CreateThread(nullptr, 0, waitForEnd, self, 0, nullptr));
    SetTimer(nullptr, 0, seconds * 1000, nullptr);
    std::printf("listening\n");
    std::fflush(stdout);
    // The hooks' callbacks come as messages to this thread.
    while (GetMessageW(&message, nullptr, 0, 0) > 0 && message.message != WM_TIMER) {
        if (message.message == WM_APP)
            print();
        DispatchMessageW(&message);
    }
    for (const HWINEVENTHOOK hook : hooks)
        UnhookWinEvent(hook);
    CoUninitialize();
    return 0;
}
