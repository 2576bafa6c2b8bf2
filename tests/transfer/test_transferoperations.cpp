#include "quality/verdicts.h"
#include "transfer/transferoperations.h"
#include "storage/originrows.h"
#include "storage/qualityrows.h"

#include "transfer/transfercolumns.h"
#include "transfer/transferlock.h"

#include "recordfixture.h"
#include "transferfixture.h"
#include "writtenrows.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlQuery>
#include <QtTest>

#include <cerrno>
#include <sys/stat.h>

using namespace orlu;
using namespace orlu::test;
using namespace Qt::StringLiterals;

namespace {

// A medium that takes `room` bytes and then fails every write with `code`.
class FailingCopier final : public FileCopier {
public:
    FailingCopier(int code, qint64 room)
        : m_code(code)
        , m_room(room) {}

protected:
    ssize_t writeSome(int fd, const char *data, size_t size) override {
        if (m_room <= 0) {
            errno = m_code;
            return -1;
        }
        const size_t n = size_t(qMin<qint64>(m_room, qint64(size)));
        m_room -= qint64(n);
        return FileCopier::writeSome(fd, data, n);
    }

private:
    int m_code;
    qint64 m_room;
};

QVariantMap subjectRow(const QString &number, const QString &name) {
    return {{u"CUSTNO"_s, number},
            {u"NAME"_s, name},
            {u"SEX"_s, 1},
            {u"DBIRTH"_s, 30000.0},
            {u"ADDR"_s, u"台北市"_s}};
}

QVariantMap courseRow(const QString &number, const QString &name) {
    return {{u"ProNo"_s, number}, {u"ProName"_s, name}, {u"ProData"_s, u"说明"_s}};
}

QVariantMap conditionRow(const QString &number) {
    return {{u"ProNo"_s, number},
            {u"ProSubN"_s, u"条件"_s},
            {u"ProCond"_s, QString(24, u'1')},
            {u"ProAnd"_s, QString(24, u'0')},
            {u"ProAGL"_s, 20},
            {u"ProAGH"_s, 60},
            {u"ProFlg"_s, 1}};
}

int rowsOf(QSqlDatabase db, const QString &table) {
    QSqlQuery q(db);
    q.exec(u"SELECT count(*) FROM "_s + table);
    return q.next() ? q.value(0).toInt() : -1;
}

// The KYORIGIN row of a measurement as "zone|serial|hardware", empty without one.
QString originOf(QSqlDatabase db, qint64 key) {
    QSqlQuery q(db);
    q.prepare(u"SELECT TZ || '|' || PROBESN || '|' || PROBEHW FROM KYORIGIN WHERE MKEY = ?"_s);
    q.addBindValue(key);
    return q.exec() && q.next() ? q.value(0).toString() : QString();
}

QStringList texts(const TransferOutcome &o) {
    QStringList t;
    for (const TransferNotice &n : o.notices)
        t << n.text;
    return t;
}

} // namespace

class TestTransferOperations : public QObject {
    Q_OBJECT
private slots:
    void initTestCase_data() { addBackendRows(); }
    void init();
    void cleanup();

    void exportsOnlyTheChosenKind();
    void countsAreTheRowsWritten_data();
    void countsAreTheRowsWritten();
    void exportFailureSaysWhyAndLeavesNoFile_data();
    void exportFailureSaysWhyAndLeavesNoFile();
    void exportToReadOnlyFolder();
    void importWithoutTransferFile();
    void importedMeasurementsKeepEverythingButTheKey();
    void appendingTwiceDoublesTheRows();
    void qualityAndOriginTravelBothWays();
    void replaceWithEmptyCoursesKeepsThemAndSaysReplaced();
    void replaceBacksTheMainDatabaseUp();
    void failedBackupChangesNothing();
    void olderTransferFileWithoutColumnGroups();
    void refusedSourceChangesNothing_data();
    void refusedSourceChangesNothing();
    void faultPartWayChangesNothing();
    void importFromTheProgramFolderKeepsTheFile();
    void plantedNamesAreLeftAlone_data();
    void plantedNamesAreLeftAlone();
    void failureTextNamesTheCause_data();
    void failureTextNamesTheCause();
    void accessCoursesArriveValueForValue();
    void oneTransferAtATimePerFolder();
    void sourceInWriteAheadLogModeArrivesWhole();

private:
    std::unique_ptr<RecordFixture> m_main;
    std::unique_ptr<QTemporaryDir> m_outside;
    FileCopier m_copier;

    TransferOperations operations(FileCopier &copier) {
        return TransferOperations(m_main->database, ProgramFolder(m_main->home.path()), m_main->time, copier);
    }
    TransferOperations operations() { return operations(m_copier); }
    QString outside(const QString &name = u"KyTran.mdb"_s) const { return m_outside->filePath(name); }
    // A transfer file in the outside folder with one subject, two measurements and no courses.
    void makeTransferFile() {
        makeRegisterFile(outside());
        OpenFile f(outside());
        insertRow(f.db(), u"KYCUST"_s, subjectRow(u"N1"_s, u"新人"_s));
        insertRow(f.db(), u"KYDATA"_s, {{u"CUSTNO"_s, u"N1"_s}, {u"KYDATE"_s, 46000.5}, {u"KY3"_s, 12.5}});
        insertRow(f.db(), u"KYDATA"_s, {{u"CUSTNO"_s, u"N1"_s}, {u"KYDATE"_s, 46001.5}, {u"KY4"_s, 7.0}});
    }
};

