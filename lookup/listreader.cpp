// SPDX-FileCopyrightText: 2026 The codelook developers
// SPDX-License-Identifier: MIT

#include "listreader.h"

#include "bytescan.h"
#include "text.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <new>

namespace codelook {

namespace {

constexpr std::size_t pageSize = 4096;
// Slack after the data, so a vector load near its end stays in the buffer.
constexpr std::size_t padding = 64;

// The bytes of an item that is quoted or crosses a block, as they come: the
// first `keep` are kept, and all are counted and, when asked, checked as UTF-8.
class ItemBytes
{
public:
    ItemBytes(std::string &item, std::size_t keep, bool validate)
        : m_item(item)
        , m_keep(keep)
        , m_validate(validate)
    { }

    void take(const char *from, std::size_t count)
    {
        if (m_item.size() < m_keep)
            m_item.append(from, std::min(count, m_keep - m_item.size()));
        if (m_validate)
            m_validator.feed(from, count);
        m_length += count;
    }

    // Line ends inside quotes are not part of the record.
    void takeWithoutLineEnds(const char *from, const char *to)
    {
        while (from < to) {
            const char *run = from;
            while (run < to && *run != '\r' && *run != '\n')
                ++run;
            take(from, std::size_t(run - from));
            from = run;
            while (from < to && (*from == '\r' || *from == '\n'))
                ++from;
        }
    }

