// SPDX-FileCopyrightText: 2026 The codelook developers
// SPDX-License-Identifier: MIT

#include "listfile.h"

#include <system_error>

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

} // namespace

ListFile::~ListFile()
{
    close();
}

void ListFile::close()
{
    if (m_handle != closedHandle) {
        closeHandle(m_handle);
        m_handle = closedHandle;
    }
}

void ListFile::fail()
{
    // Some systems end the reason with ".\r\n"; it is shown inside a
    // sentence of ours.
    m_reason = trimmed(systemReason());
    if (!m_reason.empty() && m_reason.back() == u'.')
        m_reason = trimmed(m_reason.substr(0, m_reason.size() - 1));
    if (m_reason.empty())
        m_reason = u"Unknown error";
    close();
}

bool ListFile::isRegularFile(const std::u16string &path)
{
    std::error_code error;
    return std::filesystem::is_regular_file(nativePath(path), error);
}

std::u16string ListFile::absolutePath(const std::u16string &path)
{
    const std::filesystem::path given = nativePath(path);
    std::error_code error;
    std::filesystem::path full = std::filesystem::absolute(given, error);
    if (error)
        full = given;
    full = full.lexically_normal();
    if (full.has_relative_path() && !full.has_filename())
        full = full.parent_path(); // no trailing separator
    full.make_preferred();
    return fromNativePath(full);
}

} // namespace codelook
