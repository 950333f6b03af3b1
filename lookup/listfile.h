// SPDX-FileCopyrightText: 2026 The codelook developers
// SPDX-License-Identifier: MIT

#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

namespace codelook {

// The list file, read-only and sequential, through the system's own file
// API. Failures carry the system's words for the reason. listfile.cpp holds
// what every system shares; listfile_posix.cpp and listfile_win32.cpp, one
// of which the build picks, hold the calls to the system.
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
    bool isOpen() const { return m_handle != closedHandle; }
    const std::u16string &reason() const { return m_reason; }

    // Whether a regular file of that name is there, so that open() can take
    // it: the list's test at start-up. A folder, a device or a pipe is not.
    static bool isRegularFile(const std::u16string &path);

    // The path made absolute and clean, with the platform's own separators.
    static std::u16string absolutePath(const std::u16string &path);

private:
    // A file descriptor, or a HANDLE; -1 is neither a descriptor nor a
    // handle that CreateFileW returns on success.
    static constexpr std::intptr_t closedHandle = -1;

    void fail();

    // Each system's own: the reason for its latest failure, and paths in
    // and out of its own form.
    static std::u16string systemReason();
    static void closeHandle(std::intptr_t handle);
    static std::filesystem::path nativePath(const std::u16string &path);
    static std::u16string fromNativePath(const std::filesystem::path &path);

    std::intptr_t m_handle = closedHandle;
    std::u16string m_reason;
};

} // namespace codelook
