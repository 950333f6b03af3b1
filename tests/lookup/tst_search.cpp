// SPDX-FileCopyrightText: 2026 The codelook developers
// SPDX-License-Identifier: MIT

#include "box.h"
#include "lookup.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <atomic>
#include <thread>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace codelook;
using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(SearchResult::Status)

namespace {

// Windows-1252 (LFPG) and UTF-8 records side by side, as a hand-edited list
// may have them.
const QByteArray airports = "EPWA Warsaw Chopin\r\n"
                            "EPKK Kraków Balice\r\n"
                            "EPKT Katowice\r\n"
                            "EPWA Warsaw second\r\n"
                            "EPWB Warsaw Chopin\r\n"
                            "EDDM München Franz Josef Strauß\r\n"
                            "LFPG Ch\xE2teau\r\n"
                            "EPLL Łódź\r\n"
                            "ÐÐÐÐ ðakar\r\n"
                            "epzz Zielona\r\n"
                            "ABCX Xray\r\n"
                            "ABC\r\n"
                            "ABCD\r\n"
                            "ABCE-\r\n";

const QString codeNotFound = u"ICAO CODE NOT FOUND"_s;
const QString nameNotFound = u"AIRPORT NAME NOT FOUND"_s;

long peakMemoryKiB()
{
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

int openFiles()
{
    return int(QDir(u"/proc/self/fd"_s).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot).size());
}

QString withoutOuterSpaces(QString s)
{
    while (s.startsWith(u' '))
        s.remove(0, 1);
    while (s.endsWith(u' '))
        s.chop(1);
    return s;
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

} // namespace

class TestSearch : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void searchCode_data();
    void searchCode();
    void searchName_data();
    void searchName();
    void failureLeavesLocks_data();
    void failureLeavesLocks();
    void notFoundMessageSearchedAgain();
    void listChangesBetweenSearches_data();
    void listChangesBetweenSearches();
    void unreadable_data();
    void unreadable();
    void hostileList_data();
    void hostileList();
    void hugeSingleLine();

private:
    QString list() const { return m_dir->filePath(listFileName()); }

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_startDir;
};

void TestSearch::init()
{
    m_startDir = QDir::currentPath();
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestSearch::cleanup()
{
    QDir::setCurrent(m_startDir);
    m_dir.reset();
}

void TestSearch::searchCode_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("key");
    QTest::addColumn<bool>("found");
    QTest::addColumn<QString>("name");

    QTest::newRow("found, name upper-cased") << airports << u"EPKK"_s << true << u"KRAKÓW BALICE"_s;
    QTest::newRow("spaces around the key") << airports << u"  EPKT "_s << true << u"KATOWICE"_s;
    QTest::newRow("first of several matches") << airports << u"EPWA"_s << true << u"WARSAW CHOPIN"_s;
    QTest::newRow("Windows-1252 record") << airports << u"LFPG"_s << true << u"CHÂTEAU"_s;
    QTest::newRow("sharp s upper-cased to SS") << airports << u"EDDM"_s << true << u"MÜNCHEN FRANZ JOSEF STRAUSS"_s;
    QTest::newRow("non-ASCII code") << airports << u"ÐÐÐÐ"_s << true << u"ÐAKAR"_s;
    QTest::newRow("not found") << airports << u"XXXX"_s << false << codeNotFound;
    QTest::newRow("lower-case key finds nothing") << airports << u"epkk"_s << false << codeNotFound;
    QTest::newRow("upper-case key misses lower-case code") << airports << u"EPZZ"_s << false << codeNotFound;
    QTest::newRow("key longer than a code") << airports << u"EPKKX"_s << false << codeNotFound;
    QTest::newRow("tab is part of the key") << airports << u"EPKK\t"_s << false << codeNotFound;
    QTest::newRow("short key matches the whole record only") << airports << u"ABC"_s << true << QString();
    QTest::newRow("short key without such a record") << airports << u"EPK"_s << false << codeNotFound;
    QTest::newRow("record of four characters") << airports << u"ABCD"_s << true << QString();
    QTest::newRow("record of five characters") << airports << u"ABCE"_s << true << QString();
    QTest::newRow("empty key without an empty record") << airports << QString() << false << codeNotFound;
    QTest::newRow("empty key matches an empty record") << QByteArray("EPWA x,,EPKK y") << u"  "_s << true << QString();

    // Upper-casing after the cut: 150 sharp s become 300 letters.
    QTest::newRow("name cut to 150 characters, then upper-cased") << "LONG " + QString(160, u'ß').toUtf8() + "\n"
                                                                  << u"LONG"_s << true << QString(300, u'S');
    QTest::newRow("name of 151 characters") << "LONG " + QByteArray(150, 'a') + "b\n"
                                            << u"LONG"_s << true << QString(150, u'A');
    // U+FEFF opening a record is a character of its code, not a mark to skip.
    QTest::newRow("byte-order mark starting a record is a character")
        << QByteArray("ZZZZ x\n\uFEFFEPGD Gdansk\n") << u"EPGD"_s << false << codeNotFound;
}

