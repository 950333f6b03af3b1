// SPDX-FileCopyrightText: 2026 The codelook developers
// SPDX-License-Identifier: MIT

// The reader takes shortcuts: records inside one block are handed out in
// place, records that cross a block or are quoted are copied and cut, and a
// byte prefilter skips records before they are decoded. Whatever the path,
// both searches must answer as the plain model does.

#include "box.h"
#include "lookup.h"
#include "plainmodel.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

using namespace codelook;
using namespace Qt::StringLiterals;

namespace {

constexpr qsizetype block = qsizetype(1) << 20;

// Filler records so that `tail` starts at byte `at` of the list.
QByteArray startingAt(qsizetype at, const QByteArray &tail)
{
    QByteArray list;
    for (int n = 0; at - list.size() > 1100; ++n)
        list += "F" + QByteArray::number(n % 1000).rightJustified(3, '0') + " filler " + QByteArray(990, 'f') + "\n";
    const qsizetype rest = at - list.size();
    list += "F999" + QByteArray(rest - 5, 'z') + "\n";
    return list + tail;
}

// A tail of short records made of pieces the reader treats specially.
QByteArray randomRecords(quint32 seed)
{
    // Lone \xF0, \xDF, \x80 and the encoded surrogate make a record
    // Windows-1252.
    static const QByteArrayList pieces
        = QByteArray("EPWA|A|b| |   |\t|,|\"|\r|\n|\r\n|ß|ð|Ð|\xF0|\xDF|Ł|\xED\xA0\x80|😀|\x80|ı|ABCD |Warsaw")
              .split('|')
        + QByteArrayList{QByteArray(1, '\0'), QByteArray(700, 'q'), QByteArray(300, ' ')};
    QRandomGenerator random(seed);
    QByteArray out;
    for (int i = random.bounded(5, 60); i > 0; --i)
        out += pieces[random.bounded(pieces.size())];
    return out;
}

// Codes and separators of several bytes, in UTF-8 and in Windows-1252, and
// names whose upper case is longer or ASCII.
const QByteArray nonAsciiCodes = QByteArray("ÐÐÐÐ ðakar\n"
                                            "ŁÓDŹ Lodz\n"
                                            "EPLŁ Łódź\n"
                                            "ABCD\u00A0Nbsp\n"
                                            "😀X😀Y smile\n"
                                            "EDDM München Straße\n"
                                            "XXXX ß\n"
                                            "XXXY ße\n"
                                            "LTFM ıstanbul\n"
                                            "XXXZ ﬀx\n")
    + QStringLiteral("ÐÐÐÐ\u00A0ðakar\nEPL£ Lódz\n").toLatin1();

} // namespace

class TestFastPath : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void sameAsModel_data();
    void sameAsModel();

private:
    void compare(Lookup &lookup, const QStringList &records, const QString &key, bool codeSearch);
};

