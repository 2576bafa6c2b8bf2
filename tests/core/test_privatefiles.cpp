#include "core/outputfile.h"
#include "core/privatefiles.h"
#include "core/settings.h"
#include "support/temphome.h"

#include <QThread>
#include <QtTest>

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
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        reader.reset(QThread::create([&] {
            QFile f(path);
            if (f.open(QIODevice::ReadOnly))
                received = f.readAll();
        }));
        reader->start();
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
    QVERIFY(writeOutputFile(path, "new", nullptr, true));
    QCOMPARE(home.readFile(u"export.mdb"_s), QByteArray("new"));
    QCOMPARE(modeOf(path), 0600);
    QVERIFY(writeOutputFile(home.file(u"fresh.mdb"_s), "data", nullptr, true));
    QCOMPARE(modeOf(home.file(u"fresh.mdb"_s)), 0600);
    QCOMPARE(QDir(home.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
}

void TestPrivateFiles::folderIsRefused() {
    test::TempHome home;
    QString error;
    QVERIFY(!writeOutputFile(home.path(), "x", &error));
    QVERIFY(error.contains(u"folder"_s));
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