void TestSearch::searchCode()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, key);
    QFETCH(bool, found);
    QFETCH(QString, name);
    QVERIFY(writeFile(list(), bytes));

    MemoryBox code(key);
    MemoryBox out(u"previous"_s);
    Lookup lookup(list());
    const int filesBefore = openFiles();
    const SearchResult result = lookup.searchCode(code, out);
    QCOMPARE(openFiles(), filesBefore);
    QCOMPARE(result.status, found ? SearchResult::Status::Found : SearchResult::Status::NotFound);
    QCOMPARE(out.text(), name);
    QCOMPARE(code.text(), key);
    QCOMPARE(code.isLocked(), found);
    QCOMPARE(out.isLocked(), found);
    QCOMPARE(lookup.searchKey(), withoutOuterSpaces(key));
}

void TestSearch::searchName_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("code"); // empty: not found

    QTest::newRow("whole name") << airports << u"KRAKÓW BALICE"_s << u"EPKK"_s;
    QTest::newRow("beginning of a name") << airports << u"KAT"_s << u"EPKT"_s;
    QTest::newRow("first of names sharing a prefix") << airports << u"K"_s << u"EPKK"_s;
    QTest::newRow("first of equal names") << airports << u"WARSAW CHOPIN"_s << u"EPWA"_s;
    QTest::newRow("spaces around the key") << airports << u" CHÂ  "_s << u"LFPG"_s;
    QTest::newRow("code upper-cased") << airports << u"ZIELONA"_s << u"EPZZ"_s;
    QTest::newRow("non-ASCII key") << airports << u"ŁÓDŹ"_s << u"EPLL"_s;
    QTest::newRow("eth") << airports << u"ÐA"_s << u"ÐÐÐÐ"_s;
    QTest::newRow("SS matches a final sharp s") << airports << u"MÜNCHEN FRANZ JOSEF STRAUSS"_s << u"EDDM"_s;
    QTest::newRow("empty key matches the first record") << airports << QString() << u"EPWA"_s;
    QTest::newRow("key of spaces matches the first record") << airports << u"   "_s << u"EPWA"_s;
    QTest::newRow("not found") << airports << u"NOWHERE"_s << QString();
    QTest::newRow("key as typed is not upper-cased") << airports << u"Krak"_s << QString();
    QTest::newRow("name longer than any record") << airports << u"KATOWICE AIRPORT"_s << QString();
    QTest::newRow("records without a name") << QByteArray("ABCD\nABCE \nEPWA Warsaw") << u"W"_s << u"EPWA"_s;
    QTest::newRow("empty key on an empty list") << QByteArray() << QString() << QString();
}

void TestSearch::searchName()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, key);
    QFETCH(QString, code);
    QVERIFY(writeFile(list(), bytes));

    const bool found = !code.isEmpty();
    MemoryBox name(key);
    MemoryBox out(u"previous"_s);
    Lookup lookup(list());
    const int filesBefore = openFiles();
    const SearchResult result = lookup.searchName(name, out);
    QCOMPARE(openFiles(), filesBefore);
    QCOMPARE(result.status, found ? SearchResult::Status::Found : SearchResult::Status::NotFound);
    QCOMPARE(out.text(), found ? code : u"previous"_s);
    QCOMPARE(name.text(), found ? key : nameNotFound);
    QCOMPARE(name.isLocked(), found);
    QCOMPARE(out.isLocked(), found);
    QCOMPARE(lookup.searchKey(), withoutOuterSpaces(key));
}

void TestSearch::failureLeavesLocks_data()
{
    QTest::addColumn<bool>("codePanel");
    QTest::addColumn<bool>("locked");

    QTest::newRow("code panel, unlocked") << true << false;
    QTest::newRow("code panel, locked") << true << true;
    QTest::newRow("name panel, unlocked") << false << false;
    QTest::newRow("name panel, locked") << false << true;
}

void TestSearch::failureLeavesLocks()
{
    QFETCH(bool, codePanel);
    QFETCH(bool, locked);
    QVERIFY(writeFile(list(), airports));
    MemoryBox in(u"NOPE"_s);
    MemoryBox out;
    in.setLocked(locked);
    out.setLocked(locked);
    Lookup lookup(list());
    const SearchResult result = codePanel ? lookup.searchCode(in, out) : lookup.searchName(in, out);
    QCOMPARE(result.status, SearchResult::Status::NotFound);
    QCOMPARE(in.isLocked(), locked);
    QCOMPARE(out.isLocked(), locked);
}

