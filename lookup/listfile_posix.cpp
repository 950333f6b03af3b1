// SPDX-FileCopyrightText: 2026 The codelook developers
// SPDX-License-Identifier: MIT

#include "listfile.h"

#include "text.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

namespace codelook {

namespace {

// strerror_r is the XSI one returning int or the GNU one returning the text.
[[maybe_unused]] const char *strerrorText(int, const char *buffer)
{
    return buffer;
}

[[maybe_unused]] const char *strerrorText(const char *text, const char *)
{
    return text;
}

} // namespace

std::u16string ListFile::systemReason()
{
    const int error = errno;
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
    return fromUtf8(text ? text : "");
}

std::filesystem::path ListFile::nativePath(const std::u16string &path)
{
    return toUtf8(path);
}

std::u16string ListFile::fromNativePath(const std::filesystem::path &path)
{
    return fromUtf8(path.string());
}

void ListFile::closeHandle(std::intptr_t handle)
{
    ::close(int(handle));
}

bool ListFile::open(const std::u16string &path)
{
    close();
    m_reason.clear();
    // O_NONBLOCK: opening a FIFO must not wait for a writer.
    const int fd = ::open(toUtf8(path).c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        fail();
        return false;
    }
    m_handle = fd;
    struct stat st;
    if (::fstat(fd, &st) != 0) {
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
    return true;
}

std::ptrdiff_t ListFile::read(char *data, std::size_t size)
{
    for (;;) {
        const ssize_t got = ::read(int(m_handle), data, size);
        if (got >= 0)
            return got;
        if (errno != EINTR) {
            fail();
            return -1;
        }
    }
}

} // namespace codelook
