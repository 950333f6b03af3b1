// SPDX-FileCopyrightText: 2026 The codelook developers
// SPDX-License-Identifier: MIT

#include "listfile.h"

#include "text.h"

#include <filesystem>
#include <system_error>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>
#endif

namespace codelook {

namespace {

std::u16string trimmed(std::u16string s)
{
    auto blank = [](char16_t c) { return c == u' ' || (c >= u'\t' && c <= u'\r'); };
    while (!s.empty() && blank(s.back()))
        s.pop_back();
    std::size_t begin = 0;
    while (begin < s.size() && blank(s[begin]))
        ++begin;
    return s.substr(begin);
}

#ifdef _WIN32

std::u16string systemReason(DWORD error)
{
    wchar_t *text = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error,
        MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<wchar_t *>(&text), 0, nullptr);
    std::u16string reason;
    if (length > 0 && text)
        reason.assign(reinterpret_cast<const char16_t *>(text), length);
    if (text)
        ::LocalFree(text);
    // Messages end in ".\r\n"; the reason is shown inside a sentence of ours.
    reason = trimmed(std::move(reason));
    if (!reason.empty() && reason.back() == u'.')
        reason = trimmed(reason.substr(0, reason.size() - 1));
    return reason;
}

#else

// strerror_r is the XSI one returning int or the GNU one returning the text.
[[maybe_unused]] const char *strerrorText(int, const char *buffer)
{
    return buffer;
}

[[maybe_unused]] const char *strerrorText(const char *text, const char *)
{
    return text;
}

std::u16string systemReason(int error)
{
    // The common ones in fixed English words, the rest as the C library
    // words them.
    switch (error) {
    case EACCES:
        return u"Permission denied";
    case EMFILE:
        return u"Too many open files";
    case ENOENT:
        return u"No such file or directory";
    case ENOSPC:
        return u"No space left on device";
    default:
        break;
    }
    char buffer[256] = "";
    const char *text = strerrorText(::strerror_r(error, buffer, sizeof buffer), buffer);
    return trimmed(fromUtf8(text ? text : ""));
}

#endif

} // namespace

ListFile::~ListFile()
{
    close();
}

bool ListFile::isOpen() const
{
#ifdef _WIN32
    return m_handle != nullptr;
#else
    return m_fd >= 0;
#endif
}

void ListFile::close()
{
#ifdef _WIN32
    if (m_handle) {
        ::CloseHandle(m_handle);
        m_handle = nullptr;
    }
#else
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
#endif
}

void ListFile::fail()
{
#ifdef _WIN32
    m_reason = systemReason(::GetLastError());
#else
    m_reason = systemReason(errno);
#endif
    if (m_reason.empty())
        m_reason = u"Unknown error";
    close();
}

bool ListFile::open(const std::u16string &path)
{
    close();
    m_reason.clear();
#ifdef _WIN32
    // Others may go on writing, renaming or deleting the list meanwhile.
    HANDLE handle = ::CreateFileW(reinterpret_cast<const wchar_t *>(path.c_str()), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        fail();
        return false;
    }
    m_handle = handle;
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
#else
    // O_NONBLOCK: opening a FIFO must not wait for a writer.
    m_fd = ::open(toUtf8(path).c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (m_fd < 0) {
        fail();
        return false;
    }
    struct stat st;
    if (::fstat(m_fd, &st) != 0) {
        fail();
        return false;
    }
    if (S_ISDIR(st.st_mode)) {
        errno = EISDIR;
        fail();
        return false;
    }
    if (!S_ISREG(st.st_mode)) {
        close();
        m_reason = u"Not a regular file";
        return false;
    }
#endif
    return true;
}

std::ptrdiff_t ListFile::read(char *data, std::size_t size)
{
#ifdef _WIN32
    const DWORD want = size > (DWORD(1) << 30) ? (DWORD(1) << 30) : DWORD(size);
    DWORD got = 0;
    if (!::ReadFile(m_handle, data, want, &got, nullptr)) {
        fail();
        return -1;
    }
    return std::ptrdiff_t(got);
#else
    for (;;) {
        const ssize_t got = ::read(m_fd, data, size);
        if (got >= 0)
            return got;
        if (errno != EINTR) {
            fail();
            return -1;
        }
    }
#endif
}

std::u16string ListFile::absolutePath(const std::u16string &path)
{
#ifdef _WIN32
    const std::filesystem::path given(std::wstring(path.begin(), path.end()));
#else
    const std::filesystem::path given(toUtf8(path));
#endif
    std::error_code error;
    std::filesystem::path full = std::filesystem::absolute(given, error);
    if (error)
        full = given;
    full = full.lexically_normal();
    if (full.has_relative_path() && !full.has_filename())
        full = full.parent_path(); // no trailing separator
    full.make_preferred();
#ifdef _WIN32
    const std::wstring native = full.native();
    return std::u16string(native.begin(), native.end());
#else
    return fromUtf8(full.string());
#endif
}

} // namespace codelook
