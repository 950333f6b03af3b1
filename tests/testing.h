// SPDX-FileCopyrightText: 2026 The codelook developers
// SPDX-License-Identifier: MIT

#pragma once

// Helpers shared by the doctest programs: readable UTF-16 in failure
// messages, throwaway folders (listfolder.h), and files read in one go.

#include "listfolder.h"
#include "text.h"

#include <doctest/doctest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

namespace doctest {

template <>
struct StringMaker<std::u16string>
{
    static String convert(const std::u16string &s) { return ('"' + codelook::toUtf8(s) + '"').c_str(); }
};

template <>
struct StringMaker<std::vector<std::u16string>>
{
    static String convert(const std::vector<std::u16string> &v)
    {
        std::string out = "{";
        for (std::size_t i = 0; i < v.size(); ++i)
            out += (i ? ", \"" : "\"") + codelook::toUtf8(v[i]) + '"';
        return (out + "}").c_str();
    }
};

} // namespace doctest

namespace testing {

inline std::string readFile(const std::filesystem::path &path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// A path as the library takes it.
inline std::u16string u16path(const std::filesystem::path &path)
{
#ifdef _WIN32
    const std::wstring native = path.native();
    return std::u16string(native.begin(), native.end());
#else
    return codelook::fromUtf8(path.native());
#endif
}

inline std::string repeated(std::string_view piece, std::size_t times)
{
    std::string out;
    out.reserve(piece.size() * times);
    for (std::size_t i = 0; i < times; ++i)
        out += piece;
    return out;
}

inline std::u16string repeated(std::u16string_view piece, std::size_t times)
{
    std::u16string out;
    for (std::size_t i = 0; i < times; ++i)
        out += piece;
    return out;
}

} // namespace testing
