// SPDX-FileCopyrightText: 2026 The codelook developers
// SPDX-License-Identifier: MIT

#pragma once

// Throwaway folders for every test program, with or without doctest or Qt:
// the program is started in a folder that holds codelook.txt.

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

namespace testing {

// A fresh, empty folder, removed with everything in it at the end.
class TempDir
{
public:
    TempDir()
    {
        static std::atomic<unsigned> counter = 0;
        const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        const auto base = std::filesystem::temp_directory_path();
        for (;;) {
            m_path = base / ("codelook-test-" + std::to_string(stamp) + "-" + std::to_string(counter++));
            if (std::filesystem::create_directory(m_path))
                break;
        }
    }
    ~TempDir()
    {
        std::error_code ignored;
        std::filesystem::permissions(m_path, std::filesystem::perms::owner_all, std::filesystem::perm_options::add,
                                     ignored);
        std::filesystem::remove_all(m_path, ignored);
    }
    TempDir(const TempDir &) = delete;
    TempDir &operator=(const TempDir &) = delete;

    const std::filesystem::path &path() const { return m_path; }
    std::filesystem::path file(std::string_view name) const { return m_path / name; }

private:
    std::filesystem::path m_path;
};

inline bool writeFile(const std::filesystem::path &path, std::string_view bytes)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), std::streamsize(bytes.size()));
    return bool(file.flush());
}

// A fresh folder as the current directory, holding the list when given its
// bytes; the previous current directory comes back at the end.
class ListFolder
{
public:
    ListFolder()
        : m_previous(std::filesystem::current_path())
    {
        std::filesystem::current_path(m_dir.path());
    }
    explicit ListFolder(std::string_view list)
        : ListFolder()
    {
        writeList(list);
    }
    ~ListFolder()
    {
        std::error_code ignored;
        std::filesystem::current_path(m_previous, ignored);
    }
    ListFolder(const ListFolder &) = delete;
    ListFolder &operator=(const ListFolder &) = delete;

    // codelook.txt, by its absolute path.
    std::filesystem::path list() const { return m_dir.file("codelook.txt"); }
    bool writeList(std::string_view bytes) const { return writeFile(list(), bytes); }
    const TempDir &dir() const { return m_dir; }

private:
    std::filesystem::path m_previous;
    TempDir m_dir;
};

} // namespace testing
