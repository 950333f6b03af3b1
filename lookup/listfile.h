// SPDX-FileCopyrightText: 2026 The codelook developers
// SPDX-License-Identifier: MIT

#pragma once

#include <cstddef>
#include <string>

namespace codelook {

// The list file, read-only and sequential, through the system's own file
// API. Failures carry the system's words for the reason.
class ListFile
{
public:
    ListFile() = default;
    ~ListFile();
    ListFile(const ListFile &) = delete;
    ListFile &operator=(const ListFile &) = delete;

    // Fails for anything but a regular file, so a FIFO or a device can
    // neither block nor stream forever.
    bool open(const std::u16string &path);

    // Fills up to size bytes; 0 at the end of the file, -1 on failure.
    std::ptrdiff_t read(char *data, std::size_t size);

    void close();
    bool isOpen() const;
    const std::u16string &reason() const { return m_reason; }

    // The path made absolute and clean, with the platform's own separators.
    static std::u16string absolutePath(const std::u16string &path);

private:
    void fail();

#ifdef _WIN32
    void *m_handle = nullptr;
#else
    int m_fd = -1;
#endif
    std::u16string m_reason;
};

} // namespace codelook
