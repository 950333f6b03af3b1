// SPDX-FileCopyrightText: 2026 The codelook developers
// SPDX-License-Identifier: MIT

#include "listreader.h"
#include "text.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace codelook;
using namespace Qt::StringLiterals;

namespace {

constexpr qsizetype everything = 1 << 16;

// All records of a list with these bytes, decoded whole.
bool readAll(const QByteArray &bytes, QStringList *records)
{
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("codelook.txt")));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return false;
    file.close();
    ListReader reader(file.fileName(), everything);
    if (!reader.open())
        return false;
    RecordView record;
    while (reader.next(record))
        records->append(record.text(everything));
    return !reader.failed();
}

QString withNul(const char *text, qsizetype size)
{
    return QString::fromLatin1(text, size);
}

} // namespace

class TestReader : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void fields_data();
    void fields();
    void encodings_data();
    void encodings();
    void utf8Validity_data();
    void utf8Validity();
    void windows1252_data();
    void windows1252();
    void characterOps_data();
    void characterOps();
};

void TestReader::fields_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("records");

    QTest::newRow("LF line ends") << QByteArray("EPWA Warsaw\nEPKK Krakow\n")
                                  << QStringList{"EPWA Warsaw", "EPKK Krakow"};
    QTest::newRow("CR LF line ends") << QByteArray("A\r\nB\r\n") << QStringList{"A", "B"};
    QTest::newRow("lone CR line ends") << QByteArray("A\rB\r") << QStringList{"A", "B"};
    QTest::newRow("mixed line ends") << QByteArray("A\r\n\rB\n\r\nC\n\rD") << QStringList{"A", "B", "C", "D"};
    QTest::newRow("no line end before end of file") << QByteArray("A\nEPWA Warsaw") << QStringList{"A", "EPWA Warsaw"};
    QTest::newRow("blank lines and lines of spaces") << QByteArray("\n\n   \nA\n \r\n  \rB\n") << QStringList{"A", "B"};
    // The reader looks for delimiters 64 bytes at a time: runs of line ends
    // that pass over whole windows, and records between them.
    QTest::newRow("long runs of blank lines")
        << (QByteArray(200, '\n') + "A," + QByteArray(130, '\r') + "B" + QByteArray(64, '\n') + "C")
        << QStringList{"A", "B", "C"};
    QTest::newRow("empty file") << QByteArray() << QStringList{};
    QTest::newRow("only line ends and spaces") << QByteArray("\r\n\n\r  \r\n") << QStringList{};
    QTest::newRow("leading spaces skipped") << QByteArray("   A B\n") << QStringList{"A B"};
    QTest::newRow("tabs are data") << QByteArray("\tA\t\n") << QStringList{"\tA\t"};
    QTest::newRow("trailing spaces cut, tabs kept")
        << QByteArray("A   \nB\t \nC \t\n") << QStringList{"A", "B\t", "C \t"};
    QTest::newRow("comma ends an item") << QByteArray("A,B\n") << QStringList{"A", "B"};
    QTest::newRow("spaces around commas") << QByteArray("A  ,  B  \n") << QStringList{"A", "B"};
    QTest::newRow("line ending in a comma") << QByteArray("A,\nB\n") << QStringList{"A", "B"};
    QTest::newRow("comma before end of file") << QByteArray("A,") << QStringList{"A"};
    QTest::newRow("empty item between commas") << QByteArray("A,,B") << QStringList{"A", "", "B"};
    QTest::newRow("item of spaces between commas") << QByteArray("A,  ,B") << QStringList{"A", "", "B"};
    QTest::newRow("comma first in the file") << QByteArray(",A") << QStringList{"", "A"};
    QTest::newRow("quote inside an unquoted item") << QByteArray("A\"B,C\"\n") << QStringList{"A\"B", "C\""};
    QTest::newRow("quoted item keeps commas and spaces")
        << QByteArray("\" EPWA Warsaw, Chopin  \"\n") << QStringList{" EPWA Warsaw, Chopin  "};
    QTest::newRow("spaces before a quote skipped") << QByteArray("   \"A\"\n") << QStringList{"A"};
    QTest::newRow("tab before a quote makes it data") << QByteArray("\t\"A\",B") << QStringList{"\t\"A\"", "B"};
    QTest::newRow("quoted item drops line ends") << QByteArray("\"A\r\nB\rC\nD\"\nE") << QStringList{"ABCD", "E"};
    QTest::newRow("text after closing quote discarded up to comma")
        << QByteArray("\"A\" junk \"x,B\n") << QStringList{"A", "B"};
    QTest::newRow("text after closing quote discarded up to line end")
        << QByteArray("\"A\"junk\r\nB") << QStringList{"A", "B"};
    QTest::newRow("closing quote at end of file") << QByteArray("\"A\"") << QStringList{"A"};
    QTest::newRow("empty quoted item") << QByteArray("\"\",A") << QStringList{"", "A"};
    QTest::newRow("quote never closed runs to end of file") << QByteArray("\"A,B\r\nC ") << QStringList{"A,BC "};
    QTest::newRow("opening quote last in the file") << QByteArray("A\n\"") << QStringList{"A", ""};
    QTest::newRow("NUL bytes are data") << QByteArray("A\0B\n\0", 5)
                                        << QStringList{withNul("A\0B", 3), withNul("\0", 1)};
}

