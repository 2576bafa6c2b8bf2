#include "core/settings.h"

#include "core/daycount.h"
#include "support/temphome.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QStringEncoder>
#include <QtTest>

using namespace orlu;
using namespace Qt::StringLiterals;

namespace {

const QDate Today(2026, 12, 9);

QByteArray gbkFile(const QStringList &lines, const QByteArray &lineBreak = "\r\n") {
    QStringEncoder gbk("GBK");
    QByteArray out;
    for (const QString &l : lines)
        out += QByteArray(gbk.encode(l)) + lineBreak;
    return out;
}

// The lines of a complete file, with line `n` (1-based) replaced by `text`.
QStringList defaultLinesWith(int n, const QString &text) {
    QStringList lines = settingsToLines(defaultSettings(Today));
    lines[n - 1] = text;
    return lines;
}

QString fixture(const QString &name) {
    return qEnvironmentVariable("ORLU_TEST_DATA") + u"/fixtures/"_s + name;
}

QByteArray readAll(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestSettings : public QObject {
    Q_OBJECT
private slots:
    void lineRule_data();
    void lineRule();
    void newFileHoldsTheDefaults();
    void defaultsSurviveARoundTrip();
    void shortFileReadsMissingLinesAsEmpty();
    void extraLinesAreIgnored();
    void lineBreaks_data();
    void lineBreaks();
    void chineseRoundTrip_data();
    void chineseRoundTrip();
    void textsOutsideGbkDoNotShiftLines();
    void installationFileLoads();
    void brokenInput_data();
    void brokenInput();
    void randomBytes();
    void overlongLineKeepsTheLinesAfterIt();
    void invalidGbkStaysWithinItsLine();
    void realsFollowTheLocale();
    void unwritableFileKeepsOldContent_data();
    void unwritableFileKeepsOldContent();
    void endlessFileStops();
    void unreadableFileIsReported();
    void customButtonFlags_data();
    void customButtonFlags();
};

// Each line is loaded from a file and written back: the written text shows
// what the setting became.
void TestSettings::lineRule_data() {
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("written");

    QTest::newRow("calibration below 2000") << 1 << u"1500"_s << u"4000"_s;
    QTest::newRow("calibration at 2000") << 1 << u"2000"_s << u"2000"_s;
    QTest::newRow("calibration not a number") << 1 << u"abc"_s << u"4000"_s;
    QTest::newRow("calibration too large for an integer") << 1 << u"99999999999"_s << u"4000"_s;
    QTest::newRow("calibration in hex") << 1 << u"0x1000"_s << u"4000"_s;
    QTest::newRow("calibration blank") << 1 << QString() << u"4000"_s;
    QTest::newRow("high calibration below 2000") << 2 << u"1999"_s << u"4000"_s;
    QTest::newRow("high calibration") << 2 << u"5123"_s << u"5123"_s;
    QTest::newRow("print options blank") << 3 << u"  "_s << u"0111000000000000000"_s;
    QTest::newRow("print options of 20") << 3 << u"01110000000000000001"_s << u"01110000000000000001"_s;
    QTest::newRow("threshold not a number") << 4 << u"x"_s << u"1"_s;
    QTest::newRow("threshold fraction") << 4 << u"0.85"_s << u"0.85"_s;
    QTest::newRow("threshold trailing zero") << 4 << u"2.50"_s << u"2.5"_s;
    QTest::newRow("threshold exponent") << 4 << u"1e-3"_s << u"0.001"_s;
    QTest::newRow("threshold nan") << 4 << u"nan"_s << u"1"_s;
    QTest::newRow("threshold inf") << 4 << u"inf"_s << u"1"_s;
    QTest::newRow("calibration date blank") << 5 << u" "_s << shortDate(Today);
    QTest::newRow("calibration date kept") << 5 << u"2025/3/1"_s << u"2025/3/1"_s;
    QTest::newRow("high potential") << 6 << u"1"_s << u"1"_s;
    QTest::newRow("high potential trailing blank") << 6 << u"1 "_s << u"0"_s;
    QTest::newRow("high potential other text") << 6 << u"true"_s << u"0"_s;
    QTest::newRow("title blank") << 7 << u"   "_s << u"ORLU经络能量分析仪"_s;
    QTest::newRow("title kept untrimmed") << 7 << u" 仁和诊所 "_s << u" 仁和诊所 "_s;
    QTest::newRow("report title blank") << 8 << QString() << u"ORLU 经络能量分析仪分析报表"_s;
    QTest::newRow("user data 1 blank") << 9 << QString() << u"澄霁事业有限公司"_s;
    QTest::newRow("user data 2 blank") << 10 << u"\t"_s << u"vadadidur"_s;
    QTest::newRow("reserved flags blank") << 11 << QString() << u"11000"_s;
    QTest::newRow("reserved flags kept") << 11 << u"10101"_s << u"10101"_s;
    // The "on" default applies only to a new file; a blank line reads as off.
    QTest::newRow("locating sound blank") << 12 << QString() << u"0"_s;
    QTest::newRow("keep highest") << 13 << u"1"_s << u"1"_s;
    QTest::newRow("locating parameter not a number") << 14 << u"abc"_s << u"2"_s;
    QTest::newRow("locating parameter as read") << 14 << u"7"_s << u"7"_s;
    QTest::newRow("kept reading not a number") << 15 << u"--"_s << u"0"_s;
    QTest::newRow("kept reading") << 15 << u"123.5"_s << u"123.5"_s;
    QTest::newRow("locating high potential") << 16 << u"1"_s << u"1"_s;
    QTest::newRow("picture style not a number") << 17 << u"G"_s << u"1"_s;
    QTest::newRow("picture style") << 17 << u"3"_s << u"3"_s;
    QTest::newRow("button flags blank") << 18 << QString() << u"000000"_s;
    QTest::newRow("button flags blanks only") << 18 << u"      "_s << u"000000"_s;
    QTest::newRow("button flags with a letter") << 18 << u"1x1000"_s << u"1x1000"_s;
    QTest::newRow("hint untrimmed") << 19 << u"  网站  "_s << u"  网站  "_s;
    QTest::newRow("hint blank has no default") << 19 << QString() << QString();
    QTest::newRow("program as read") << 26 << u" C:\\a.exe"_s << u" C:\\a.exe"_s;
    QTest::newRow("last parameter") << 36 << u"D:\\x.doc"_s << u"D:\\x.doc"_s;
}

void TestSettings::lineRule() {
    QFETCH(int, line);
    QFETCH(QString, text);
    QFETCH(QString, written);
    const Settings s = settingsFromBytes(gbkFile(defaultLinesWith(line, text)), Today);
    const QStringList out = settingsToLines(s);
    QCOMPARE(out.size(), SettingsLineCount);
    QCOMPARE(out.at(line - 1), written);
}

void TestSettings::newFileHoldsTheDefaults() {
    test::TempHome home;
    const QString path = home.file(settingsFileName());
    QString error;
    const Settings s = loadOrCreateSettings(path, Today, &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QCOMPARE(s, defaultSettings(Today));

    const QByteArray bytes = home.readFile(settingsFileName());
    QList<QByteArray> lines = bytes.split('\n');
    QCOMPARE(lines.takeLast(), QByteArray());
    QCOMPARE(lines.size(), SettingsLineCount);
    for (const QByteArray &l : lines)
        QVERIFY(l.endsWith('\r'));
    QCOMPARE(lines.at(3), "1\r");
    QCOMPARE(QString::fromLatin1(lines.at(4).chopped(1)), shortDate(Today));
    QCOMPARE(lines.at(17), "111000\r");
    QCOMPARE(lines.at(24), "\r");
    QCOMPARE(lines.at(25), "wmplayer.exe\r");
    QCOMPARE(QString::fromLatin1(lines.at(30).chopped(1)), makerWebAddress());

    // A second start loads what the first one wrote.
    QCOMPARE(loadOrCreateSettings(path, Today.addDays(5), &error), s);
}

void TestSettings::defaultsSurviveARoundTrip() {
    const Settings s = defaultSettings(Today);
    QCOMPARE(settingsFromBytes(settingsToBytes(s), Today.addDays(1)), s);
}

void TestSettings::shortFileReadsMissingLinesAsEmpty() {
    const Settings s = settingsFromBytes(readAll(fixture(u"settings_truncated.ini"_s)), Today);
    QCOMPARE(s.standardCalibration, 3000);
    QCOMPARE(s.printOptions, u"0111"_s);
    QCOMPARE(s.measuringThreshold, 1.5);
    // The last line has no line break and still counts.
    QCOMPARE(s.lastCalibrationDate, u"2026/1/2"_s);
    QCOMPARE(s.title, u"ORLU经络能量分析仪"_s);
    QCOMPARE(s.locateSound, false);
    QCOMPARE(s.locateParameter, 2);
    QCOMPARE(s.customButtonFlags, u"000000"_s);
    QCOMPARE(s.custom[0], CustomLaunch());
    QCOMPARE(settingsToLines(s).size(), SettingsLineCount);
}

void TestSettings::extraLinesAreIgnored() {
    const Settings s = defaultSettings(Today);
    QStringList lines = settingsToLines(s);
    lines << u"37"_s << u"1500"_s << QString() << u"尾"_s;
    QCOMPARE(settingsFromBytes(gbkFile(lines), Today), s);
}

void TestSettings::lineBreaks_data() {
    QTest::addColumn<QByteArray>("lineBreak");
    QTest::newRow("CR LF") << QByteArray("\r\n");
    QTest::newRow("LF") << QByteArray("\n");
    QTest::newRow("CR") << QByteArray("\r");
}

void TestSettings::lineBreaks() {
    QFETCH(QByteArray, lineBreak);
    Settings s = defaultSettings(Today);
    s.title = u"诊所"_s;
    s.custom[5].parameter = u"最后一行"_s;
    QByteArray bytes = gbkFile(settingsToLines(s), lineBreak);
    QCOMPARE(settingsFromBytes(bytes, Today), s);
    bytes.chop(lineBreak.size());
    QCOMPARE(settingsFromBytes(bytes, Today), s);
}

void TestSettings::chineseRoundTrip_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("gbk");
    QTest::newRow("maker") << u"澄霁事业有限公司"_s
                           << QByteArray::fromHex("b3cef6abcac2d2b5d3d0cfdeb9abcbbe");
    QTest::newRow("mixed") << u"ORLU 经络能量分析仪分析报表"_s << QByteArray();
    QTest::newRow("full-width punctuation") << u"（北京）仁和：针灸科，二楼"_s << QByteArray::fromHex("a3a8");
    QTest::newRow("rare character") << u"朱镕基路"_s << QByteArray();
    QTest::newRow("euro sign") << u"€"_s << QByteArray::fromHex("80");
    QTest::newRow("path") << u"C:\\程序\\播放器.exe"_s << QByteArray();
}

void TestSettings::chineseRoundTrip() {
    QFETCH(QString, text);
    QFETCH(QByteArray, gbk);
    test::TempHome home;
    const QString path = home.file(settingsFileName());
    Settings s = defaultSettings(Today);
    s.title = text;
    s.userData2 = text;
    s.custom[3] = {text, text, text};
    QString error;
    QVERIFY2(saveSettings(path, s, &error), qPrintable(error));
    QCOMPARE(loadSettings(path, Today, &error), s);
    QVERIFY(error.isEmpty());
    if (!gbk.isEmpty())
        QVERIFY(home.readFile(settingsFileName()).contains(gbk));
}

void TestSettings::textsOutsideGbkDoNotShiftLines() {
    Settings s = defaultSettings(Today);
    s.title = u"诊所😀"_s;
    s.reportTitle = u"two\nlines"_s;
    const Settings back = settingsFromBytes(settingsToBytes(s), Today);
    QCOMPARE(back.title, u"诊所?"_s);
    QCOMPARE(back.reportTitle, u"two lines"_s);
    QCOMPARE(back.userData1, s.userData1);
    QCOMPARE(back.custom, s.custom);
}

void TestSettings::installationFileLoads() {
    QString error;
    const Settings s = loadSettings(fixture(u"settings_full_gbk.ini"_s), Today, &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QCOMPARE(s.standardCalibration, 5200);
    QCOMPARE(s.highCalibration, 4100);
    QCOMPARE(s.measuringThreshold, 0.85);
    QCOMPARE(s.highPotential, true);
    QCOMPARE(s.title, u"北京仁和中医诊所"_s);
    QCOMPARE(s.userData2, u"针灸科"_s);
    QCOMPARE(s.locateParameter, 5);
    QCOMPARE(s.locateHighestReading, 123.5);
    QCOMPARE(s.pointPictureStyle, 2);
    QCOMPARE(s.customButtonFlags, u"110100"_s);
    QCOMPARE(s.custom[1], (CustomLaunch{u"播放讲解影片"_s, u"\"D:\\Program Files\\Player\\player.exe\""_s,
                                        u"D:\\影片\\讲解.mpg"_s}));
    QCOMPARE(s.custom[3].program, u"C:\\工具\\编辑器.exe"_s);
    // Written again, the file is byte for byte what it was.
    QCOMPARE(settingsToBytes(s), readAll(fixture(u"settings_full_gbk.ini"_s)));
}

void TestSettings::brokenInput_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("binary file") << readAll(fixture(u"settings_binary.bin"_s));
    QTest::newRow("invalid GBK") << readAll(fixture(u"settings_invalid_gbk.ini"_s));
    QTest::newRow("empty file") << QByteArray();
    QTest::newRow("only NULs") << QByteArray(5000, '\0');
    QTest::newRow("one huge line") << QByteArray(3 * 1024 * 1024, '7');
    QTest::newRow("only line breaks") << QByteArray(100000, '\n');
    QTest::newRow("lead bytes only") << QByteArray(999, '\x81');
    const QDir corpus(fixture(u"settings_corpus"_s));
    for (const QString &name : corpus.entryList(QDir::Files))
        QTest::newRow(qPrintable(u"corpus "_s + name)) << readAll(corpus.filePath(name));
}

// Whatever the file holds, the settings come out complete and stable: writing
// what was read and reading it again gives the same settings.
static QString loadFault(const QByteArray &bytes) {
    const Settings once = settingsFromBytes(bytes, Today);
    const Settings twice = settingsFromBytes(settingsToBytes(once), Today);
    const Settings thrice = settingsFromBytes(settingsToBytes(twice), Today);
    if (!(thrice == twice))
        return u"not stable after a second save"_s;
    if (once.standardCalibration < 2000 || once.highCalibration < 2000)
        return u"calibration below 2000"_s;
    if (once.title.trimmed().isEmpty() || once.customButtonFlags.trimmed().isEmpty())
        return u"blank text without its default"_s;
    if (settingsToLines(once).size() != SettingsLineCount)
        return u"not 36 lines"_s;
    return {};
}

void TestSettings::brokenInput() {
    QFETCH(QByteArray, bytes);
    const QString fault = loadFault(bytes);
    QVERIFY2(fault.isEmpty(), qPrintable(fault));
}

// Random files biased towards what the reader cares about: line breaks, digits,
// blanks and GBK lead bytes.
void TestSettings::randomBytes() {
    QRandomGenerator rng(20261209);
    const char favoured[] = {'\r', '\n', '0', '1', '5', '.', ' ', '\x81', '\xb3', '\xfe', '\xff', '\0'};
    for (int round = 0; round < 3000; ++round) {
        QByteArray bytes(rng.bounded(1, 2048), Qt::Uninitialized);
        for (char &b : bytes)
            b = rng.bounded(3) == 0 ? favoured[rng.bounded(int(sizeof favoured))] : char(rng.bounded(256));
        const QString fault = loadFault(bytes);
        if (!fault.isEmpty())
            QFAIL(qPrintable(fault + u" for "_s + QString::fromLatin1(bytes.toHex())));
    }
}

void TestSettings::overlongLineKeepsTheLinesAfterIt() {
    QStringList lines = defaultLinesWith(7, QString(100000, u'名'));
    const Settings s = settingsFromBytes(gbkFile(lines), Today);
    QCOMPARE(s.title, QString(MaxSettingsLineBytes / 2, u'名'));
    QCOMPARE(s.reportTitle, u"ORLU 经络能量分析仪分析报表"_s);
    QCOMPARE(s.custom[0].parameter, makerWebAddress());
}

void TestSettings::invalidGbkStaysWithinItsLine() {
    const Settings s = settingsFromBytes(readAll(fixture(u"settings_invalid_gbk.ini"_s)), Today);
    QCOMPARE(s.standardCalibration, 2500);
    QCOMPARE(s.highCalibration, 4000);
    // The lone lead byte of line 3 must not take the line break with it.
    QCOMPARE(s.printOptions, u"0111000000000000000"_s);
    QCOMPARE(s.measuringThreshold, 1.25);
    // "1" followed by a NUL is not "1".
    QCOMPARE(s.highPotential, false);
    QVERIFY(s.title.startsWith(u"澄"_s));
}

void TestSettings::realsFollowTheLocale() {
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    Settings s = defaultSettings(Today);
    s.measuringThreshold = 0.85;
    s.locateHighestReading = 1234.5;
    const QStringList lines = settingsToLines(s);
    const Settings fromComma = settingsFromBytes(settingsToBytes(s), Today);
    const Settings fromPoint = settingsFromBytes(gbkFile(defaultLinesWith(4, u"0.85"_s)), Today);
    QLocale::setDefault(previous);

    QCOMPARE(lines.at(3), u"0,85"_s);
    QCOMPARE(lines.at(14), u"1234,5"_s);
    QCOMPARE(fromComma.measuringThreshold, 0.85);
    QCOMPARE(fromComma.locateHighestReading, 1234.5);
    QCOMPARE(fromPoint.measuringThreshold, 0.85);
}

void TestSettings::unwritableFileKeepsOldContent_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("read-only file") << u"readonly"_s;
    QTest::newRow("a folder in the file's place") << u"folder"_s;
    QTest::newRow("missing program folder") << u"nofolder"_s;
}

void TestSettings::unwritableFileKeepsOldContent() {
    QFETCH(QString, how);
    test::TempHome home;
    QString path = home.file(settingsFileName());
    const QByteArray old = gbkFile(defaultLinesWith(7, u"旧标题"_s));
    if (how == u"readonly"_s) {
        home.writeFile(settingsFileName(), old);
        QVERIFY(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadGroup));
    } else if (how == u"folder"_s) {
        QVERIFY(QDir().mkpath(path));
    } else {
        path = home.file(u"gone/"_s + settingsFileName());
    }

