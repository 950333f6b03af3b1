// SPDX-FileCopyrightText: 2026 The codelook developers
// SPDX-License-Identifier: MIT

// The shipped list read through the program's own reader: one record per
// airport of the source CSV, each as the converter promises, and a few
// airports a user would look for.

#include "box.h"
#include "listreader.h"
#include "lookup.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace codelook;

namespace {

const QString listPath = QStringLiteral(CODELOOK_SOURCE_DIR "/data/codelook.txt");

} // namespace

class tst_ShippedList : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void oneRecordPerAirport();
    void wellKnownAirports_data();
    void wellKnownAirports();
};

void tst_ShippedList::oneRecordPerAirport()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString expectedPath = dir.filePath(QStringLiteral("expected.tsv"));
    QProcess converter;
    converter.start(QStringLiteral("python3"),
                    {QStringLiteral(CODELOOK_SOURCE_DIR "/tools/make_codelook_list.py"), QStringLiteral("--expected"),
                     QStringLiteral(CODELOOK_SOURCE_CSV), expectedPath});
    QVERIFY(converter.waitForFinished(60000));
    QVERIFY2(converter.exitCode() == 0, converter.readAllStandardError().constData());

    QFile expectedFile(expectedPath);
    QVERIFY(expectedFile.open(QIODevice::ReadOnly | QIODevice::Text));
    const QStringList expected = QString::fromUtf8(expectedFile.readAll()).split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(expected.size(), 28291);

    ListReader reader(listPath, 4096);
    QVERIFY(reader.open());
    RecordView record;
    qsizetype count = 0;
    while (reader.next(record)) {
        QVERIFY2(count < expected.size(), "more records than airports");
        const QString text = record.text(1000);
        const QString line = expected[count];
        const QString wanted = line.left(4) + u' ' + line.mid(5);
        if (text != wanted)
            QFAIL(qPrintable(QStringLiteral("record %1: read '%2', CSV says '%3'").arg(count + 1).arg(text, wanted)));
        ++count;
    }
    QVERIFY(!reader.failed());
    QCOMPARE(count, expected.size());
}

void tst_ShippedList::wellKnownAirports_data()
{
    QTest::addColumn<bool>("byCode");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("shown");
    QTest::newRow("Heathrow by code") << true << "EGLL"
                                      << "LONDON HEATHROW AIRPORT";
    QTest::newRow("Fiumicino by code") << true << "LIRF"
                                       << "LEONARDO DA VINCI (FIUMICINO) INTERNATIONAL AIRPORT";
    QTest::newRow("cp1252 letter upper-cased") << true << "EPLL"
                                               << "LÓDZ WLADYSLAW REYMONT AIRPORT";
    QTest::newRow("quoted name with a comma") << true << "0GA2"
                                              << "AIRNAUTIQUE, INC AIRPORT";
    QTest::newRow("lower-case code finds nothing") << true << "egll"
                                                   << "ICAO CODE NOT FOUND";
    // Several names start with LONDON: the first in file order wins.
    QTest::newRow("shared prefix, first in file") << false << "LONDON"
                                                  << "CLC2";
    QTest::newRow("London Heathrow by name") << false << "LONDON HEATHROW"
                                             << "EGLL";
    QTest::newRow("unknown name") << false << "NO SUCH PLACE"
                                  << "AIRPORT NAME NOT FOUND";
}

void tst_ShippedList::wellKnownAirports()
{
    QFETCH(bool, byCode);
    QFETCH(QString, key);
    QFETCH(QString, shown);
    MemoryBox input(key);
    MemoryBox output;
    Lookup lookup(listPath);
    if (byCode) {
        lookup.searchCode(input, output);
        QCOMPARE(output.text(), shown);
    } else {
        lookup.searchName(input, output);
        QCOMPARE(output.writes ? output.text() : input.text(), shown);
    }
}

QTEST_GUILESS_MAIN(tst_ShippedList)
#include "tst_shippedlist.moc"