void TestReader::fields()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, records);
    QStringList got;
    QVERIFY(readAll(bytes, &got));
    QCOMPARE(got, records);
}

void TestReader::encodings_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("records");

    QTest::newRow("UTF-8") << QByteArray("EPLL Łódź\n") << QStringList{u"EPLL Łódź"_s};
    QTest::newRow("four-byte UTF-8") << QByteArray("A😀B") << QStringList{u"A😀B"_s};
    QTest::newRow("Windows-1252") << QByteArray("LFPG Ch\xE2teau \x80\x9F\n") << QStringList{u"LFPG Château €Ÿ"_s};
    QTest::newRow("each record decoded on its own")
        << QByteArray("A \xC3\xA9\nB \xE9\n\"C \xC3\xA9\"") << QStringList{u"A é"_s, u"B é"_s, u"C é"_s};
    QTest::newRow("overlong sequence falls back") << QByteArray("\xC0\xAF\n") << QStringList{u"À¯"_s};
    QTest::newRow("encoded surrogate falls back") << QByteArray("X\xED\xA0\x80\n") << QStringList{u"Xí\u00A0€"_s};
    QTest::newRow("past U+10FFFF falls back") << QByteArray("\xF4\x90\x80\x80") << QStringList{u"ô\u0090€€"_s};
    QTest::newRow("sequence cut by the record end falls back")
        << QByteArray("A\xC3,\xC3\xA9") << QStringList{u"AÃ"_s, u"é"_s};
    QTest::newRow("unassigned Windows-1252 bytes")
        << QByteArray("\x81\x8D\x8F\x90\x9D") << QStringList{u"\u0081\u008D\u008F\u0090\u009D"_s};
    QTest::newRow("character split by a line end inside quotes")
        << QByteArray("\"\xC3\r\n\xA9\"") << QStringList{u"é"_s};
    const QByteArray bom = "\xEF\xBB\xBF";
    QTest::newRow("byte-order mark skipped") << bom + "A\nB" << QStringList{"A", "B"};
    QTest::newRow("byte-order mark makes every record UTF-8")
        << bom + "A\xE9.\n\xC3\xA9" << QStringList{u"A\uFFFD."_s, u"é"_s};
    // Only the mark that opens the file is skipped; any other is a character
    // (U+FEFF) of its record.
    QTest::newRow("byte-order mark after the file start is a character")
        << "A\n" + bom + "B" + bom << QStringList{"A", u"\uFEFFB\uFEFF"_s};
    QTest::newRow("second byte-order mark at the file start is a character")
        << bom + bom + "A" << QStringList{u"\uFEFFA"_s};
}

void TestReader::encodings()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, records);
    QStringList got;
    QVERIFY(readAll(bytes, &got));
    QCOMPARE(got, records);
}

void TestReader::utf8Validity_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("valid");

    QTest::newRow("ASCII with NUL") << QByteArray("AB\0CD", 5) << true;
    QTest::newRow("two, three and four bytes") << QByteArray("é€😀") << true;
    QTest::newRow("long ASCII run, then a character") << QByteArray("ABCDEFGHIJKLMNOPQé") << true;
    QTest::newRow("last before surrogates") << QByteArray("\xED\x9F\xBF") << true;
    QTest::newRow("highest code point") << QByteArray("\xF4\x8F\xBF\xBF") << true;
    QTest::newRow("first surrogate") << QByteArray("\xED\xA0\x80") << false;
    QTest::newRow("last surrogate") << QByteArray("\xED\xBF\xBF") << false;
    QTest::newRow("overlong two bytes") << QByteArray("\xC1\xBF") << false;
    QTest::newRow("overlong three bytes") << QByteArray("\xE0\x9F\xBF") << false;
    QTest::newRow("overlong four bytes") << QByteArray("\xF0\x8F\xBF\xBF") << false;
    QTest::newRow("past U+10FFFF") << QByteArray("\xF4\x90\x80\x80") << false;
    QTest::newRow("lead byte F5") << QByteArray("\xF5\x80\x80\x80") << false;
    QTest::newRow("lone continuation byte") << QByteArray("ABCDEFGHIJ\x80") << false;
    QTest::newRow("sequence cut at the end") << QByteArray("ABCDEFGH\xE2\x82") << false;
    QTest::newRow("ASCII inside a sequence") << QByteArray("\xE2\x41\x82") << false;
}