    std::size_t length() const { return m_length; } // bytes seen, kept or not
    bool isValidUtf8() const { return m_validate && m_validator.isValid(); }

private:
    std::string &m_item;
    std::size_t m_keep;
    bool m_validate;
    std::size_t m_length = 0;
    Utf8Validator m_validator;
};

} // namespace

std::u16string RecordView::text(std::size_t maxChars) const
{
    bool utf8 = encoding == Encoding::Utf8;
    if (encoding == Encoding::ByContent)
        utf8 = isValidUtf8(data, size);
    // A character takes at most four bytes in UTF-8 and one in Windows-1252.
    const std::size_t bytes = std::min(size, maxChars * (utf8 ? 4 : 1));
    // fromUtf8 keeps a byte-order mark that starts a record (not the file):
    // it is a character there.
    const std::u16string all = utf8 ? fromUtf8(std::string_view(data, bytes)) : fromWindows1252(data, bytes);
    return leftChars(all, maxChars);
}

// The delimiters of one 64-byte window are found together and kept, so a run
// of short records costs a few vector compares per window, not per record.
inline std::size_t ListReader::nextDelimiter(std::size_t from)
{
    std::size_t start = from & ~std::size_t(63);
    if (start != m_windowStart) {
        m_windowStart = start;
        m_window = m_scan.delimiters(m_buffer.get() + start);
    }
    std::uint64_t mask = m_window & (~std::uint64_t(0) << (from - start));
    while (!mask) {
        start += 64;
        m_windowStart = start;
        m_window = m_scan.delimiters(m_buffer.get() + start);
        mask = m_window;
    }
    return start + std::size_t(std::countr_zero(mask));
}

ListReader::ListReader(std::u16string path, std::size_t keepBytes, RecordFilter filter)
    : m_path(std::move(path))
    , m_filter(std::move(filter))
    , m_scan(bytescan::active())
    , m_keep(keepBytes)
    , m_capacity((std::max(blockSize, keepBytes) + pageSize - 1) / pageSize * pageSize) // whole pages a read
{ }

void ListReader::PageFree::operator()(char *p) const
{
    ::operator delete[](p, std::align_val_t(pageSize));
}

ListReader::~ListReader()
{
    close();
}

void ListReader::fail()
{
    m_reason = m_file.reason();
    close();
}

void ListReader::close()
{
    m_file.close();
}

bool ListReader::open()
{
    close();
    m_reason.clear();
    if (!m_file.open(m_path)) {
        fail();
        return false;
    }
    if (!m_buffer)
        m_buffer.reset(static_cast<char *>(::operator new[](m_capacity + padding, std::align_val_t(pageSize))));
    m_size = m_pos = 0;
    m_eof = m_started = m_fileIsUtf8 = false;
    return true;
}

bool ListReader::fill()
{
    m_size = m_pos = 0;
    while (m_size < m_capacity && !m_eof) {
        const std::ptrdiff_t got = m_file.read(m_buffer.get() + m_size, m_capacity - m_size);
        if (got < 0) {
            fail();
            return false;
        }
        if (got == 0)
            m_eof = true;
        m_size += std::size_t(got);
    }
    // A line end just past the data stops every delimiter search; the rest of
    // the window after it is cleared, since vector loads read it.
    m_buffer[m_size] = '\n';
    std::memset(m_buffer.get() + m_size + 1, 0, padding - 1);
    m_windowStart = noWindow;
    m_searchFrom = 0;
    if (!m_started) {
        m_started = true;
        if (m_size >= 3 && std::memcmp(m_buffer.get(), "\xEF\xBB\xBF", 3) == 0) {
            m_fileIsUtf8 = true;
            m_pos = 3;
        }
    }
    return true;
}

// Just past the last delimiter in [from, to), or noWindow when there is none.
std::size_t ListReader::afterLastDelimiter(std::size_t from, std::size_t to)
{
    const char *buffer = m_buffer.get();
    std::size_t at = to;
    while (at > from) { // a window at a time
        const std::size_t window = (at - 1) & ~std::size_t(63);
        std::uint64_t mask = m_scan.delimiters(buffer + window);
        if (at - window < 64)
            mask &= (std::uint64_t(1) << (at - window)) - 1;
        if (window < from)
            mask &= ~std::uint64_t(0) << (from - window);
        if (mask)
            return window + std::size_t(63 - std::countl_zero(mask)) + 1;
        at = window;
    }
    return noWindow;
}

// Where the next record that may match can start, at or after `from` (an
// item's start): the start of the item holding the next hit, or of the
// block's last item, which may go on in the next block. The items passed
// over hold no quote, no fold hazard, and the key nowhere but past its
// place in the record.
std::size_t ListReader::skipAhead(std::size_t from)
{
    const auto *buffer = reinterpret_cast<const unsigned char *>(m_buffer.get());
    std::size_t item = from;
    for (std::size_t at = from;;) {
        const std::size_t hit = m_scan.findHit(m_buffer.get(), at, m_size, m_filter.needle());
        m_searchFrom = hit == m_size ? m_size : hit + 1;
        if (hit == m_size && m_eof)
            return m_size;
        if (const std::size_t after = afterLastDelimiter(at, hit); after != noWindow)
            item = after;
        if (hit == m_size)
            return item;
        std::size_t start = item;
        while (start < hit && buffer[start] == ' ')
            ++start;
        if (!m_filter.passesOver(buffer + start, hit - start))
            return item;
        at = hit + 1;
    }
}

// The hot loop: plain items that start and end inside the block, walked from
// one delimiter bit to the next. It stops, leaving m_pos at the item, where
// the general path must take over: a leading space or quote, an item that
// runs past the block, the end of the block.
inline bool ListReader::scanBlock(RecordView &record, RecordView::Encoding encoding)
{
    const char *buffer = m_buffer.get();
    std::size_t pos = m_pos;
    std::size_t start = pos & ~std::size_t(63);
    // Delimiters of the window [start, start + 64) at or after pos.
    std::uint64_t bits = m_scan.delimiters(buffer + start) & (~std::uint64_t(0) << (pos - start));
    while (pos < m_size) {
        if (m_filter.skips() && pos >= m_searchFrom) {
            const std::size_t to = skipAhead(pos);
            if (to != pos) {
                pos = to;
                if (pos >= m_size)
                    break;
                start = pos & ~std::size_t(63);
                bits = m_scan.delimiters(buffer + start) & (~std::uint64_t(0) << (pos - start));
            }
        }
        const char c = buffer[pos];
        if (c == '\r' || c == '\n') {
            // A line end where an item would start: its bit is the lowest
            // one, unless its window is not loaded yet.
            bits &= bits - 1;
            ++pos;
            continue;
        }
        if (c == ' ' || c == '"')
            break;
        while (!bits) {
            start += 64;
            if (pos >= start + 64)
                continue; // a window passed over by a run of line ends
            bits = m_scan.delimiters(buffer + start);
            if (pos > start)
                bits &= ~std::uint64_t(0) << (pos - start);
        }
        const std::size_t at = start + std::size_t(std::countr_zero(bits));
        if (at >= m_size && !m_eof)
            break;
        bits &= bits - 1;
        const char *item = buffer + pos;
        const char *end = buffer + at;
        while (end > item && end[-1] == ' ')
            --end;
        pos = std::min(at + 1, m_size);
        const std::size_t size = std::size_t(end - item);
        if (!m_filter.mayMatch(item, size, false))
            continue;
        m_pos = pos;
        record = {item, size, false, encoding};
        return true;
    }
    m_pos = pos;
    return false;
}

bool ListReader::next(RecordView &record)
{
    if (!m_file.isOpen())
        return false;
    if (!m_started && !fill())
        return false;
    const RecordView::Encoding byContent = m_fileIsUtf8 ? RecordView::Encoding::Utf8 : RecordView::Encoding::ByContent;
    for (;;) {
        if (scanBlock(record, byContent))
            return true;
        for (;;) {
            const char *p = m_buffer.get() + m_pos;
            const char *end = m_buffer.get() + m_size;
            while (p < end && (*p == ' ' || *p == '\r' || *p == '\n'))
                ++p;
            m_pos = std::size_t(p - m_buffer.get());
            if (m_pos < m_size)
                break;
            if (m_eof) {
                close();
                return false;
            }
            if (!fill())
                return false;
        }

        // Past the leading blanks, an unquoted item that ends in this block
        // is the hot loop's again.
        if (m_buffer[m_pos] != '"') {
            const std::size_t at = nextDelimiter(m_pos);
            if (at < m_size || m_eof)
                continue;
        }

        if (!assemble())
            return false;
        if (!m_filter.mayMatch(m_item.data(), m_item.size(), m_itemTruncated))
            continue;
        const auto encoding
            = m_fileIsUtf8 || m_itemIsUtf8 ? RecordView::Encoding::Utf8 : RecordView::Encoding::Windows1252;
        record = {m_item.data(), m_item.size(), m_itemTruncated, encoding};
        return true;
    }
}

// Reads the item at m_pos that is quoted or runs past the block, keeping its
// first m_keep bytes.
bool ListReader::assemble()
{
    m_item.clear();
    ItemBytes bytes(m_item, m_keep, !m_fileIsUtf8);
    std::size_t lastNonSpace = 0; // length up to the last byte that is not a space
    const bool quoted = m_buffer[m_pos] == '"';
    if (quoted)
        ++m_pos;
    bool inContent = true;

    for (;;) {
        if (m_pos >= m_size) {
            if (m_eof)
                break;
            if (!fill())
                return false;
            continue;
        }
        const char *p = m_buffer.get() + m_pos;
        const char *end = m_buffer.get() + m_size;
        if (quoted && inContent) {
            const auto *quote = static_cast<const char *>(std::memchr(p, '"', std::size_t(end - p)));
            const char *stop = quote ? quote : end;
            bytes.takeWithoutLineEnds(p, stop);
            m_pos = std::size_t(stop - m_buffer.get());
            if (quote) {
                inContent = false;
                ++m_pos;
            }
            continue;
        }
        const char *delimiter = m_buffer.get() + nextDelimiter(m_pos);
        if (!quoted) {
            const char *last = delimiter;
            while (last > p && last[-1] == ' ')
                --last;
            if (last > p)
                lastNonSpace = bytes.length() + std::size_t(last - p);
            bytes.take(p, std::size_t(delimiter - p));
        }
        m_pos = std::size_t(delimiter - m_buffer.get());
        if (m_pos < m_size) {
            ++m_pos;
            break;
        }
    }

    const std::size_t recordLength = quoted ? bytes.length() : lastNonSpace;
    if (m_item.size() > recordLength)
        m_item.resize(recordLength);
    m_itemTruncated = recordLength > m_item.size();
    m_itemIsUtf8 = bytes.isValidUtf8();
    return true;
}

} // namespace codelook