void TestTransferOperations::init() {
    ORLU_USE_BACKEND_OF_ROW();
    m_main = std::make_unique<RecordFixture>();
    m_outside = std::make_unique<QTemporaryDir>();
    QSqlDatabase db = m_main->db();
    insertRow(db, u"KYCUST"_s, subjectRow(u"A1"_s, u"张三"_s));
    insertRow(db, u"KYCUST"_s, subjectRow(u"A2"_s, u"李四"_s));
    m_main->addMeasurement(u"A1"_s, 46100.25, 20.0, true, u"第一行\r\n第二行"_s);
    m_main->addMeasurement(u"A2"_s, 46101.75);
    m_main->addMeasurement(u"A2"_s, 46102.75);
    insertRow(db, u"KYPRO"_s, courseRow(u"C1"_s, u"疗程一"_s));
    insertRow(db, u"KYPRDT"_s, conditionRow(u"C1"_s));
}

void TestTransferOperations::cleanup() {
    m_main.reset();
    m_outside.reset();
}

void TestTransferOperations::exportsOnlyTheChosenKind() {
    const TransferOutcome o = operations().exportTo(m_outside->path() + u"  "_s, {false, true});
    QVERIFY2(o.ok, qPrintable(texts(o).join(u'\n')));
    QCOMPARE(texts(o), QStringList{u"资料汇出成功 !!"_s});
    QCOMPARE(o.notices.first().type, MessageType::NoteDone);
    QVERIFY(!QFile::exists(m_main->home.file(u"KyTran.mdb"_s))); // the working copy is gone
    QVERIFY(!QFile::exists(outside(u"KyTran.mdb.part"_s)));
    OpenFile f(outside());
    QCOMPARE(rowsOf(f.db(), u"KYCUST"_s), 2);
    QCOMPARE(rowsOf(f.db(), u"KYDATA"_s), 3);
    QCOMPARE(rowsOf(f.db(), u"KYPRO"_s), 0);
    QCOMPARE(rowsOf(f.db(), u"KYPRDT"_s), 0);
    QSqlQuery q(f.db());
    QVERIFY(q.exec(u"SELECT MEMO1, KYVOTA, KY1 FROM KYDATA WHERE CUSTNO = 'A1'"_s) && q.next());
    QCOMPARE(q.value(0).toString(), u"第一行\r\n第二行"_s);
    QCOMPARE(q.value(1).toInt(), 1);
    QCOMPARE(q.value(2).toDouble(), 20.1);
}

void TestTransferOperations::countsAreTheRowsWritten_data() {
    QTest::addColumn<bool>("exporting");
    QTest::addColumn<bool>("courses");
    QTest::addColumn<bool>("mediumFull");
    QTest::addColumn<QList<int>>("written"); // courses, subjects, measurements
    QTest::addColumn<QString>("summary");
    QTest::newRow("export records") << true << false << false << QList<int>{0, 2, 3}
                                    << u"已汇出: 受测者 2 位，检测记录 3 笔"_s;
    QTest::newRow("export both") << true << true << false << QList<int>{1, 2, 3}
                                 << u"已汇出: 专家疗程 1 个，受测者 2 位，检测记录 3 笔"_s;
    QTest::newRow("export, medium full") << true << true << true << QList<int>{0, 0, 0} << QString();
    // The transfer file holds no courses: that kind is skipped and writes nothing.
    QTest::newRow("import both") << false << true << false << QList<int>{0, 1, 2}
                                 << u"已汇入: 专家疗程 0 个，受测者 1 位，检测记录 2 笔"_s;
}

void TestTransferOperations::countsAreTheRowsWritten() {
    QFETCH(bool, exporting);
    QFETCH(bool, courses);
    QFETCH(bool, mediumFull);
    QFETCH(QList<int>, written);
    QFETCH(QString, summary);
    FailingCopier full(ENOSPC, 0);
    const TransferKinds kinds{courses, true};
    if (!exporting)
        makeTransferFile();
    const TransferOutcome o =
        exporting ? operations(mediumFull ? full : m_copier).exportTo(m_outside->path(), kinds)
                  : operations().importFrom(outside(), kinds, ImportMode::Append);
    QCOMPARE(o.ok, !mediumFull);
    QCOMPARE((QList<int>{int(o.counts.courses), int(o.counts.subjects), int(o.counts.measurements)}),
             written);
    if (o.ok)
        QCOMPARE(transferSummary(exporting ? TransferDirection::Export : TransferDirection::Import, kinds,
                                 o.counts),
                 summary);
}