// The reader judges a record that spans blocks piece by piece, so every way
// of cutting it must give the same answer as the whole.
void TestReader::utf8Validity()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, valid);
    QCOMPARE(isValidUtf8(bytes.constData(), std::size_t(bytes.size())), valid);
    for (qsizetype cut = 0; cut <= bytes.size(); ++cut) {
        Utf8Validator v;
        v.feed(bytes.constData(), std::size_t(cut));
        v.feed(bytes.constData() + cut, std::size_t(bytes.size() - cut));
        QVERIFY2(v.isValid() == valid, qPrintable(QStringLiteral("cut at %1").arg(cut)));
    }
}

void TestReader::windows1252_data()
{
    QTest::addColumn<int>("byte");
    QTest::addColumn<QString>("character");

    QTest::newRow("0x00") << 0x00 << QString(QChar(0));
    QTest::newRow("0x7F") << 0x7F << u"\u007F"_s;
    QTest::newRow("0x80 euro") << 0x80 << u"€"_s;
    QTest::newRow("0x81 unassigned") << 0x81 << u"\u0081"_s;
    QTest::newRow("0x8A") << 0x8A << u"Š"_s;
    QTest::newRow("0x8D unassigned") << 0x8D << u"\u008D"_s;
    QTest::newRow("0x8F unassigned") << 0x8F << u"\u008F"_s;
    QTest::newRow("0x90 unassigned") << 0x90 << u"\u0090"_s;
    QTest::newRow("0x93") << 0x93 << u"\u201C"_s;
    QTest::newRow("0x9D unassigned") << 0x9D << u"\u009D"_s;
    QTest::newRow("0x9F") << 0x9F << u"Ÿ"_s;
    QTest::newRow("0xA0") << 0xA0 << u"\u00A0"_s;
    QTest::newRow("0xF0") << 0xF0 << u"ð"_s;
    QTest::newRow("0xFF") << 0xFF << u"ÿ"_s;
}

void TestReader::windows1252()
{
    QFETCH(int, byte);
    QFETCH(QString, character);
    const char c = char(byte);
    QCOMPARE(fromWindows1252(&c, 1), character);
}

void TestReader::characterOps_data()
{
    QTest::addColumn<QString>("got");
    QTest::addColumn<QString>("expected");

    const QString pairs = u"A😀B𝄞C"_s; // two characters outside the BMP
    QTest::newRow("mid over a surrogate pair") << midChars(pairs, 2, 2) << u"😀B"_s;
    QTest::newRow("mid starting after pairs") << midChars(pairs, 4, 9) << u"𝄞C"_s;
    QTest::newRow("mid past the end") << midChars(pairs, 6, 1) << QString();
    QTest::newRow("mid of zero characters") << midChars(pairs, 1, 0) << QString();
    QTest::newRow("left over surrogate pairs") << leftChars(pairs, 4) << u"A😀B𝄞"_s;
    QTest::newRow("left longer than the string") << leftChars(pairs, 99) << pairs;
    QTest::newRow("upper of sharp s") << upper(u"Straße"_s) << u"STRASSE"_s;
    QTest::newRow("upper of eth") << upper(u"ðakar"_s) << u"ÐAKAR"_s;
    QTest::newRow("trim keeps tabs") << trimSpaces(u"  \tA B\t  "_s) << u"\tA B\t"_s;
    QTest::newRow("record text cut by characters") << RecordView{"A😀BC", 7}.text(2) << u"A😀"_s;
    QTest::newRow("Windows-1252 record text cut") << RecordView{"AB\xE9\xE9", 4}.text(3) << u"ABé"_s;
}

void TestReader::characterOps()
{
    QFETCH(QString, got);
    QFETCH(QString, expected);
    QCOMPARE(got, expected);
}

QTEST_GUILESS_MAIN(TestReader)
#include "tst_reader.moc"
