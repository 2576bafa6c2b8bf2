#include "platform/outputfile.h"
#include "platform/privatefiles.h"
#include "core/settings.h"
#include "support/temphome.h"

#include <QThread>
#include <QtTest>

#include <csignal>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>

using namespace orlu;
using namespace Qt::StringLiterals;

namespace {

int modeOf(const QString &path) {
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 07777) : -1;
}

void setMode(const QString &path, int mode) {
    QCOMPARE(::chmod(QFile::encodeName(path).constData(), mode_t(mode)), 0);
}

// A pipe at `path` and a thread reading it whole into `received`; null when no pipe could be made.
std::unique_ptr<QThread> readFromNewPipe(const QString &path, QByteArray *received) {
    if (::mkfifo(QFile::encodeName(path).constData(), 0600) != 0)
        return nullptr;
    std::unique_ptr<QThread> reader(QThread::create([path, received] {
        QFile f(path);
        if (f.open(QIODevice::ReadOnly))
            *received = f.readAll();
    }));
    reader->start();
    return reader;
}

// Every entry of a folder (links not followed) with its kind, mode and content.
QMap<QString, QByteArray> folderState(const QString &folder) {
    QMap<QString, QByteArray> state;
    const QDir dir(folder);
    for (const QString &name :
         dir.entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot)) {
        const QFileInfo info(dir.filePath(name));
        struct stat st {};
        ::lstat(QFile::encodeName(info.filePath()).constData(), &st);
        QByteArray entry = QByteArray::number(st.st_mode, 8) + ' ' + info.symLinkTarget().toUtf8();
        if (S_ISREG(st.st_mode)) {
            QFile f(info.filePath());
            if (f.open(QIODevice::ReadOnly))
                entry += ' ' + f.readAll();
        }
        state.insert(name, entry);
    }
    return state;
}

// Limits the size of files this process writes, as a full medium would.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &m_previous);
        m_handler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_previous;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &m_previous);
        std::signal(SIGXFSZ, m_handler);
    }

private:
    rlimit m_previous{};
    void (*m_handler)(int);
};

// Whether files in `folder` can be written past the page cache.
bool bypassesCache(const QString &folder) {
    const QByteArray probe = QFile::encodeName(folder + u"direct.probe"_s);
    const int fd = ::open(probe.constData(), O_WRONLY | O_CREAT | O_EXCL | O_DIRECT | O_CLOEXEC, 0600);
    alignas(4096) static const char block[4096] = {};
    const bool written = fd >= 0 && ::write(fd, block, 4096) == 4096;
    ::close(fd);
    ::unlink(probe.constData());
    return written;
}

} // namespace

class TestPrivateFiles : public QObject {
    Q_OBJECT
private slots:
    void makePrivateKeepsStricterModes_data();
    void makePrivateKeepsStricterModes();
    void programFolderIsCreatedPrivate();
    void settingsFileIsPrivate_data();
    void settingsFileIsPrivate();
    void specialFilesAreWrittenInPlace_data();
    void specialFilesAreWrittenInPlace();
    void regularFilesAreReplacedWhole();
    void folderIsRefused();
    void outputWriterIsExclusiveAndPrivate_data();
    void outputWriterIsExclusiveAndPrivate();
    void temporaryIsNewExclusiveAndPrivate_data();
    void temporaryIsNewExclusiveAndPrivate();
    void bulkOutputArrivesWhole_data();
    void bulkOutputArrivesWhole();
    void staleTemporariesAreRemoved();
    void settingsPipeDoesNotHangTheStart();
};

void TestPrivateFiles::makePrivateKeepsStricterModes_data() {
    QTest::addColumn<int>("before");
    QTest::addColumn<int>("after");
    QTest::newRow("world-readable template") << 0644 << 0600;
    QTest::newRow("everyone writes") << 0666 << 0600;
    QTest::newRow("executable") << 0755 << 0600;
    QTest::newRow("owner read-only stays") << 0400 << 0400;
    QTest::newRow("already private") << 0600 << 0600;
}

void TestPrivateFiles::makePrivateKeepsStricterModes() {
    QFETCH(int, before);
    QFETCH(int, after);
    test::TempHome home;
    home.writeFile(u"orlu4.mdb"_s, "x");
    setMode(home.file(u"orlu4.mdb"_s), before);
    QVERIFY(makePrivate(home.file(u"orlu4.mdb"_s)));
    QCOMPARE(modeOf(home.file(u"orlu4.mdb"_s)), after);
}

void TestPrivateFiles::programFolderIsCreatedPrivate() {
    test::TempHome home;
    const QString folder = home.file(u"share/quorix/orlu/"_s);
    QVERIFY(createPrivateFolder(folder));
    QCOMPARE(modeOf(folder), 0700);
    // An existing folder is the administrator's choice.
    setMode(folder, 0750);
    QVERIFY(createPrivateFolder(folder));
    QCOMPARE(modeOf(folder), 0750);
}

