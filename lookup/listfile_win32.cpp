// SPDX-FileCopyrightText: 2026 The codelook developers
// SPDX-License-Identifier: MIT

#include "listfile.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

namespace codelook {

namespace {

HANDLE handleOf(std::intptr_t value)
{
    return reinterpret_cast<HANDLE>(value);
}

} // namespace

std::u16string ListFile::systemReason()
{
    const DWORD error = ::GetLastError();
    wchar_t *text = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error,
        MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<wchar_t *>(&text), 0, nullptr);
    std::u16string reason;
    if (length > 0 && text)
        reason.assign(reinterpret_cast<const char16_t *>(text), length);
    if (text)
        ::LocalFree(text);
    return reason;
}

std::filesystem::path ListFile::nativePath(const std::u16string &path)
{
    return std::wstring(path.begin(), path.end());
}

std::u16string ListFile::fromNativePath(const std::filesystem::path &path)
{
    const std::wstring &native = path.native();
    return std::u16string(native.begin(), native.end());
}

void ListFile::closeHandle(std::intptr_t handle)
{
    ::CloseHandle(handleOf(handle));
}

bool ListFile::open(const std::u16string &path)
{
    close();
    m_reason.clear();
    // Others may go on writing, renaming or deleting the list meanwhile.
    const HANDLE handle = ::CreateFileW(reinterpret_cast<const wchar_t *>(path.c_str()), GENERIC_READ,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        fail();
        return false;
    }
    m_handle = reinterpret_cast<std::intptr_t>(handle);
    if (::GetFileType(handle) != FILE_TYPE_DISK) {
        close();
        m_reason = u"Not a regular file";
        return false;
    }
    BY_HANDLE_FILE_INFORMATION info;
    if (!::GetFileInformationByHandle(handle, &info)) {
        fail();
        return false;
    }
    if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        close();
        m_reason = u"Is a directory";
        return false;
    }
    return true;
}

std::ptrdiff_t ListFile::read(char *data, std::size_t size)
{
    const DWORD want = size > (DWORD(1) << 30) ? (DWORD(1) << 30) : DWORD(size);
    DWORD got = 0;
    if (!::ReadFile(handleOf(m_handle), data, want, &got, nullptr)) {
        fail();
        return -1;
    }
    return std::ptrdiff_t(got);
}

} // namespace codelook
