// SPDX-FileCopyrightText: 2026 The codelook developers
// SPDX-License-Identifier: MIT

#include "frmmain.h"
#include "win32runtime.h"

namespace {

// The program's folder may be a Downloads folder holding anything, so no DLL
// loaded from now on, by this program or by Windows' own DLLs on its behalf,
// is searched for there: System32 only. Looked up rather than imported, so
// the program still starts on a Windows 7 without KB2533623, which brought
// the call; there, SetDllDirectoryW(L"") at least takes the current folder
// out of the search.
void loadDllsFromSystemOnly()
{
    using SetDefaultDllDirectoriesFunction = BOOL(WINAPI *)(DWORD);
    SetDefaultDllDirectoriesFunction setDefaultDllDirectories = nullptr;
    if (HMODULE kernel32 = GetModuleHandleW(L"kernel32.dll")) {
        // Through a plain function pointer type, which GCC accepts from FARPROC.
        setDefaultDllDirectories = reinterpret_cast<SetDefaultDllDirectoriesFunction>(
            reinterpret_cast<void (*)()>(GetProcAddress(kernel32, "SetDefaultDllDirectories")));
    }
    if (!setDefaultDllDirectories || !setDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32))
        SetDllDirectoryW(L"");
}

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showCommand)
{
    loadDllsFromSystemOnly();
    Win32Runtime runtime(frmMain::layout());
    frmMain window(runtime);
    if (!runtime.start(window, showCommand))
        return runtime.exitCode();
    return runtime.run();
}