void TestPrivateFiles::settingsFileIsPrivate_data() {
    QTest::addColumn<int>("before"); // -1: no file yet
    QTest::addColumn<int>("after");
    QTest::newRow("new file") << -1 << 0600;
    QTest::newRow("world-readable file") << 0644 << 0600;
    QTest::newRow("group-readable file") << 0640 << 0600;
}

void TestPrivateFiles::settingsFileIsPrivate() {
    QFETCH(int, before);
    QFETCH(int, after);
    test::TempHome home;
    const QString path = home.file(settingsFileName());
    if (before >= 0) {
        home.writeFile(settingsFileName(), "4000\r\n");
        setMode(path, before);
    }
    QString error;
    QVERIFY2(saveSettings(path, defaultSettings(QDate(2026, 12, 9)), &error), qPrintable(error));
    QCOMPARE(modeOf(path), after);
}

void TestPrivateFiles::specialFilesAreWrittenInPlace_data() {
    QTest::addColumn<QString>("kind");
    QTest::newRow("pipe") << u"fifo"_s;
    QTest::newRow("null device") << u"/dev/null"_s;
}

void TestPrivateFiles::specialFilesAreWrittenInPlace() {
    QFETCH(QString, kind);
    test::TempHome home;
    QString path = kind;
    QByteArray received;
    std::unique_ptr<QThread> reader;
    if (kind == u"fifo"_s) {
        path = home.file(u"chart.png"_s);
        reader = readFromNewPipe(path, &received);
        QVERIFY(reader);
    }
    QString error;
    QVERIFY2(writeOutputFile(path, "chart bytes", &error), qPrintable(error));
    if (reader) {
        QVERIFY(reader->wait(5000));
        QCOMPARE(received, QByteArray("chart bytes"));
        QCOMPARE(pathKind(path), PathKind::Fifo);
    } else {
        QCOMPARE(pathKind(path), PathKind::CharDevice);
    }
    // Nothing was put beside it.
    QCOMPARE(QDir(home.path())
                 .entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot | QDir::Hidden)
                 .size(),
             kind == u"fifo"_s ? 1 : 0);
}

