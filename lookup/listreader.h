// SPDX-FileCopyrightText: 2026 The codelook developers
// SPDX-License-Identifier: MIT

#pragma once

#include "bytescan.h"
#include "listfile.h"
#include "recordfilter.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace codelook {

// One record as the reader hands it out; valid until the next read.
struct RecordView
{
    enum class Encoding : unsigned char { Utf8, Windows1252, ByContent };

    const char *data = nullptr;
    std::size_t size = 0;
    bool truncated = false; // the record goes on past the bytes kept here
    Encoding encoding = Encoding::ByContent;

    // The record's first maxChars characters.
    std::u16string text(std::size_t maxChars) const;
};

// Cuts the list into records, one pass from the top:
// - spaces before an item are skipped, and so are line ends (CR LF, LF or a
//   lone CR): a blank line yields no record;
// - an item that starts with a double quote runs to the next double quote
//   (line ends inside are dropped), and reading goes on past the next comma
//   or line end;
// - any other item runs to the next comma or line end, trailing spaces cut;
// - the end of the file ends an item.
// Records are decoded as UTF-8 when the file starts with a byte-order mark or
// the record's bytes are valid UTF-8, and as Windows-1252 otherwise.
//
// The file is read in fixed blocks; of a record longer than its block only
// the first keepBytes bytes are kept, so memory stays flat on any input.
class ListReader
{
public:
    // The bytes one fill of the buffer reads (more when keepBytes is larger);
    // tests place records across its end.
    static constexpr std::size_t blockSize = std::size_t(1) << 18;

    ListReader(std::u16string path, std::size_t keepBytes, RecordFilter filter = {});
    ~ListReader();
    ListReader(const ListReader &) = delete;
    ListReader &operator=(const ListReader &) = delete;

    // Opens the list read-only. Fails for anything but a regular file, so a
    // FIFO or a device can neither block nor stream forever.
    bool open();

    // The next record that passes the filter; false at the end of the list
    // or when reading failed (see failed()).
    bool next(RecordView &record);

    bool failed() const { return !m_reason.empty(); }
    const std::u16string &reason() const { return m_reason; }
    const std::u16string &path() const { return m_path; }

private:
    static constexpr std::size_t noWindow = ~std::size_t(0);

    std::size_t nextDelimiter(std::size_t from);
    std::size_t afterLastDelimiter(std::size_t from, std::size_t to);
    std::size_t skipAhead(std::size_t from);
    bool scanBlock(RecordView &record, RecordView::Encoding encoding);
    bool fill();
    bool assemble();
    void fail();
    void close();

    std::u16string m_path;
    std::u16string m_reason;
    RecordFilter m_filter;
    bytescan::Kernels m_scan; // the byte loops this reader runs
    std::size_t m_searchFrom = 0; // where skipAhead looks next in this block
    std::size_t m_keep;
    // Page-aligned: the kernel copies a read into an aligned buffer several
    // times faster than into one a few bytes past a page boundary.
    struct PageFree
    {
        void operator()(char *p) const;
    };
    std::unique_ptr<char[], PageFree> m_buffer;
    std::size_t m_capacity;
    std::size_t m_size = 0;
    std::size_t m_pos = 0;
    ListFile m_file;
    bool m_eof = false;
    bool m_started = false;
    bool m_fileIsUtf8 = false;
    std::size_t m_windowStart = noWindow; // the 64 bytes whose delimiters m_window marks
    std::uint64_t m_window = 0;
    std::string m_item; // a record that crossed a block or was quoted
    bool m_itemTruncated = false;
    bool m_itemIsUtf8 = false;
};

} // namespace codelook