void TestTransferOperations::exportFailureSaysWhyAndLeavesNoFile_data() {
    QTest::addColumn<int>("code");
    QTest::addColumn<qint64>("room");
    QTest::addColumn<QString>("text");
    const QString again = u" 请排除问题后重新汇出数据。"_s;
    QTest::newRow("disk full part-way") << ENOSPC << qint64(8192) << u"磁盘容量不足 !!"_s + again;
    QTest::newRow("quota") << EDQUOT << qint64(0) << u"磁盘容量不足 !!"_s + again;
    QTest::newRow("write-protected") << EROFS << qint64(0) << u"磁盘片写保护 !!"_s + again;
    QTest::newRow("read-only") << EACCES << qint64(0) << u"磁盘或档案是只读格式 !!"_s + again;
    QTest::newRow("not permitted") << EPERM << qint64(0) << u"磁盘或档案是只读格式 !!"_s + again;
    QTest::newRow("no medium") << ENOMEDIUM << qint64(0)
                               << u"磁盘驱动器尚未准备妥当，或没有磁盘 !!"_s + again;
    QTest::newRow("no device") << ENODEV << qint64(0) << u"磁盘驱动器尚未准备妥当，或没有磁盘 !!"_s + again;
    QTest::newRow("no such device") << ENXIO << qint64(0)
                                    << u"磁盘驱动器尚未准备妥当，或没有磁盘 !!"_s + again;
    QTest::newRow("device fault") << EIO << qint64(100) << u"无法读取指定装置，或磁盘格式化错误 !!"_s + again;
    QTest::newRow("file-size limit") << EFBIG << qint64(8192) << u"磁盘容量不足 !!"_s + again;
    QTest::newRow("other") << ETXTBSY << qint64(0)
                           << u"数据汇出错误 !! ErrorCode[%1]，"_s.arg(ETXTBSY) + again;
}

void TestTransferOperations::exportFailureSaysWhyAndLeavesNoFile() {
    QFETCH(int, code);
    QFETCH(qint64, room);
    QFETCH(QString, text);
    m_outside->setAutoRemove(true);
    QFile old(outside());
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("an older transfer file");
    old.close();
    FailingCopier copier(code, room);
    const TransferOutcome o = operations(copier).exportTo(m_outside->path(), {true, true});
    QVERIFY(!o.ok);
    QCOMPARE(o.notices.size(), 1);
    QCOMPARE(o.notices.first().tone, std::optional(AlertTone::Caution));
    QCOMPARE(o.notices.first().type, MessageType::NoteCaution);
    QCOMPARE(o.notices.first().text, text);
    QCOMPARE(QDir(m_outside->path()).entryList(QDir::Files), QStringList{});
    QVERIFY(!QFile::exists(m_main->home.file(u"KyTran.mdb"_s)));
}