void TestPrivateFiles::regularFilesAreReplacedWhole() {
    test::TempHome home;
    const QString path = home.file(u"export.mdb"_s);
    home.writeFile(u"export.mdb"_s, "old");
    setMode(path, 0644);
    QVERIFY(writeOutputFile(path, "new"));
    QCOMPARE(home.readFile(u"export.mdb"_s), QByteArray("new"));
    QCOMPARE(modeOf(path), 0644); // the operator's file keeps the mode it was given
    QVERIFY(writeOutputFile(home.file(u"fresh.mdb"_s), "data"));
    QCOMPARE(modeOf(home.file(u"fresh.mdb"_s)), 0600);
    QCOMPARE(QDir(home.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
}

void TestPrivateFiles::folderIsRefused() {
    test::TempHome home;
    QString error;
    QVERIFY(!writeOutputFile(home.path(), "x", &error));
    QVERIFY(error.contains(u"folder"_s));
}

void TestPrivateFiles::outputWriterIsExclusiveAndPrivate_data() {
    QTest::addColumn<QString>("planted"); // what is at (or beside) the output's name
    QTest::addColumn<int>("umask");
    QTest::addColumn<bool>("written");
    QTest::addColumn<int>("mode"); // of out.bin afterwards, -1: not a regular file
    struct Row {
        const char *planted;
        bool written;
        int mode;
    };
    const Row rows[] = {
        {"nothing", true, 0600},
        {"file 0640", true, 0640},
        {"link to victim", false, -1},
        {"dangling link", false, -1},
        {"link at temporary names", true, 0600},
        {"stale temporary", true, 0600},
        {"fifo", true, -1},
        {"link to null device", true, -1},
        {"folder", false, -1},
        {"unwritable folder", false, -1},
        {"file-size limit", false, 0640},
    };
    for (const int mask : {022, 0}) {
        for (const Row &row : rows)
            QTest::addRow("%s, umask %03o", row.planted, mask)
                << QString::fromLatin1(row.planted) << mask << row.written << row.mode;
    }
}

void TestPrivateFiles::outputWriterIsExclusiveAndPrivate() {
    QFETCH(QString, planted);
    QFETCH(int, umask);
    QFETCH(bool, written);
    QFETCH(int, mode);
    test::TempHome home;
    const QString folder = home.file(u"out/"_s);
    QVERIFY(QDir().mkpath(folder));
    const QString path = folder + u"out.bin"_s;
    const QString victim = home.file(u"victim.mdb"_s);
    home.writeFile(u"victim.mdb"_s, "the operator's own file");
    setMode(victim, 0600);
    auto link = [](const QString &target, const QString &at) {
        QCOMPARE(::symlink(QFile::encodeName(target).constData(), QFile::encodeName(at).constData()), 0);
    };
    QByteArray received;
    std::unique_ptr<QThread> reader;
    std::unique_ptr<FileSizeLimit> limit;
    if (planted == u"file 0640"_s || planted == u"file-size limit"_s) {
        home.writeFile(u"out/out.bin"_s, "old");
        setMode(path, 0640);
        if (planted == u"file-size limit"_s)
            limit = std::make_unique<FileSizeLimit>(4096);
    } else if (planted == u"link to victim"_s) {
        link(victim, path);
    } else if (planted == u"dangling link"_s) {
        link(home.file(u"absent.mdb"_s), path);
    } else if (planted == u"link at temporary names"_s) {
        link(victim, path + u".part"_s);
        link(victim, folder + u".out.bin.AAAAAA.part"_s);
    } else if (planted == u"stale temporary"_s) {
        home.writeFile(u"out/.out.bin.Zz0123.part"_s, "left by a killed run");
    } else if (planted == u"fifo"_s) {
        reader = readFromNewPipe(path, &received);
        QVERIFY(reader);
    } else if (planted == u"link to null device"_s) {
        link(u"/dev/null"_s, path);
    } else if (planted == u"folder"_s) {
        QVERIFY(QDir().mkdir(path));
    } else if (planted == u"unwritable folder"_s) {
        if (::geteuid() == 0)
            QSKIP("the administrator writes into any folder");
        setMode(folder, 0500);
    }
    const QMap<QString, QByteArray> before = folderState(folder);
    const QByteArray victimBefore = home.readFile(u"victim.mdb"_s);
    const mode_t previousMask = ::umask(mode_t(umask));
    QString error;
    const QByteArray data(planted == u"file-size limit"_s ? 64 * 1024 : 10, 'x');
    const bool ok = writeOutputFile(path, data, &error);
    ::umask(previousMask);
    limit.reset();
    if (reader)
        QVERIFY(reader->wait(5000));
    setMode(folder, 0700);
    QCOMPARE(ok, written);
    QVERIFY2(written || error.contains(path), qPrintable(error));
    if (planted == u"file-size limit"_s)
        QVERIFY2(error.contains(u"too large"_s), qPrintable(error));
    QCOMPARE(home.readFile(u"victim.mdb"_s), victimBefore);
    QCOMPARE(modeOf(victim), 0600);
    if (reader)
        QCOMPARE(received, data);
    if (mode >= 0) {
        QCOMPARE(modeOf(path), mode);
        QCOMPARE(home.readFile(u"out/out.bin"_s), written ? data : QByteArray("old"));
    }
    // Nothing else in the folder changed and no temporary is left.
    QMap<QString, QByteArray> after = folderState(folder);
    QMap<QString, QByteArray> expected = before;
    expected.remove(u".out.bin.Zz0123.part"_s);
    if (written && mode >= 0)
        expected.insert(u"out.bin"_s, after.value(u"out.bin"_s));
    QCOMPARE(after, expected);
}

void TestPrivateFiles::temporaryIsNewExclusiveAndPrivate_data() {
    QTest::addColumn<QString>("planted"); // at the temporary's name
    for (const char *planted : {"nothing", "victim.mdb", "absent.mdb", "running writer's temporary"})
        QTest::newRow(planted) << QString::fromLatin1(planted);
}

// With the temporary's name fixed, whatever stands at it is met every time: the writer never
// opens a file through a link or takes one over from another writer, and what it creates is
// 0600 from the start, whatever the umask.
void TestPrivateFiles::temporaryIsNewExclusiveAndPrivate() {
    QFETCH(QString, planted);
    test::TempHome home;
    const QString temporary = home.file(u".out.bin.Fixed0.part"_s);
    home.writeFile(u"victim.mdb"_s, "the operator's own file");
    QFile writer(temporary);
    if (planted.endsWith(u".mdb"_s)) { // a link to it
        QCOMPARE(::symlink(QFile::encodeName(home.file(planted)).constData(),
                           QFile::encodeName(temporary).constData()),
                 0);
    } else if (planted != u"nothing"_s) {
        home.writeFile(u".out.bin.Fixed0.part"_s, "half written");
        QVERIFY(writer.open(QIODevice::ReadOnly));
        QCOMPARE(::flock(writer.handle(), LOCK_EX), 0);
    }
    const QMap<QString, QByteArray> before = folderState(home.path());
    const mode_t previousMask = ::umask(0);
    OutputFile out(home.file(u"out.bin"_s));
    out.setTemporaryTag([] { return u"Fixed0"_s; });
    const bool opened = out.open();
    ::umask(previousMask);
    QCOMPARE(opened, planted == u"nothing"_s);
    if (!opened) {
        QCOMPARE(out.errorCode(), EEXIST);
        QCOMPARE(folderState(home.path()), before);
        return;
    }
    out.device().write("partial");
    QVERIFY(folderState(home.path())[u".out.bin.Fixed0.part"_s].startsWith("100600 ")); // regular, 0600
    QVERIFY(out.commit());
    QCOMPARE(home.readFile(u"out.bin"_s), QByteArray("partial"));
    QVERIFY(!QFileInfo::exists(temporary));
}

void TestPrivateFiles::bulkOutputArrivesWhole_data() {
    QTest::addColumn<int>("bytes");
    QTest::addColumn<int>("sizeLimit"); // 0: none
    const int block = 8 << 20;          // what the writer gathers before it writes
    QTest::newRow("empty") << 0 << 0;
    QTest::newRow("a byte") << 1 << 0;
    QTest::newRow("one page") << 4096 << 0;
    QTest::newRow("a block exactly") << block << 0;
    QTest::newRow("two blocks and a tail") << 2 * block + 4097 << 0;
    QTest::newRow("over the file-size limit") << block + 10 << 64 * 1024;
}

// Written in pieces that never line up with a page, to a disk that takes them past the
// page cache where it can: the file holds every byte, or the failure is reported.
void TestPrivateFiles::bulkOutputArrivesWhole() {
    QFETCH(int, bytes);
    QFETCH(int, sizeLimit);
    test::TempHome home;
    const QString path = home.file(u"export.json"_s);
    QByteArray data(bytes, Qt::Uninitialized);
    for (int i = 0; i < bytes; ++i)
        data[i] = char('a' + (i * 7 + i / 4096) % 26);
    OutputFile out(path, OutputFile::Volume::Bulk);
    QVERIFY(out.open());
    std::unique_ptr<FileSizeLimit> limit;
    if (sizeLimit > 0)
        limit = std::make_unique<FileSizeLimit>(rlim_t(sizeLimit));
    for (int at = 0; at < bytes; at += 7919)
        out.device().write(data.constData() + at, std::min(7919, bytes - at));
    // Whole blocks went past the page cache exactly where the file system allows it.
    if (sizeLimit == 0)
        QCOMPARE((::fcntl(out.handle(), F_GETFL) & O_DIRECT) != 0, bypassesCache(home.path()));
    QString error;
    const bool committed = out.commit(&error);
    limit.reset();
    QCOMPARE(committed, sizeLimit == 0);
    if (!committed) {
        QVERIFY2(error.contains(u"too large"_s), qPrintable(error));
        QVERIFY(!QFile::exists(path));
    } else {
        QCOMPARE(home.readFile(u"export.json"_s), data);
        QCOMPARE(modeOf(path), 0600);
    }
    QCOMPARE(QDir(home.path()).entryList(QDir::Files | QDir::Hidden).size(), committed ? 1 : 0);
}

void TestPrivateFiles::staleTemporariesAreRemoved() {
    test::TempHome home;
    const QString path = home.file(u"KyTran.mdb"_s);
    home.writeFile(u"KyTran.mdb.part"_s, "old run");
    home.writeFile(u".KyTran.mdb.Ab12Cd.part"_s, "killed run");
    home.writeFile(u".KyTran.mdb.busy00.part"_s, "running writer");
    home.writeFile(u".other.mdb.Ab12Cd.part"_s, "another file's");
    QFile busy(home.file(u".KyTran.mdb.busy00.part"_s));
    QVERIFY(busy.open(QIODevice::ReadOnly));
    QCOMPARE(::flock(busy.handle(), LOCK_EX), 0);
    QCOMPARE(removeStaleTemporaries(path), 2);
    QCOMPARE(QDir(home.path()).entryList(QDir::Files | QDir::Hidden),
             QStringList({u".KyTran.mdb.busy00.part"_s, u".other.mdb.Ab12Cd.part"_s}));
}

void TestPrivateFiles::settingsPipeDoesNotHangTheStart() {
    test::TempHome home;
    const QString path = home.file(settingsFileName());
    QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    QString error;
    const Settings s = loadOrCreateSettings(path, QDate(2026, 12, 9), &error);
    QVERIFY(error.contains(path));
    QCOMPARE(s, defaultSettings(QDate(2026, 12, 9)));
    QVERIFY(!saveSettings(path, s, &error));
    QCOMPARE(pathKind(path), PathKind::Fifo);
}

QTEST_GUILESS_MAIN(TestPrivateFiles)
#include "test_privatefiles.moc"
