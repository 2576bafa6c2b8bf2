#include "platform/launch.h"

#include "support/recordinglaunchport.h"

#include <QtTest>

using namespace orlu;
using namespace Qt::StringLiterals;
using Started = test::RecordingLaunchPort::Started;

Q_DECLARE_METATYPE(Started)

class TestLaunch : public QObject {
    Q_OBJECT
private slots:
    void launch_data();
    void launch();
    void searchTriesEveryDriveOnceInOrder();
    void reportsWhatCannotStart_data();
    void reportsWhatCannotStart();
    void unquotedPath_data();
    void unquotedPath();
};

void TestLaunch::launch_data() {
    QTest::addColumn<QString>("program");
    QTest::addColumn<QString>("parameter");
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QList<Started>>("started");
    QTest::addColumn<QStringList>("opened");

    const auto start = [](const QString &p, const QString &a = {}) { return QList<Started>{{p, a}}; };
    const QList<Started> none;

    QTest::newRow("program missing on D, present on F")
        << u"D:\\Tools\\app.exe"_s << QString() << QStringList{u"F:\\Tools\\app.exe"_s}
        << start(u"F:\\Tools\\app.exe"_s) << QStringList();
    QTest::newRow("program present where typed")
        << u"D:\\Tools\\app.exe"_s << QString()
        << QStringList{u"D:\\Tools\\app.exe"_s, u"C:\\Tools\\app.exe"_s} << start(u"D:\\Tools\\app.exe"_s)
        << QStringList();
    QTest::newRow("program on no drive starts nothing")
        << u"D:\\Tools\\app.exe"_s << u"https://x.example"_s << QStringList() << none << QStringList();
    QTest::newRow("drive C is tried first")
        << u"Z:\\a.exe"_s << QString() << QStringList{u"E:\\a.exe"_s, u"C:\\a.exe"_s} << start(u"C:\\a.exe"_s)
        << QStringList();
    QTest::newRow("drive R is not searched")
        << u"D:\\a.exe"_s << QString() << QStringList{u"R:\\a.exe"_s} << none << QStringList();
    QTest::newRow("quoted program found on G")
        << u"\"D:\\Program Files\\x.exe\""_s << u"-f"_s << QStringList{u"G:\\Program Files\\x.exe"_s}
        << start(u"\"G:\\Program Files\\x.exe\""_s, u"-f"_s) << QStringList();
    QTest::newRow("quoted program present where typed")
        << u"\"D:\\Program Files\\x.exe\""_s << QString() << QStringList{u"D:\\Program Files\\x.exe"_s}
        << start(u"\"D:\\Program Files\\x.exe\""_s) << QStringList();
    QTest::newRow("bare program name passes unchanged")
        << u"wmplayer.exe"_s << QString() << QStringList() << start(u"wmplayer.exe"_s) << QStringList();
    QTest::newRow("blanks around texts are trimmed")
        << u"  winword.exe "_s << u" letter.doc  "_s << QStringList()
        << start(u"winword.exe"_s, u"letter.doc"_s) << QStringList();
    QTest::newRow("parameter found on another drive")
        << u"C:\\p.exe"_s << u"D:\\film.mpg"_s << QStringList{u"C:\\p.exe"_s, u"H:\\film.mpg"_s}
        << start(u"C:\\p.exe"_s, u"H:\\film.mpg"_s) << QStringList();
    QTest::newRow("parameter on no drive goes as typed")
        << u"C:\\p.exe"_s << u"D:\\film.mpg"_s << QStringList{u"C:\\p.exe"_s}
        << start(u"C:\\p.exe"_s, u"D:\\film.mpg"_s) << QStringList();
    QTest::newRow("parameter with a colon in place 3 that is no path")
        << u"tool"_s << u"-x:y"_s << QStringList() << start(u"tool"_s, u"-x:y"_s) << QStringList();
    QTest::newRow("command line passes unchanged")
        << u"player"_s << u"--full \"D:\\a b.mpg\""_s << QStringList()
        << start(u"player"_s, u"--full \"D:\\a b.mpg\""_s) << QStringList();
    QTest::newRow("empty program opens the document")
        << QString() << u"C:\\docs\\report.doc"_s << QStringList{u"C:\\docs\\report.doc"_s} << none
        << QStringList{u"C:\\docs\\report.doc"_s};
    QTest::newRow("document found on E")
        << QString() << u"D:\\docs\\report.doc"_s << QStringList{u"E:\\docs\\report.doc"_s} << none
        << QStringList{u"E:\\docs\\report.doc"_s};
    QTest::newRow("document on no drive opens as typed")
        << QString() << u"D:\\report.doc"_s << QStringList() << none << QStringList{u"D:\\report.doc"_s};
    QTest::newRow("web address") << QString() << u"https://www.quorix.example/orlu"_s << QStringList() << none
                                 << QStringList{u"https://www.quorix.example/orlu"_s};
    QTest::newRow("blank program opens the parameter")
        << u"   "_s << u"www.example.org"_s << QStringList() << none << QStringList{u"www.example.org"_s};
    QTest::newRow("nothing set up") << QString() << u"  "_s << QStringList() << none << QStringList();
}