// The message replaces the typed name, so pressing SEARCH again looks for
// the message itself.
void TestSearch::notFoundMessageSearchedAgain()
{
    QVERIFY(writeFile(list(), airports + "ZZZZ airport name not found here\n"));
    MemoryBox name(u"NOWHERE"_s);
    MemoryBox code(u"previous"_s);
    Lookup lookup(list());
    QCOMPARE(lookup.searchName(name, code).status, SearchResult::Status::NotFound);
    QCOMPARE(name.text(), nameNotFound);
    QCOMPARE(code.text(), u"previous"_s);
    QVERIFY(!name.isLocked());

    QCOMPARE(lookup.searchName(name, code).status, SearchResult::Status::Found);
    QCOMPARE(code.text(), u"ZZZZ"_s);
    QVERIFY(name.isLocked());
    QVERIFY(code.isLocked());
}

void TestSearch::listChangesBetweenSearches_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<SearchResult::Status>("status");
    QTest::addColumn<QString>("name");

    QTest::newRow("edited in place") << u"edit"_s << SearchResult::Status::Found << u"MODLIN"_s;
    QTest::newRow("same size edit") << u"same size"_s << SearchResult::Status::Found << u"WARSAW CHOPIX"_s;
    QTest::newRow("replaced by rename") << u"rename"_s << SearchResult::Status::Found << u"OKECIE"_s;
    QTest::newRow("emptied") << u"empty"_s << SearchResult::Status::NotFound << codeNotFound;
    QTest::newRow("deleted") << u"delete"_s << SearchResult::Status::Unreadable << u"previous"_s;
}

void TestSearch::listChangesBetweenSearches()
{
    QFETCH(QString, change);
    QFETCH(SearchResult::Status, status);
    QFETCH(QString, name);
    QVERIFY(writeFile(list(), airports));
    Lookup lookup(list());
    {
        MemoryBox code(u"EPWA"_s);
        MemoryBox out;
        QCOMPARE(lookup.searchCode(code, out).status, SearchResult::Status::Found);
        QCOMPARE(out.text(), u"WARSAW CHOPIN"_s);
    }

    if (change == u"edit") {
        QVERIFY(writeFile(list(), "EPWA Modlin\n"));
    } else if (change == u"same size") {
        QVERIFY(writeFile(list(), QByteArray(airports).replace("Chopin", "Chopix")));
    } else if (change == u"rename") {
        const QString other = m_dir->filePath(u"new.txt"_s);
        QVERIFY(writeFile(other, "EPWA Okecie\n"));
        QCOMPARE(::rename(QFile::encodeName(other).constData(), QFile::encodeName(list()).constData()), 0);
    } else if (change == u"empty") {
        QVERIFY(writeFile(list(), {}));
    } else {
        QVERIFY(QFile::remove(list()));
    }

    MemoryBox code(u"EPWA"_s);
    MemoryBox out(u"previous"_s);
    const SearchResult result = lookup.searchCode(code, out);
    QCOMPARE(result.status, status);
    QCOMPARE(out.text(), name);
    if (status == SearchResult::Status::Unreadable)
        QCOMPARE(result.reason, u"No such file or directory"_s);
}

void TestSearch::unreadable_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("reason");

    QTest::newRow("missing") << u"missing"_s << u"No such file or directory"_s;
    QTest::newRow("dangling link") << u"dangling"_s << u"No such file or directory"_s;
    QTest::newRow("directory") << u"directory"_s << u"Is a directory"_s;
    QTest::newRow("FIFO without a writer") << u"fifo"_s << u"Not a regular file"_s;
    QTest::newRow("link to /dev/zero") << u"zero"_s << u"Not a regular file"_s;
    QTest::newRow("no permission") << u"mode 000"_s << u"Permission denied"_s;
}