void TestTransferOperations::exportToReadOnlyFolder() {
    if (geteuid() == 0)
        QSKIP("the superuser may write into any folder");
    QVERIFY(QFile::setPermissions(m_outside->path(), QFile::ReadOwner | QFile::ExeOwner));
    const TransferOutcome o = operations().exportTo(m_outside->path(), {true, true});
    QFile::setPermissions(m_outside->path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QVERIFY(!o.ok);
    QCOMPARE(texts(o), QStringList{u"磁盘或档案是只读格式 !! 请排除问题后重新汇出数据。"_s});
}

void TestTransferOperations::importWithoutTransferFile() {
    const QString before = registerDigest(m_main->db());
    const TransferOutcome o = operations().importFrom(outside(), {true, true}, ImportMode::Replace);
    QVERIFY(!o.ok);
    QCOMPARE(texts(o), QStringList{u"来源的档案数据不存在 !! 请排除问题后重新汇入数据。"_s});
    QCOMPARE(o.notices.first().tone, std::optional(AlertTone::Caution));
    QCOMPARE(registerDigest(m_main->db()), before);
}

void TestTransferOperations::importedMeasurementsKeepEverythingButTheKey() {
    makeRegisterFile(outside());
    QVariantMap measurement{{u"CUSTNO"_s, u"N1"_s}, {u"KYDATE"_s, 46000.123456789},
                            {u"KYVOTA"_s, 1},       {u"MEMO1"_s, u"备注\r\n第二行"_s},
                            {u"MEMO2"_s, u"m2"_s},  {u"AutoKey"_s, u"AK"_s},
                            {u"PrtFG"_s, 1},        {u"MKEY"_s, 500}};
    for (int c = 1; c <= 24; ++c)
        measurement.insert(u"KY%1"_s.arg(c), 100.0 / c);
    {
        OpenFile f(outside());
        insertRow(f.db(), u"KYDATA"_s, measurement);
        insertRow(f.db(), u"KYCUST"_s, subjectRow(u"N1"_s, u"新人"_s));
    }
    const TransferOutcome o = operations().importFrom(outside(), {false, true}, ImportMode::Append);
    QVERIFY2(o.ok, qPrintable(texts(o).join(u'\n')));
    QCOMPARE(texts(o), QStringList{u"数据汇入成功，数据已经附加 !!"_s});
    QVERIFY(o.backupFile.isEmpty());
    QSqlQuery q(m_main->db());
    QVERIFY(q.exec(u"SELECT * FROM KYDATA WHERE CUSTNO = 'N1'"_s) && q.next());
    for (auto it = measurement.cbegin(); it != measurement.cend(); ++it) {
        const QVariant stored = q.value(it.key());
        // A server gives flags as booleans.
        if (it.key() != u"MKEY"_s)
            QCOMPARE(stored.typeId() == QMetaType::Bool ? QString::number(stored.toInt()) : stored.toString(),
                     it.value().toString());
    }
    QCOMPARE(q.value(u"MKEY"_s).toLongLong(), 4); // after the three measurements of the main database
    QVERIFY(!q.next());
    QCOMPARE(rowsOf(m_main->db(), u"KYCUST"_s), 3);
    QCOMPARE(rowsOf(m_main->db(), u"KYPRO"_s), 1);
}

void TestTransferOperations::appendingTwiceDoublesTheRows() {
    makeTransferFile();
    for (int i = 0; i < 2; ++i)
        QVERIFY(operations().importFrom(outside(), {true, true}, ImportMode::Append).ok);
    QCOMPARE(rowsOf(m_main->db(), u"KYCUST"_s), 4);
    QCOMPARE(rowsOf(m_main->db(), u"KYDATA"_s), 7);
    QVERIFY(QFile::exists(outside())); // the transfer file itself is never touched
}

void TestTransferOperations::qualityAndOriginTravelBothWays() {
    MeasurementQuality quality{};
    quality[0] = PointQuality{.samples = 400, .mean = 812.5, .verdict = QualityVerdict::Steady};
    quality[13] =
        PointQuality{.samples = 401, .driftPercentPerSecond = -13.5, .verdict = QualityVerdict::Drifting};
    QVERIFY(writeQualityRows(m_main->db(), 2, quality)); // the first measurement of A2
    // Measured in another zone than this register's: the zone must travel with it.
    QVERIFY(writeOriginRow(m_main->db(), 2, {u"Asia/Tokyo"_s, u"SN-0042"_s, u"HID v3"_s}));
    const QString origin = u"Asia/Tokyo|SN-0042|HID v3"_s;
    QVERIFY(operations().exportTo(m_outside->path(), {false, true}).ok);
    {
        OpenFile f(outside());
        QCOMPARE(rowsOf(f.db(), u"KYQUAL"_s), 2);
        QCOMPARE(originOf(f.db(), 2), origin);
    }
    const TransferOutcome o = operations().importFrom(outside(), {false, true}, ImportMode::Append);
    QVERIFY2(o.ok, qPrintable(texts(o).join(u'\n')));
    // The copies are keys 4 to 6, in the order of the originals.
    const MeasurementQuality back = readQualityRows(m_main->db(), 5);
    QCOMPARE(qualitySummary(back), u"测量质量: 1/24 稳定；可疑: 左肝经 (漂移)"_s);
    QCOMPARE(back[13]->driftPercentPerSecond, -13.5);
    QCOMPARE(rowsOf(m_main->db(), u"KYQUAL"_s), 4);
    QCOMPARE(originOf(m_main->db(), 5), origin);
    QCOMPARE(rowsOf(m_main->db(), u"KYORIGIN"_s), 2);
    // Replacing the measurements replaces their side rows too.
    const TransferOutcome replaced = operations().importFrom(outside(), {false, true}, ImportMode::Replace);
    QVERIFY2(replaced.ok, qPrintable(texts(replaced).join(u'\n')));
    QCOMPARE(rowsOf(m_main->db(), u"KYQUAL"_s), 2);
    QCOMPARE(readQualityRows(m_main->db(), 8)[0]->mean, 812.5);
    QCOMPARE(rowsOf(m_main->db(), u"KYORIGIN"_s), 1);
    QCOMPARE(originOf(m_main->db(), 8), origin);
    // A file written before measurements had an origin carries none, but its quality still travels.
    makeTransferFile();
    {
        OpenFile f(outside());
        QVERIFY(writeQualityRows(f.db(), 2, quality));
        f.exec(u"DROP TABLE KYORIGIN"_s);
    }
    const TransferOutcome older = operations().importFrom(outside(), {false, true}, ImportMode::Append);
    QVERIFY2(older.ok, qPrintable(texts(older).join(u'\n')));
    QCOMPARE(rowsOf(m_main->db(), u"KYORIGIN"_s), 1);
    QCOMPARE(rowsOf(m_main->db(), u"KYQUAL"_s), 4);
    QCOMPARE(readQualityRows(m_main->db(), 11)[13]->driftPercentPerSecond, -13.5); // keys 10 and 11 came
}

void TestTransferOperations::replaceWithEmptyCoursesKeepsThemAndSaysReplaced() {
    makeTransferFile();
    const QString courses = tableDigest(m_main->db(), u"KYPRO"_s) + tableDigest(m_main->db(), u"KYPRDT"_s);
    const TransferOutcome o = operations().importFrom(outside(), {true, true}, ImportMode::Replace);
    QVERIFY2(o.ok, qPrintable(texts(o).join(u'\n')));
    QCOMPARE(o.notices.size(), 2);
    QCOMPARE(o.notices[0].tone, std::optional(AlertTone::Notice));
    QCOMPARE(o.notices[0].type, MessageType::NoteCaution);
    QCOMPARE(o.notices[0].text, u"来源的 [专家疗程] 数据是空的，将跳过汇入动作。"_s);
    QVERIFY(o.notices[1].text.startsWith(u"数据汇入成功，原有的数据已被取代 !!"_s));
    QCOMPARE(tableDigest(m_main->db(), u"KYPRO"_s) + tableDigest(m_main->db(), u"KYPRDT"_s), courses);
    QCOMPARE(rowsOf(m_main->db(), u"KYCUST"_s), 1);
    QCOMPARE(rowsOf(m_main->db(), u"KYDATA"_s), 2);
}

void TestTransferOperations::replaceBacksTheMainDatabaseUp() {
    makeTransferFile();
    const QString before = registerDigest(m_main->db());
    const TransferOutcome o = operations().importFrom(outside(), {false, true}, ImportMode::Replace);
    QVERIFY(o.ok);
    const QString expected =
        u"backups/orlu4-backup-"_s + m_main->time.now().toString(u"yyyyMMdd-HHmmss"_s) + u".mdb"_s;
    QCOMPARE(o.backupFile, expected);
    QVERIFY2(o.notices.last().text.endsWith(expected), qPrintable(o.notices.last().text));
    Database backup;
    QVERIFY(backup.open(m_main->home.file(expected), Database::Access::ReadOnly));
    QCOMPARE(registerDigest(backup.handle()), before);
}

void TestTransferOperations::failedBackupChangesNothing() {
    makeTransferFile();
    m_main->home.writeFile(u"backups"_s, "a file where the backups' folder would go");
    const QString before = registerDigest(m_main->db());
    const TransferOutcome o = operations().importFrom(outside(), {true, true}, ImportMode::Replace);
    QVERIFY(!o.ok);
    QCOMPARE(o.notices.size(), 1);
    QVERIFY2(o.notices.first().text.contains(u"数据未做任何变更"_s), qPrintable(o.notices.first().text));
    QCOMPARE(registerDigest(m_main->db()), before);
    QVERIFY(!QFile::exists(m_main->home.file(u"KyTran.mdb"_s)));
}

void TestTransferOperations::olderTransferFileWithoutColumnGroups() {
    {
        OpenFile f(outside());
        f.exec(u"CREATE TABLE KYCUST (CUSTNO TEXT, NAME TEXT, SEX BOOLEAN, DBIRTH REAL, ADDR TEXT, TEL TEXT, "
               u"TEL2 TEXT, TEL3 TEXT, EMAIL TEXT, MEMO TEXT, BTYPE TEXT, HEIGHT REAL, WEIGHT REAL, CUSTCAT "
               u"TEXT, "
               u"CUSTFG TEXT, PrtFG BOOLEAN)"_s);
        f.exec(u"CREATE TABLE KYDATA (CUSTNO TEXT, KYDATE REAL, KYVOTA BOOLEAN, MEMO1 TEXT, MEMO2 TEXT, "
               u"AutoKey TEXT, PrtFG BOOLEAN, KY1 REAL, KY2 REAL, KY3 REAL, KY4 REAL, KY5 REAL, KY6 REAL, "
               u"KY7 REAL, "
               u"KY8 REAL, KY9 REAL, KY10 REAL, KY11 REAL, KY12 REAL, KY13 REAL, KY14 REAL, KY15 REAL, KY16 "
               u"REAL, "
               u"KY17 REAL, KY18 REAL, KY19 REAL, KY20 REAL, KY21 REAL, KY22 REAL, KY23 REAL, KY24 REAL)"_s);
        // Courses of an older layout: launch buttons up to the second description only, no age bounds.
        f.exec(u"CREATE TABLE KYPRO (ProNo TEXT, ProName TEXT, ProData TEXT, ProPict BLOB, ProScal BOOLEAN, "
               u"ProFN TEXT, ProScrp1 TEXT, ProScrp2 TEXT, PrtFG BOOLEAN)"_s);
        f.exec(u"CREATE TABLE KYPRDT (ProNo TEXT, ProSubN TEXT, ProNote TEXT, ProCond TEXT, ProAnd TEXT, "
               u"ProAGL INTEGER, ProEng REAL, ProFlg BOOLEAN, PrtFG BOOLEAN)"_s);
        insertRow(f.db(), u"KYPRO"_s,
                  {{u"ProNo"_s, u"OLD"_s},
                   {u"ProName"_s, u"旧疗程"_s},
                   {u"ProPict"_s, QByteArray("BM\x01\x02", 4)},
                   {u"ProFN"_s, u"1100"_s},
                   {u"ProScrp1"_s, u"一"_s},
                   {u"ProScrp2"_s, u"二"_s},
                   {u"PrtFG"_s, 1}});
        insertRow(f.db(), u"KYPRDT"_s,
                  {{u"ProNo"_s, u"OLD"_s},
                   {u"ProSubN"_s, u"c"_s},
                   {u"ProAGL"_s, 30},
                   {u"ProEng"_s, 40.5},
                   {u"ProFlg"_s, 1},
                   {u"PrtFG"_s, 1}});
    }
    const TransferOutcome o = operations().importFrom(outside(), {true, false}, ImportMode::Append);
    QVERIFY2(o.ok, qPrintable(texts(o).join(u'\n')));
    QSqlQuery q(m_main->db());
    QVERIFY(q.exec(u"SELECT ProName, ProPict, ProFN, ProScrp2, ProScrp3, ProPrg1, PrtFG FROM KYPRO "
                   u"WHERE ProNo = 'OLD'"_s) &&
            q.next());
    QCOMPARE(q.value(0).toString(), u"旧疗程"_s);
    QCOMPARE(q.value(1).toByteArray(), QByteArray("BM\x01\x02", 4));
    QCOMPARE(q.value(2).toString(), u"1100"_s);
    QCOMPARE(q.value(3).toString(), u"二"_s);
    QVERIFY(q.value(4).isNull());
    QVERIFY(q.value(5).isNull());
    QCOMPARE(q.value(6).toInt(), 1);
    QVERIFY(q.exec(u"SELECT ProAGL, ProAGH, ProEng, ProFlg, PrtFG FROM KYPRDT WHERE ProNo = 'OLD'"_s) &&
            q.next());
    QCOMPARE(q.value(0).toInt(), 30);
    QCOMPARE(q.value(1).toInt(), 0);
    QCOMPARE(q.value(2).toDouble(), 40.5);
    QCOMPARE(q.value(3).toInt(), 1);
    QCOMPARE(q.value(4).toInt(), 1);
}

void TestTransferOperations::refusedSourceChangesNothing_data() {
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("message");
    QTest::newRow("trigger") << u"CREATE TRIGGER t AFTER INSERT ON KYCUST BEGIN DELETE FROM KYDATA; END"_s
                             << QByteArray() << u"触发器"_s;
    QTest::newRow("view instead of a table")
        << u"DROP TABLE KYCUST\nCREATE VIEW KYCUST AS SELECT * FROM KYDATA"_s << QByteArray() << u"视图"_s;
    QTest::newRow("wrong column type")
        << u"DROP TABLE KYPRO\nCREATE TABLE KYPRO (MKEY INTEGER PRIMARY KEY, ProNo TEXT, ProName TEXT, "
           u"ProData TEXT, ProPict TEXT, ProScal BOOLEAN, PrtFG BOOLEAN)"_s
        << QByteArray() << u"ProPict"_s;
    QTest::newRow("missing column") << u"ALTER TABLE KYDATA DROP COLUMN KY17"_s << QByteArray() << u"KY17"_s;
    QTest::newRow("missing table") << u"DROP TABLE KYPRDT"_s << QByteArray() << u"KYPRDT"_s;
    QTest::newRow("not a database") << QString() << QByteArray("KyTran: no database at all\n") << u"数据库"_s;
    QTest::newRow("damaged") << QString() << QByteArray("SQLite format 3\0", 16) + QByteArray(4000, '\x5a')
                             << u"来源档案"_s;
    // Readings break the rule: the message names the table, the subject, the date and the column.
    QTest::newRow("infinite reading") << u"UPDATE KYDATA SET KY5 = 9e999 WHERE KY4 = 7.0"_s << QByteArray()
                                      << u"KYDATA|N1|2025-12-10 12:00:00|KY5|inf"_s;
    QTest::newRow("negative reading") << u"UPDATE KYDATA SET KY2 = -112"_s << QByteArray() << u"KY2|-112"_s;
    QTest::newRow("reading at the bound")
        << u"UPDATE KYDATA SET KY24 = 100000"_s << QByteArray() << u"KY24"_s;
    QTest::newRow("text for a reading")
        << u"UPDATE KYDATA SET KY7 = 'abc'"_s << QByteArray() << u"KY7|\"abc\""_s;
    QTest::newRow("Access file cut short") << u"jet:truncated-v2000.mdb"_s << QByteArray() << u"档案已损坏"_s;
    QTest::newRow("Access file with a text reading")
        << u"jet:text-reading-v2000.mdb"_s << QByteArray() << u"KYDATA 字段 KY7"_s;
    QTest::newRow("Access readings above the bound")
        << u"jet:normal-v2000.mdb"_s << QByteArray() << u"KYDATA|ORLU-0000000001|1900-01-01|KY2"_s;
    QTest::newRow("a pipe") << u"fifo"_s << QByteArray() << u"不是一般的档案"_s;
    QTest::newRow("a device") << u"/dev/zero"_s << QByteArray() << u"不是一般的档案"_s;
}

void TestTransferOperations::refusedSourceChangesNothing() {
    QFETCH(QString, sql);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, message);
    if (sql.startsWith(u"jet:"_s)) {
        QVERIFY(QFile::copy(qEnvironmentVariable("ORLU_TEST_DATA") + u"/data/"_s + sql.mid(4), outside()));
    } else if (sql == u"fifo"_s) {
        QCOMPARE(::mkfifo(QFile::encodeName(outside()).constData(), 0600), 0);
    } else if (sql.startsWith(u'/')) {
        QVERIFY(QFile::link(sql, outside()));
    } else if (bytes.isEmpty()) {
        makeTransferFile();
        OpenFile f(outside());
        for (const QString &s : sql.split(u'\n'))
            f.exec(s);
    } else {
        QFile file(outside());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    const QString before = registerDigest(m_main->db());
    const TransferOutcome o = operations().importFrom(outside(), {true, true}, ImportMode::Replace);
    QVERIFY(!o.ok);
    QCOMPARE(o.notices.size(), 1);
    QCOMPARE(o.notices.first().tone, std::optional(AlertTone::Caution));
    for (const QString &part : message.split(u'|'))
        QVERIFY2(o.notices.first().text.contains(part), qPrintable(o.notices.first().text));
    QVERIFY(o.notices.first().text.endsWith(u" 请排除问题后重新汇入数据。"_s));
    QCOMPARE(registerDigest(m_main->db()), before);
    QVERIFY(!QFile::exists(m_main->home.file(u"KyTran.mdb"_s)));
}

void TestTransferOperations::faultPartWayChangesNothing() {
    makeTransferFile();
    {
        OpenFile f(outside());
        // A subject number longer than its column allows, after rows that go in well.
        insertRow(f.db(), u"KYCUST"_s, subjectRow(u"N2"_s, u"x"_s));
        f.exec(u"PRAGMA ignore_check_constraints=ON"_s);
        f.exec(u"UPDATE KYCUST SET CUSTNO = '0123456789abcdefXYZ' WHERE CUSTNO = 'N2'"_s);
    }
    const QString before = registerDigest(m_main->db());
    for (ImportMode mode : {ImportMode::Append, ImportMode::Replace}) {
        const TransferOutcome o = operations().importFrom(outside(), {true, true}, mode);
        QVERIFY(!o.ok);
        // The file's engine names its constraint code; the server's refusal has none of those.
        const QString code = m_main->backend() == Backend::Sqlite ? u"19"_s : u"1"_s;
        QVERIFY2(o.notices.first().text.startsWith(
                     u"数据汇入错误 !! ErrorCode[%1]， 请排除问题后重新汇入数据。"_s.arg(code)),
                 qPrintable(o.notices.first().text));
        QCOMPARE(registerDigest(m_main->db()), before);
    }
    // A measurement the main database refuses half-way through the measurements.
    QFile::remove(outside());
    makeTransferFile();
    m_main->failOn(u"BEFORE INSERT ON KYDATA"_s, u"NEW.KY4 = 7.0"_s);
    const TransferOutcome o = operations().importFrom(outside(), {true, true}, ImportMode::Replace);
    QVERIFY(!o.ok);
    QCOMPARE(registerDigest(m_main->db()), before);
}

void TestTransferOperations::importFromTheProgramFolderKeepsTheFile() {
    makeTransferFile();
    QVERIFY(QFile::copy(outside(), m_main->home.file(u"KyTran.mdb"_s)));
    const TransferOutcome o =
        operations().importFrom(m_main->home.file(u"KyTran.mdb"_s), {true, true}, ImportMode::Append);
    QVERIFY2(o.ok, qPrintable(texts(o).join(u'\n')));
    QVERIFY(QFile::exists(m_main->home.file(u"KyTran.mdb"_s)));
    QCOMPARE(rowsOf(m_main->db(), u"KYCUST"_s), 3);
}

void TestTransferOperations::plantedNamesAreLeftAlone_data() {
    QTest::addColumn<QString>("planted");
    QTest::addColumn<bool>("exported");
    QTest::newRow("link at the transfer file") << u"link"_s << false;
    QTest::newRow("pipe at the transfer file") << u"fifo"_s << false;
    QTest::newRow("link at the old working name") << u"part link"_s << true;
    QTest::newRow("stale working file") << u"part file"_s << true;
}

void TestTransferOperations::plantedNamesAreLeftAlone() {
    QFETCH(QString, planted);
    QFETCH(bool, exported);
    const QString victim = m_main->home.file(u"victim.mdb"_s);
    m_main->home.writeFile(u"victim.mdb"_s, "the operator's own file");
    const QByteArray target = QFile::encodeName(outside());
    if (planted == u"link"_s)
        QCOMPARE(::symlink(QFile::encodeName(victim).constData(), target.constData()), 0);
    else if (planted == u"fifo"_s)
        QCOMPARE(::mkfifo(target.constData(), 0600), 0);
    else if (planted == u"part link"_s)
        QCOMPARE(::symlink(QFile::encodeName(victim).constData(), QByteArray(target + ".part").constData()),
                 0);
    else
        QVERIFY(QFile(outside(u"KyTran.mdb.part"_s)).open(QIODevice::WriteOnly));
    const mode_t mask = ::umask(0);
    const TransferOutcome o = operations().exportTo(m_outside->path(), {true, true});
    ::umask(mask);
    QCOMPARE(o.ok, exported);
    QCOMPARE(m_main->home.readFile(u"victim.mdb"_s), QByteArray("the operator's own file"));
    if (exported) {
        struct stat st {};
        QCOMPARE(::stat(target.constData(), &st), 0);
        QCOMPARE(int(st.st_mode & 07777), 0600);
        QCOMPARE(QFileInfo(outside(u"KyTran.mdb.part"_s)).isSymLink(), planted == u"part link"_s);
        QCOMPARE(QFileInfo::exists(outside(u"KyTran.mdb.part"_s)), planted == u"part link"_s);
    } else {
        QCOMPARE(texts(o), QStringList{u"%1 不是普通档案 !! 请排除问题后重新汇出数据。"_s.arg(outside())});
        QVERIFY(QFileInfo(outside()).isSymLink() || QFileInfo(outside()).exists());
    }
    // A folder given as the transfer file to import from.
    const TransferOutcome in = operations().importFrom(m_outside->path(), {true, true}, ImportMode::Append);
    QVERIFY(!in.ok);
    QVERIFY2(texts(in).value(0).contains(QDir::toNativeSeparators(m_outside->path())),
             qPrintable(texts(in).value(0)));
}

void TestTransferOperations::failureTextNamesTheCause_data() {
    QTest::addColumn<QString>("error");
    QTest::addColumn<int>("sqliteCode");
    QTest::addColumn<int>("systemCode");
    QTest::addColumn<QString>("text");
    const QString full = u"磁盘容量不足 !!"_s;
    QTest::newRow("engine's full result without a code")
        << u"database or disk is full ()"_s << 0 << 0 << full;
    QTest::newRow("engine's full result") << u"database or disk is full (13)"_s << 13 << 0 << full;
    QTest::newRow("write failed, file-size limit") << u"disk I/O error (778)"_s << 778 << EFBIG << full;
    QTest::newRow("write failed, disk full") << u"disk I/O error (778)"_s << 778 << ENOSPC << full;
    QTest::newRow("write failed, unknown")
        << u"disk I/O error (778)"_s << 778 << 0 << u"无法读取指定装置，或磁盘格式化错误 !!"_s;
    QTest::newRow("cannot open a folder")
        << u"unable to open database file (14)"_s << 14 << EISDIR << u"来源的档案数据不存在 !!"_s;
    QTest::newRow("constraint, stale system code")
        << u"constraint failed (19)"_s << 19 << ENOENT << u"数据汇入错误 !! ErrorCode[19]，"_s;
    QTest::newRow("no code at all") << u"server refused"_s << 0 << 0 << u"数据汇入错误 !! ErrorCode[1]，"_s;
}

void TestTransferOperations::failureTextNamesTheCause() {
    QFETCH(QString, error);
    QFETCH(int, sqliteCode);
    QFETCH(int, systemCode);
    QFETCH(QString, text);
    QCOMPARE(storageFailureText(error, sqliteCode, systemCode, TransferDirection::Import),
             text + u" 请排除问题后重新汇入数据。\n("_s + error + u')');
}

void TestTransferOperations::accessCoursesArriveValueForValue() {
    // The file's measurements break the readings rule; its courses may come alone.
    QVERIFY(QFile::copy(writtenAccessFile(), outside()));
    const TransferOutcome o = operations().importFrom(outside(), {true, false}, ImportMode::Replace);
    QVERIFY2(o.ok, qPrintable(texts(o).join(u'\n')));
    for (const QString &table : CourseTables) {
        const QList<QJsonObject> written = writtenRows(table);
        const QStringList columns = written.first().keys();
        QStringList numbers;
        for (const ColumnDef &c : copiedColumns(table)) {
            if (c.type == ColumnDef::Integer || c.type == ColumnDef::Float || c.type == ColumnDef::DateTime)
                numbers << QString::fromLatin1(c.name);
        }
        QSqlQuery q(m_main->db());
        QVERIFY(q.exec(u"SELECT %1 FROM %2 ORDER BY MKEY"_s.arg(columns.join(u", "_s), table)));
        qsizetype row = 0;
        for (; q.next(); ++row) {
            QVERIFY(row < written.size());
            for (qsizetype c = 0; c < columns.size(); ++c) {
                // The register keeps no null number: an empty one is stored as 0.
                QJsonValue expected = written[row][columns[c]];
                if (expected.isNull() && numbers.contains(columns[c]))
                    expected = 0;
                const QString m = mismatch(q.value(int(c)), expected);
                QVERIFY2(m.isEmpty(),
                         qPrintable(u"%1 row %2 %3: %4"_s.arg(table).arg(row + 1).arg(columns[c], m)));
            }
        }
        QCOMPARE(row, written.size());
    }
}

void TestTransferOperations::oneTransferAtATimePerFolder() {
    makeTransferFile();
    const QString before = registerDigest(m_main->db());
    {
        TransferLock running(ProgramFolder(m_main->home.path()));
        QVERIFY(running.acquire(nullptr));
        const QString holder = u"由 %1 执行，进程 %2"_s.arg(QCoreApplication::applicationName())
                                   .arg(QCoreApplication::applicationPid());
        const TransferOutcome exported = operations().exportTo(m_outside->path(), {true, true});
        const TransferOutcome imported =
            operations().importFrom(outside(), {true, true}, ImportMode::Replace);
        for (const TransferOutcome &o : {exported, imported}) {
            QVERIFY(!o.ok);
            QCOMPARE(o.notices.size(), 1);
            QVERIFY2(o.notices.first().text.startsWith(u"另一个汇入/汇出作业正在进行中"_s) &&
                         o.notices.first().text.contains(holder),
                     qPrintable(o.notices.first().text));
        }
        QCOMPARE(registerDigest(m_main->db()), before);
    }
    QVERIFY(operations().exportTo(m_outside->path(), {true, true}).ok);
}

void TestTransferOperations::sourceInWriteAheadLogModeArrivesWhole() {
    // A transfer file whose writer stopped with committed rows still in its log.
    const QString written = m_outside->filePath(u"written.mdb"_s);
    makeRegisterFile(written);
    {
        OpenFile f(written);
        f.exec(u"PRAGMA journal_mode=WAL"_s);
        f.exec(u"PRAGMA wal_autocheckpoint=0"_s);
        for (int n = 1; n <= 200; ++n)
            insertRow(f.db(), u"KYCUST"_s, subjectRow(u"W%1"_s.arg(n), u"日志"_s));
        QVERIFY(QFile::copy(written, outside()));
        QVERIFY(QFile::copy(written + u"-wal"_s, outside() + u"-wal"_s));
    }
    QVERIFY(QFileInfo(outside() + u"-wal"_s).size() > 0);
    const TransferOutcome o = operations().importFrom(outside(), {false, true}, ImportMode::Append);
    QVERIFY2(o.ok, qPrintable(texts(o).join(u'\n')));
    QCOMPARE(rowsOf(m_main->db(), u"KYCUST"_s), 202);
    QVERIFY(!QFile::exists(m_main->home.file(u"KyTran.mdb"_s)));
}

QTEST_GUILESS_MAIN(TestTransferOperations)
#include "test_transferoperations.moc"