    Settings s = defaultSettings(Today);
    s.title = u"新标题"_s;
    QString error;
    QVERIFY(!saveSettings(path, s, &error));
    QVERIFY2(error.contains(path) && error.contains(u"原有的设定档保持不变"_s), qPrintable(error));
    if (how == u"readonly"_s) {
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        QCOMPARE(home.readFile(settingsFileName()), old);
    }
    // No temporary file is left beside it.
    QCOMPARE(QDir(home.path()).entryList(QDir::Files | QDir::Hidden).size(), how == u"readonly"_s ? 1 : 0);
}

void TestSettings::endlessFileStops() {
    if (!QFile::exists(u"/dev/zero"_s))
        QSKIP("no endless file on this system");
    // A device in the settings file's place is refused at once with a message, never read.
    QString error;
    const Settings s = loadSettings(u"/dev/zero"_s, Today, &error);
    QVERIFY2(error.contains(u"/dev/zero"_s), qPrintable(error));
    QCOMPARE(s.standardCalibration, 4000);
    QCOMPARE(s.title, u"ORLU经络能量分析仪"_s);
}

void TestSettings::unreadableFileIsReported() {
    test::TempHome home;
    QString error;
    const Settings missing = loadSettings(home.file(u"nothing.ini"_s), Today, &error);
    QVERIFY(error.contains(u"nothing.ini"_s));
    QCOMPARE(missing, defaultSettings(Today));

    QVERIFY(QDir().mkpath(home.file(settingsFileName())));
    error.clear();
    loadOrCreateSettings(home.file(settingsFileName()), Today, &error);
    QVERIFY2(!error.isEmpty(), "a folder in place of the settings file must be reported");
}

void TestSettings::customButtonFlags_data() {
    QTest::addColumn<QString>("flags");
    QTest::addColumn<QString>("visible");
    QTest::addColumn<QString>("ticked");
    QTest::newRow("two buttons") << u"101000"_s << u"101000"_s << u"101000"_s;
    QTest::newRow("letter shows but is not ticked") << u"1x1000"_s << u"111000"_s << u"101000"_s;
    QTest::newRow("all off") << u"000000"_s << u"000000"_s << u"000000"_s;
    QTest::newRow("short line") << u"0"_s << u"011111"_s << u"000000"_s;
    QTest::newRow("blanks") << u"1 1 1 "_s << u"111111"_s << u"101010"_s;
}

void TestSettings::customButtonFlags() {
    QFETCH(QString, flags);
    QFETCH(QString, visible);
    QFETCH(QString, ticked);
    QString v, t;
    for (int k = 1; k <= CustomButtonCount; ++k) {
        v += customButtonVisible(flags, k) ? u'1' : u'0';
        t += customButtonTicked(flags, k) ? u'1' : u'0';
    }
    QCOMPARE(v, visible);
    QCOMPARE(t, ticked);
}

QTEST_GUILESS_MAIN(TestSettings)
#include "test_settings.moc"