void TestSearch::unreadable()
{
    QFETCH(QString, kind);
    QFETCH(QString, reason);
    const QByteArray path = QFile::encodeName(list());
    if (kind == u"dangling") {
        QCOMPARE(::symlink("gone.txt", path.constData()), 0);
    } else if (kind == u"directory") {
        QCOMPARE(::mkdir(path.constData(), 0755), 0);
    } else if (kind == u"fifo") {
        QCOMPARE(::mkfifo(path.constData(), 0644), 0);
    } else if (kind == u"zero") {
        QCOMPARE(::symlink("/dev/zero", path.constData()), 0);
    } else if (kind == u"mode 000") {
        if (::geteuid() == 0)
            QSKIP("root reads files whatever their mode");
        QVERIFY(writeFile(list(), airports));
        QCOMPARE(::chmod(path.constData(), 0), 0);
    }

    // Run from the list's folder with the default, relative list name: the
    // result must still name the list by its absolute path.
    QVERIFY(QDir::setCurrent(m_dir->path()));
    const QString absolute = QDir::current().absoluteFilePath(listFileName());
    const int filesBefore = openFiles();

    for (const bool codePanel : {true, false}) {
        MemoryBox in(u"EPWA"_s);
        MemoryBox out(u"previous"_s);
        out.setLocked(true);
        SearchResult result;
        std::atomic<bool> done = false;
        std::thread search([&] {
            Lookup lookup;
            result = codePanel ? lookup.searchCode(in, out) : lookup.searchName(in, out);
            done = true;
        });
        QDeadlineTimer deadline(10000);
        while (!done && !deadline.hasExpired())
            QThread::msleep(10);
        const bool inTime = done;
        if (!inTime) {
            // Give a blocked reader a writer and its end of file, so the
            // test can end.
            const int writer = ::open(path.constData(), O_WRONLY | O_NONBLOCK);
            if (writer >= 0)
                ::close(writer);
        }
        search.join();
        QVERIFY2(inTime, "the search hung");
        QCOMPARE(result.status, SearchResult::Status::Unreadable);
        QCOMPARE(result.path, absolute);
        QCOMPARE(result.reason, reason);
        QCOMPARE(in.text(), u"EPWA"_s);
        QCOMPARE(out.text(), u"previous"_s);
        QVERIFY(!in.isLocked());
        QVERIFY(out.isLocked());
        QCOMPARE(in.writes, 0);
        QCOMPARE(out.writes, 0);
    }
    QCOMPARE(openFiles(), filesBefore);
}

void TestSearch::hostileList_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("nameKey");
    QTest::addColumn<QString>("name"); // what the code search for EPWA shows
    QTest::addColumn<QString>("code"); // what the name search finds; empty: nothing

    QTest::newRow("empty") << QByteArray() << u"WARSAW"_s << codeNotFound << QString();
    QTest::newRow("only line ends") << QByteArray("\r\n\r\r\n\n\n") << QString() << codeNotFound << QString();
    QTest::newRow("only NUL bytes") << QByteArray(4096, '\0') << u"WARSAW"_s << codeNotFound << QString();
    QTest::newRow("quote never closed") << QByteArray("\"EPWA War\r\nsaw, Chopin\r\n") << u"WARSAW, CHOPIN"_s
                                        << u"WARSAW, CHOPIN"_s << u"EPWA"_s;
    QTest::newRow("line of quotes") << QByteArray(999, '"') << u"WARSAW"_s << codeNotFound << QString();
    QTest::newRow("line of commas") << QByteArray(999, ',') << u"WARSAW"_s << codeNotFound << QString();
}

void TestSearch::hostileList()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, nameKey);
    QFETCH(QString, name);
    QFETCH(QString, code);
    QVERIFY(writeFile(list(), bytes));
    Lookup lookup(list());

    MemoryBox codeIn(u"EPWA"_s);
    MemoryBox nameOut;
    lookup.searchCode(codeIn, nameOut);
    QCOMPARE(nameOut.text(), name);

    MemoryBox nameIn(nameKey);
    MemoryBox codeOut;
    lookup.searchName(nameIn, codeOut);
    QCOMPARE(codeOut.text(), code);
    QCOMPARE(nameIn.text(), code.isEmpty() ? nameNotFound : nameKey);
}

// One record of 100 MB with no line end: read in full, memory stays flat,
// and neither search finds anything.
void TestSearch::hugeSingleLine()
{
    {
        QFile file(list());
        QVERIFY(file.open(QIODevice::WriteOnly));
        const QByteArray chunk = QByteArray("0123456789").repeated(1 << 17);
        for (int i = 0; i < 80; ++i)
            QCOMPARE(file.write(chunk), chunk.size());
    }
    const long peakBefore = peakMemoryKiB();
    Lookup lookup(list());
    MemoryBox codeIn(u"0124"_s);
    MemoryBox nameOut;
    QCOMPARE(lookup.searchCode(codeIn, nameOut).status, SearchResult::Status::NotFound);
    QCOMPARE(nameOut.text(), codeNotFound);

    MemoryBox nameIn(u"567890123X"_s);
    MemoryBox codeOut;
    QCOMPARE(lookup.searchName(nameIn, codeOut).status, SearchResult::Status::NotFound);
    QCOMPARE(nameIn.text(), nameNotFound);
    QVERIFY(peakMemoryKiB() - peakBefore < 32 * 1024);
    QVERIFY(QFile::remove(list()));
}

QTEST_GUILESS_MAIN(TestSearch)
#include "tst_search.moc"