// The operator hears of a target that did not start; one that started is not reported.
void TestLaunch::reportsWhatCannotStart_data() {
    QTest::addColumn<QString>("program");
    QTest::addColumn<QString>("parameter");
    QTest::addColumn<bool>("systemRefuses");
    QTest::addColumn<QStringList>("reported");
    QTest::newRow("program on no drive")
        << u" D:\\a.exe"_s << QString() << false << QStringList{u"D:\\a.exe"_s};
    QTest::newRow("program the system cannot start")
        << u"wmplayer.exe"_s << QString() << true << QStringList{u"wmplayer.exe"_s};
    QTest::newRow("document nothing opens") << QString() << u"x.doc"_s << true << QStringList{u"x.doc"_s};
    QTest::newRow("program started") << u"wmplayer.exe"_s << QString() << false << QStringList();
    QTest::newRow("nothing set up") << QString() << QString() << true << QStringList();
}

void TestLaunch::reportsWhatCannotStart() {
    QFETCH(QString, program);
    QFETCH(QString, parameter);
    QFETCH(bool, systemRefuses);
    QFETCH(QStringList, reported);
    test::RecordingLaunchPort port;
    port.systemRefuses = systemRefuses;
    orlu::launch(port, program, parameter);
    QCOMPARE(port.failures, reported);
}

void TestLaunch::launch() {
    QFETCH(QString, program);
    QFETCH(QString, parameter);
    QFETCH(QStringList, files);
    QFETCH(QList<Started>, started);
    QFETCH(QStringList, opened);
    test::RecordingLaunchPort port;
    port.files = QSet<QString>(files.begin(), files.end());
    orlu::launch(port, program, parameter);
    QCOMPARE(port.programs.size(), started.size());
    for (qsizetype i = 0; i < started.size(); ++i) {
        QCOMPARE(port.programs.at(i).program, started.at(i).program);
        QCOMPARE(port.programs.at(i).parameters, started.at(i).parameters);
    }
    QCOMPARE(port.documents, opened);
}

void TestLaunch::searchTriesEveryDriveOnceInOrder() {
    test::RecordingLaunchPort port;
    orlu::launch(port, u"\"D:\\x.exe\""_s, QString());
    QStringList expected{u"D:\\x.exe"_s};
    for (QChar d : launchDriveLetters())
        expected << QString(d) + u":\\x.exe"_s;
    QCOMPARE(port.asked, expected);
    QCOMPARE(launchDriveLetters().size(), 15);
    QVERIFY(port.nothingLaunched());

    // A text without a drive letter asks nothing of the file system.
    port.asked.clear();
    orlu::launch(port, u"wmplayer.exe"_s, u"https://x.example"_s);
    QVERIFY(port.asked.isEmpty());
}

void TestLaunch::unquotedPath_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("path");
    QTest::newRow("plain") << u"C:\\a.exe"_s << u"C:\\a.exe"_s;
    QTest::newRow("quoted") << u"\"C:\\a b\\x.exe\""_s << u"C:\\a b\\x.exe"_s;
    QTest::newRow("opening quote only") << u"\"C:\\a.exe"_s << u"C:\\a.exe"_s;
    QTest::newRow("single quote character") << u"\""_s << QString();
    QTest::newRow("empty") << QString() << QString();
}

void TestLaunch::unquotedPath() {
    QFETCH(QString, text);
    QFETCH(QString, path);
    QCOMPARE(orlu::unquotedPath(text), path);
}

QTEST_GUILESS_MAIN(TestLaunch)
#include "test_launch.moc"
