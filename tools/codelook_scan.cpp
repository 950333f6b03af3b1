// SPDX-FileCopyrightText: 2026 The codelook developers
// SPDX-License-Identifier: MIT

// codelook-scan LIST KEY code|name [KEY code|name]...
//
// Runs one search over LIST as the window's SEARCH button does, with KEY in
// the input box of an empty, unlocked panel (as if pasted: the box's length
// limit applies, letter case is kept), and prints the panel afterwards.
// Exit status: 0 found, 1 not found, 2 the list could not be read, 64 usage.
// Further KEY and mode pairs run further searches over the list, each on a
// fresh panel, and then every panel is followed by its search's status
// (one process for many searches: a test under an emulator starts it once).

#include "bytescan.h"
#include "frmmain.h"
#include "lookup.h"
#include "text.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <shellapi.h>
#endif

using namespace codelook;

namespace {

void print(const char *label, std::u16string_view text)
{
    std::printf("%s: %s\n", label, toUtf8(text).c_str());
}

// At most `limit` UTF-16 units, as a box of that length takes them, but never
// half of a surrogate pair.
std::u16string limited(std::u16string text, std::size_t limit)
{
    if (text.size() > limit) {
        text.resize(limit);
        if (!text.empty() && text.back() >= 0xD800 && text.back() <= 0xDBFF)
            text.pop_back();
    }
    return text;
}

std::vector<std::u16string> arguments([[maybe_unused]] int argc, [[maybe_unused]] char **argv)
{
    std::vector<std::u16string> args;
#ifdef _WIN32
    // argv is in the ANSI code page; the wide command line has every name.
    int count = 0;
    if (wchar_t **wide = ::CommandLineToArgvW(::GetCommandLineW(), &count)) {
        for (int i = 0; i < count; ++i) {
            const std::wstring arg(wide[i]);
            args.emplace_back(arg.begin(), arg.end());
        }
        ::LocalFree(wide);
    }
#else
    for (int i = 0; i < argc; ++i)
        args.push_back(fromUtf8(argv[i]));
#endif
    return args;
}

// Text for the terminal's own encoding: the ANSI code page on Windows, UTF-8
// elsewhere.
std::string local8Bit(std::u16string_view text)
{
#ifdef _WIN32
    const std::wstring wide(text.begin(), text.end());
    const int size = ::WideCharToMultiByte(CP_ACP, 0, wide.data(), int(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string out(std::size_t(size > 0 ? size : 0), '\0');
    if (size > 0)
        ::WideCharToMultiByte(CP_ACP, 0, wide.data(), int(wide.size()), out.data(), size, nullptr, nullptr);
    return out;
#else
    return toUtf8(text);
#endif
}

// One search on a fresh panel: 0 found, 1 not found, 2 unreadable.
int search(Lookup &lookup, const std::u16string &key, bool code)
{
    // The key is cut as the window's input box would cut it.
    const forms::ControlDef &box = frmMain::layout().controls[code ? frmMain::Text1 : frmMain::Text3];
    const std::u16string input = limited(key, std::size_t(box.maxLength));
    const std::u16string searchKey = trimSpaces(input);
    const SearchResult result = code ? lookup.searchCode(searchKey) : lookup.searchName(searchKey);
    if (result.status == SearchResult::Status::Unreadable) {
        std::fprintf(stderr, "codelook-scan: cannot read %s: %s\n", local8Bit(result.path).c_str(),
                     local8Bit(result.reason).c_str());
        return 2;
    }
    // The panel as the window's SEARCH leaves it.
    const bool found = result.status == SearchResult::Status::Found;
    print("input", found || code ? std::u16string_view(input) : frmMain::nameNotFound);
    print("output", found ? std::u16string_view(result.answer) : code ? frmMain::codeNotFound : u"");
    print("locked", found ? u"yes" : u"no");
    return found ? 0 : 1;
}

} // namespace

int main(int argc, char **argv)
{
    const std::vector<std::u16string> args = arguments(argc, argv);
    bool valid = args.size() >= 4 && args.size() % 2 == 0;
    for (std::size_t i = 3; valid && i < args.size(); i += 2)
        valid = args[i] == u"code" || args[i] == u"name";
    if (!valid) {
        std::fprintf(stderr, "usage: codelook-scan LIST KEY code|name [KEY code|name]...\n");
        return 64;
    }

    // For benchmarks: CODELOOK_SCAN_PATH times one version of the byte loops.
    if (const std::string error = bytescan::forceFromEnvironment(); !error.empty()) {
        std::fprintf(stderr, "codelook-scan: %s\n", error.c_str());
        return 64;
    }

    Lookup lookup(args[1]);
    const bool several = args.size() > 4;
    int status = 0;
    for (std::size_t i = 2; i < args.size(); i += 2) {
        status = search(lookup, args[i], args[i + 1] == u"code");
        if (status == 2)
            return status;
        if (several)
            std::printf("status: %d\n", status);
    }
    return status;
}