void TestFastPath::sameAsModel_data()
{
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("quoted record across the block end")
        << startingAt(block - 6, "\"EPWA Warsaw, Chopin\"\r\nEPKK Kraków\r\n");
    QTest::newRow("closing quote last in the block") << startingAt(block - 13, "\"EPWA Warsaw\" x,EPKK K\n");
    QTest::newRow("opening quote last in the block") << startingAt(block - 1, "\"EPWA Warsaw\"\nEPKK K\n");
    QTest::newRow("line end inside quotes split by the block end") << startingAt(block - 8, "\"EPWA W\r\narsaw\"\n");
    QTest::newRow("CR LF split by the block end") << startingAt(block - 12, "EPWA Warsaw\r\nEPKK Krakow\r\n");
    QTest::newRow("comma last in the block") << startingAt(block - 12, "EPWA Warsaw,EPKK Krakow");
    QTest::newRow("record ends at the block end with the file") << startingAt(block - 11, "EPWA Warsaw");
    QTest::newRow("two-byte character split") << startingAt(block - 6, "EPLL Łódź\n");
    QTest::newRow("four-byte character split") << startingAt(block - 7, "XXXX a😀b\nEPWA x\n");
    QTest::newRow("invalid byte after the block end") << startingAt(block - 8, "EPLL Lodz \xE9\x63ole\nEPKK Kraków\n");
    QTest::newRow("multi-byte code split") << startingAt(block - 2, "ÐÐÐÐ ða\n");
    QTest::newRow("record of 800 characters across the block end")
        << startingAt(block - 100, "LONG " + QByteArray("éa").repeated(400) + "\nEPWA x\n");
    QTest::newRow("Windows-1252 record of 800 bytes across the block end")
        << startingAt(block - 300, "LONG " + QByteArray("\xE9\x61").repeated(400) + "\nEPWA x\n");
    QTest::newRow("record of four-byte characters across the block end")
        << startingAt(block - 100, "SMIL " + QByteArray("😀").repeated(400) + "\nEPWA x\n");
    QTest::newRow("record longer than a block")
        << startingAt(block - 50, "HUGE " + QByteArray(block + 200, 'h') + "\nEPWA x\n");
    QTest::newRow("quoted record longer than a block")
        << startingAt(block - 50, "\"HUGE \r\n" + QByteArray("h,\n").repeated(block / 2) + "\"\nEPWA x\n");
    QTest::newRow("trailing spaces across the block end")
        << startingAt(block - 14, "EDDF Frankfurt" + QByteArray(40, ' ') + "\nEPWA x  \n");
    QTest::newRow("spaces inside a name across the block end")
        << startingAt(block - 10, "EDDF Frank" + QByteArray(30, ' ') + "furt \t  ,EPWA x\n");
    QTest::newRow("quoted trailing spaces across the block end")
        << startingAt(block - 10, "\"EDDF Frank   " + QByteArray(30, ' ') + "\"\n");
    QTest::newRow("non-ASCII in the first five bytes") << nonAsciiCodes;
    QTest::newRow("non-ASCII in the first five bytes, across the block end") << startingAt(block - 3, nonAsciiCodes);
    QTest::newRow("byte-order mark") << "\xEF\xBB\xBF" + nonAsciiCodes + "LFPG Ch\xE2teau\n";
    for (quint32 seed = 1; seed <= 6; ++seed) {
        const QByteArray name = "random records across the block end, seed " + QByteArray::number(seed);
        QTest::newRow(name.constData()) << startingAt(block - 20, randomRecords(seed));
    }
}

void TestFastPath::sameAsModel()
{
    QFETCH(QByteArray, bytes);
    QTemporaryDir dir;
    const QString path = dir.filePath(listFileName());
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(bytes), bytes.size());
    }
    const QStringList records = plainmodel::records(bytes);

    // The first key is empty.
    QStringList keys
        = u"|  |A|AB|ABC|EPWA|epwa|EPWA |WARSAW|Warsaw|WARSAW, CHOPIN|LÓDZ|ŁÓDŹ|ÐA|ÐÐÐÐ|SS|STRASSE|ISTANBUL|"
          u"FFX|HUGE|FRANKFURT|ICAO CODE NOT FOUND|AIRPORT NAME NOT FOUND"_s.split(u'|');
    keys << QString(300, u'H');
    // Keys that hit each record that is not filler: its code, and its name
    // cut at several lengths.
    for (const QString &r : records) {
        if (r.startsWith(u'F') && r.size() > 4 && r[1].isDigit())
            continue;
        const QString name = r.mid(5);
        keys << r.left(4) << r.left(4).toLower() << r.left(3);
        for (const qsizetype n : {1, 3, 150, 400})
            keys << name.left(n).toUpper();
        keys << name.toUpper().left(10000);
    }
    keys.removeDuplicates();

    Lookup lookup(path);
    for (const QString &key : std::as_const(keys)) {
        for (const bool codeSearch : {true, false}) {
            compare(lookup, records, key, codeSearch);
            if (QTest::currentTestFailed())
                return;
        }
    }
}

void TestFastPath::compare(Lookup &lookup, const QStringList &records, const QString &key, bool codeSearch)
{
    MemoryBox in(key);
    MemoryBox out(u"previous"_s);
    plainmodel::Panel expected{key, u"previous"_s};
    const SearchResult result = codeSearch ? lookup.searchCode(in, out) : lookup.searchName(in, out);
    const bool found
        = codeSearch ? plainmodel::searchCode(records, expected) : plainmodel::searchName(records, expected);

    const QString what = (codeSearch ? u"code search for \""_s : u"name search for \""_s) + key.left(40) + u'"';
    QVERIFY2(result.status == (found ? SearchResult::Status::Found : SearchResult::Status::NotFound), qPrintable(what));
    QVERIFY2(out.text() == expected.output, qPrintable(what + u": output "_s + out.text().left(60)));
    QVERIFY2(in.text() == expected.input, qPrintable(what + u": input "_s + in.text().left(60)));
    QVERIFY2(in.isLocked() == expected.inputLocked, qPrintable(what));
    QVERIFY2(out.isLocked() == expected.outputLocked, qPrintable(what));
}

QTEST_GUILESS_MAIN(TestFastPath)
#include "tst_fastpath.moc"
