// SPDX-FileCopyrightText: 2026 The codelook developers
// SPDX-License-Identifier: MIT

#include "plainmodel.h"

#include <QList>

namespace plainmodel {

namespace {

bool isLineEnd(char c)
{
    return c == '\r' || c == '\n';
}

QList<uint> chars(const QString &s)
{
    return s.toUcs4();
}

// Not QString::fromUcs4, which would drop a leading U+FEFF.
QString fromChars(const QList<uint> &c)
{
    QString out;
    for (const uint cp : c) {
        if (QChar::requiresSurrogates(cp)) {
            out.append(QChar(QChar::highSurrogate(cp)));
            out.append(QChar(QChar::lowSurrogate(cp)));
        } else {
            out.append(QChar(char16_t(cp)));
        }
    }
    return out;
}

// Length of the well-formed UTF-8 sequence at i (shortest form, no
// surrogates, nothing past U+10FFFF), or 0; its code point goes to *cp.
int sequenceAt(const QByteArray &bytes, qsizetype i, char32_t *cp)
{
    const auto lead = static_cast<unsigned char>(bytes[i]);
    int more;
    if (lead < 0x80) {
        *cp = lead;
        return 1;
    } else if ((lead & 0xE0) == 0xC0) {
        more = 1;
        *cp = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        more = 2;
        *cp = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        more = 3;
        *cp = lead & 0x07;
    } else {
        return 0;
    }
    if (i + more >= bytes.size())
        return 0;
    for (int k = 1; k <= more; ++k) {
        const auto b = static_cast<unsigned char>(bytes[i + k]);
        if ((b & 0xC0) != 0x80)
            return 0;
        *cp = (*cp << 6) | (b & 0x3F);
    }
    static constexpr char32_t smallest[] = {0, 0x80, 0x800, 0x10000};
    if (*cp < smallest[more] || *cp > 0x10FFFF || (*cp >= 0xD800 && *cp <= 0xDFFF))
        return 0;
    return more + 1;
}

// Every byte that starts no well-formed sequence becomes one U+FFFD. A
// U+FEFF inside the text is a character like any other.
QString utf8(const QByteArray &bytes, bool *valid)
{
    QList<uint> out;
    *valid = true;
    for (qsizetype i = 0; i < bytes.size();) {
        char32_t cp;
        const int length = sequenceAt(bytes, i, &cp);
        if (length == 0) {
            *valid = false;
            out.append(0xFFFD);
            ++i;
        } else {
            out.append(cp);
            i += length;
        }
    }
    return fromChars(out);
}

QString windows1252(const QByteArray &bytes)
{
    // The printable characters of 0x80..0x9F; every other byte is its own
    // code point (0x81, 0x8D, 0x8F, 0x90 and 0x9D included).
    static const QList<QPair<unsigned char, char16_t>> special = {
        {0x80, u'€'}, {0x82, u'‚'}, {0x83, u'ƒ'}, {0x84, u'„'}, {0x85, u'…'}, {0x86, u'†'}, {0x87, u'‡'},
        {0x88, u'ˆ'}, {0x89, u'‰'}, {0x8A, u'Š'}, {0x8B, u'‹'}, {0x8C, u'Œ'}, {0x8E, u'Ž'}, {0x91, u'‘'},
        {0x92, u'’'}, {0x93, u'“'}, {0x94, u'”'}, {0x95, u'•'}, {0x96, u'–'}, {0x97, u'—'}, {0x98, u'˜'},
        {0x99, u'™'}, {0x9A, u'š'}, {0x9B, u'›'}, {0x9C, u'œ'}, {0x9E, u'ž'}, {0x9F, u'Ÿ'},
    };
    QString out;
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        char16_t u = b;
        for (const auto &[byte, ch] : special) {
            if (byte == b)
                u = ch;
        }
        out.append(QChar(u));
    }
    return out;
}

QString left(const QString &s, qsizetype n)
{
    return fromChars(chars(s).mid(0, n));
}

// pos counts from 1
QString mid(const QString &s, qsizetype pos, qsizetype n)
{
    const QList<uint> c = chars(s);
    if (pos - 1 >= c.size())
        return {};
    return fromChars(c.mid(pos - 1, n));
}

QString trim(QString s)
{
    while (s.startsWith(u' '))
        s.remove(0, 1);
    while (s.endsWith(u' '))
        s.chop(1);
    return s;
}

} // namespace

QStringList records(const QByteArray &file)
{
    const bool bom = file.startsWith("\xEF\xBB\xBF");
    qsizetype i = bom ? 3 : 0;
    const qsizetype n = file.size();
    QList<QByteArray> raw;
    for (;;) {
        while (i < n && (file[i] == ' ' || isLineEnd(file[i])))
            ++i;
        if (i >= n)
            break;
        QByteArray record;
        if (file[i] == '"') {
            ++i;
            while (i < n && file[i] != '"') {
                if (!isLineEnd(file[i]))
                    record.append(file[i]);
                ++i;
            }
            ++i; // the closing quote, or past the end
            while (i < n && file[i] != ',' && !isLineEnd(file[i]))
                ++i;
            ++i;
        } else {
            while (i < n && file[i] != ',' && !isLineEnd(file[i]))
                record.append(file[i++]);
            ++i;
            while (record.endsWith(' '))
                record.chop(1);
        }
        raw.append(record);
    }

    QStringList out;
    for (const QByteArray &r : raw) {
        bool valid;
        const QString text = utf8(r, &valid);
        out.append(bom || valid ? text : windows1252(r));
    }
    return out;
}

bool searchCode(const QStringList &records, Panel &panel)
{
    const QString key = trim(panel.input);
    for (const QString &r : records) {
        if (left(r, 4) == key) {
            panel.output = mid(r, 6, 150).toUpper();
            panel.inputLocked = true;
            panel.outputLocked = true;
            return true;
        }
    }
    panel.output = QStringLiteral("ICAO CODE NOT FOUND");
    return false;
}

bool searchName(const QStringList &records, Panel &panel)
{
    const QString key = trim(panel.input);
    const qsizetype n = chars(key).size();
    for (const QString &r : records) {
        if (mid(r, 6, n).toUpper() == key) {
            panel.output = left(r, 4).toUpper();
            panel.inputLocked = true;
            panel.outputLocked = true;
            return true;
        }
    }
    panel.input = QStringLiteral("AIRPORT NAME NOT FOUND");
    return false;
}

} // namespace plainmodel
