#include "transfer/jetsource.h"

#include "transferfixture.h"
#include "writtenrows.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

using namespace orlu;
using namespace Qt::StringLiterals;

namespace {

const SystemClock systemClock;

// A second further at every look: a reader that hangs is ended without a real wait.
class RushingClock final : public Clock {
public:
    quint32 ticks() const override { return m_ticks += 1000; }
    QDateTime now() const override { return {}; }

private:
    mutable quint32 m_ticks = 0;
};

// Frames as the reader sends them.
QByteArray frame(char kind, const QByteArray &body) {
    const quint32 n = quint32(body.size());
    const char length[4] = {char(n), char(n >> 8), char(n >> 16), char(n >> 24)};
    return kind + QByteArray(length, 4) + body;
}

QByteArray integer(qint64 v) {
    QByteArray bytes(1, char(jetwire::Tag::Integer));
    for (int i = 0; i < 8; ++i)
        bytes += char(quint64(v) >> (8 * i));
    return bytes;
}

QByteArray text(const QByteArray &t) {
    return char(jetwire::Tag::Text) + frame(0, t).mid(1);
}

// A file of one table T, one row, one column A of whole numbers.
QByteArray oneTableCatalog() {
    return frame('F', integer(4)) +
           frame('T', text("T") + integer(1) + integer(1) + text("A") +
                          integer(qint64(jetwire::ColumnKind::Int32))) +
           frame('E', integer(1));
}

QString sample(const char *name) {
    return qEnvironmentVariable("ORLU_TEST_DATA") + u"/data/"_s + QString::fromLatin1(name);
}

// The first row of a table, as the reader hands it over.
QVariantList firstRow(const JetSource &source, const QString &table, const QStringList &columns) {
    QVariantList first;
    source.readRows(table, columns, [&](const QVariantList &values) {
        first = values;
        return false;
    });
    return first;
}

QVariantList column(const JetSource &source, const QString &table, const QString &name) {
    QVariantList all;
    source.readRows(table, {name}, [&](const QVariantList &values) {
        all << values.first();
        return true;
    });
    return all;
}

} // namespace

class TestJetSource : public QObject {
    Q_OBJECT
private slots:
    void listsTablesColumnsAndRows();
    void keepsDayCountsOfDates_data();
    void keepsDayCountsOfDates();
    void readsMemoText();
    void readsOlePictureBytes();
    void decodesJet3TextInItsCodePage();
    void readsBooleansAndNumbers();
    void refusesNewerAndUnreadableFiles_data();
    void refusesNewerAndUnreadableFiles();
    void appendsRowsIntoATable();
    void readsEveryValueWrittenElsewhere_data();
    void readsEveryValueWrittenElsewhere();
    void refusesWhatItCannotReadWhole_data();
    void refusesWhatItCannotReadWhole();
    void refusesWhatItsReaderCannotAnswer_data();
    void refusesWhatItsReaderCannotAnswer();
    void keepsItsPromiseOnFuzzedFiles_data();
    void keepsItsPromiseOnFuzzedFiles();
};

void TestJetSource::listsTablesColumnsAndRows() {
    QString error;
    auto jet4 = JetSource::open(sample("DateTestDatabase.mdb"), systemClock, &error);
    QVERIFY2(jet4, qPrintable(error));
    QCOMPARE(jet4->jetVersion(), 4);
    QCOMPARE(jet4->tables(), QStringList{u"DateTest"_s});
    QCOMPARE(jet4->columns(u"datetest"_s), (QStringList{u"IDCol"_s, u"DateTimeCol"_s, u"DateCol"_s,
                                                        u"TimeCol"_s, u"LongTextCol"_s, u"ShortTextCol"_s}));
    QCOMPARE(jet4->rowCount(u"DateTest"_s), 6);

    auto jet3 = JetSource::open(sample("nwind.mdb"), systemClock, &error, "CP1252");
    QVERIFY2(jet3, qPrintable(error));
    QCOMPARE(jet3->jetVersion(), 3);
    for (const QString &t : {u"Customers"_s, u"Orders"_s, u"Products"_s, u"Employees"_s, u"Categories"_s})
        QVERIFY2(jet3->tables().contains(t), qPrintable(t));
    QVERIFY(!jet3->tables().contains(u"MSysObjects"_s)); // system tables are not the file's data
    QCOMPARE(jet3->rowCount(u"Customers"_s), 91);
    QCOMPARE(jet3->rowCount(u"Products"_s), 77);
    QCOMPARE(column(*jet3, u"Customers"_s, u"CustomerID"_s).size(), 91);
}

void TestJetSource::keepsDayCountsOfDates_data() {
    QTest::addColumn<int>("row");
    QTest::addColumn<double>("dateTime");
    QTest::addColumn<double>("date");
    // 2 December 2021; 1 January 9999; years before 1900 and before 1000 count backwards.
    QTest::newRow("2021") << 0 << 44532.0 << 44532.0;
    QTest::newRow("year 9999") << 1 << 2958101.0 << 2958101.0;
    QTest::newRow("before 1900") << 2 << -728.0 << -363.0;
    QTest::newRow("before 1000") << 3 << -463126.0 << -462760.0;
}

void TestJetSource::keepsDayCountsOfDates() {
    QFETCH(int, row);
    QFETCH(double, dateTime);
    QFETCH(double, date);
    auto source = JetSource::open(sample("DateTestDatabase.mdb"), systemClock, nullptr);
    QVERIFY(source);
    QList<QVariantList> rows;
    source->readRows(u"DateTest"_s, {u"DateTimeCol"_s, u"DateCol"_s}, [&](const QVariantList &v) {
        rows << v;
        return true;
    });
    QCOMPARE(rows.size(), 6);
    QCOMPARE(rows[row][0].typeId(), QMetaType::Double);
    QCOMPARE(rows[row][0].toDouble(), dateTime);
    QCOMPARE(rows[row][1].toDouble(), date);
}

void TestJetSource::readsMemoText() {
    auto source = JetSource::open(sample("DateTestDatabase.mdb"), systemClock, nullptr);
    QVERIFY(source);
    const QVariantList memos = column(*source, u"DateTest"_s, u"LongTextCol"_s);
    QCOMPARE(memos.at(1).toString(), u"Year 9999"_s);
    QCOMPARE(memos.at(5).toString(), u"New line\r\nin field"_s);

    auto nwind = JetSource::open(sample("nwind.mdb"), systemClock, nullptr, "CP1252");
    QVERIFY(nwind);
    const QString notes = firstRow(*nwind, u"Employees"_s, {u"Notes"_s}).first().toString();
    QVERIFY2(notes.startsWith(u"Education includes a BA in psychology"_s), qPrintable(notes));
    QVERIFY(notes.size() > 100); // the whole memo, not a first chunk
}

void TestJetSource::readsOlePictureBytes() {
    auto source = JetSource::open(sample("nwind.mdb"), systemClock, nullptr, "CP1252");
    QVERIFY(source);
    const QVariantList row = firstRow(*source, u"Employees"_s, {u"LastName"_s, u"Photo"_s, u"HireDate"_s});
    QCOMPARE(row.at(0).toString(), u"Davolio"_s);
    const QByteArray photo = row.at(1).toByteArray();
    QCOMPARE(photo.size(), 21626);
    QVERIFY(photo.contains("Bitmap Image"));
    QCOMPARE(QCryptographicHash::hash(photo, QCryptographicHash::Md5).toHex(),
             QByteArray("bfc7175746f175a1a18de18840986ba2"));
    // Fixed cells read before and after the picture stay those of the same row.
    QCOMPARE(row.at(2).toDouble(), 33725.0); // 1 May 1992
}

void TestJetSource::decodesJet3TextInItsCodePage() {
    auto western = JetSource::open(sample("nwind.mdb"), systemClock, nullptr, "CP1252");
    QVERIFY(western);
    QVERIFY(western->tables().contains(u"Umsätze"_s));
    const QVariantList names = column(*western, u"Customers"_s, u"CompanyName"_s);
    QVERIFY(names.contains(QVariant(u"Berglunds snabbköp"_s)));

    // Our own older files were written on Chinese Windows: the default reads GBK, so the
    // same byte means something else there, and the table name no longer reads "Umsätze".
    auto chinese = JetSource::open(sample("nwind.mdb"), systemClock, nullptr);
    QVERIFY(chinese);
    QVERIFY(!chinese->tables().contains(u"Umsätze"_s));
    QVERIFY(chinese->tables().contains(u"Customers"_s));
}

void TestJetSource::readsBooleansAndNumbers() {
    auto source = JetSource::open(sample("nwind.mdb"), systemClock, nullptr, "CP1252");
    QVERIFY(source);
    QList<QVariantList> rows;
    source->readRows(u"Products"_s, {u"ProductID"_s, u"Discontinued"_s, u"UnitsInStock"_s, u"UnitPrice"_s},
                     [&](const QVariantList &v) {
                         rows << v;
                         return true;
                     });
    QCOMPARE(rows.size(), 77);
    int discontinued = 0;
    for (const QVariantList &r : rows)
        discontinued += r.at(1).toBool() ? 1 : 0;
    QCOMPARE(discontinued, 8);
    QCOMPARE(rows.first().at(0).toLongLong(), 1);
    QCOMPARE(rows.first().at(2).toInt(), 39);      // Chai: 39 in stock
    QCOMPARE(rows.first().at(3).toDouble(), 18.0); // at 18.00
}

void TestJetSource::refusesNewerAndUnreadableFiles_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("message");
    QTest::newRow("accdb") << sample("ASampleDatabase.accdb") << u".accdb"_s;
    QTest::newRow("not a database") << QString::fromLatin1(__FILE__) << u"不是可读取的数据库"_s;
    QTest::newRow("missing") << u"/nonexistent/KyTran.mdb"_s << u"不是可读取的数据库"_s;
}

void TestJetSource::refusesNewerAndUnreadableFiles() {
    QFETCH(QString, path);
    QFETCH(QString, message);
    QString error;
    QVERIFY(!JetSource::open(path, systemClock, &error));
    QVERIFY2(error.contains(message), qPrintable(error));
}

void TestJetSource::appendsRowsIntoATable() {
    auto source = JetSource::open(sample("nwind.mdb"), systemClock, nullptr, "CP1252");
    QVERIFY(source);
    QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"scratch"_s);
    db.setDatabaseName(u":memory:"_s);
    QVERIFY(db.open());
    QVERIFY(QSqlQuery(db).exec(u"CREATE TABLE Shippers (ShipperID INTEGER, CompanyName TEXT, Phone TEXT)"_s));
    const QList<ColumnDef> columns{{"ShipperID", ColumnDef::Integer, 0},
                                   {"CompanyName", ColumnDef::Text, 40},
                                   {"Phone", ColumnDef::Text, 24}};
    struct Count : TransferObserver {
        double last = 0;
        void progressed(double f) override { last = f; }
    } observer;
    CopyProgress progress(&observer, source->rowCount(u"Shippers"_s));
    QString error;
    QVERIFY2(source->appendTo(db, u"Shippers"_s, columns, progress, &error), qPrintable(error));
    QSqlQuery q(db);
    QVERIFY(q.exec(u"SELECT count(*), min(ShipperID), max(CompanyName) FROM Shippers"_s) && q.next());
    QCOMPARE(q.value(0).toInt(), 3);
    QCOMPARE(q.value(1).toInt(), 1);
    QCOMPARE(q.value(2).toString(), u"United Package"_s);
    QCOMPARE(observer.last, 1.0);
}

void TestJetSource::readsEveryValueWrittenElsewhere_data() {
    QTest::addColumn<QString>("table");
    // Full-length Chinese texts, characters beyond the Basic Multilingual Plane (𠮷, 𩸽,
    // emoji), empty texts beside nulls, long memos, dates at the edges, readings from
    // 0 to 1e308, pictures of 0 to 100,000 bytes.
    for (const char *table : {"KYCUST", "KYDATA", "KYPRO", "KYPRDT"})
        QTest::newRow(table) << QString::fromLatin1(table);
}

void TestJetSource::readsEveryValueWrittenElsewhere() {
    QFETCH(QString, table);
    QString error;
    auto source = JetSource::open(sample("normal-v2000.mdb"), systemClock, &error);
    QVERIFY2(source, qPrintable(error));
    const QList<QJsonObject> written = test::writtenRows(table);
    const QStringList columns = written.first().keys();
    qsizetype at = 0;
    QStringList wrong;
    QVERIFY2(source->readRows(
                 table, columns,
                 [&](const QVariantList &values) {
                     for (qsizetype c = 0; c < columns.size() && at < written.size(); ++c) {
                         const QString m = test::mismatch(values[c], written[at][columns[c]]);
                         if (!m.isEmpty())
                             wrong << u"row %1 %2: %3"_s.arg(at + 1).arg(columns[c], m);
                     }
                     ++at;
                     return true;
                 },
                 &error),
             qPrintable(error));
    QCOMPARE(at, written.size());
    QVERIFY2(wrong.isEmpty(), qPrintable(wrong.mid(0, 5).join(u'\n')));
}

void TestJetSource::refusesWhatItCannotReadWhole_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<qint64>("length"); // cut to this many bytes; -1 keeps the whole file
    QTest::addColumn<QString>("message");
    QTest::newRow("text in a reading column")
        << u"text-reading-v2000.mdb"_s << qint64(-1) << u"KYDATA 字段 KY7"_s;
    QTest::newRow("cut at 60 %") << u"truncated-v2000.mdb"_s << qint64(-1) << u"档案已损坏"_s;
    const qint64 size = 708608;
    for (int percent : {30, 45, 75, 90, 99})
        QTest::addRow("cut at %d %%", percent)
            << u"normal-v2000.mdb"_s << size * percent / 100 << u"档案已损坏"_s;
    // Bytes of KYDATA's pages changed: the reader complains, then would read on without them.
    QTest::newRow("table definition page marked a data page (byte 114688: 02 -> 01)")
        << u"damaged-tabledef-v2000.mdb"_s << qint64(-1)
        << u"档案已损坏 !! (mdb_read_table: Page 28 [size=4096] is not a valid table definition page"_s;
    QTest::newRow("data page claiming another table (bytes 368644-368647: 28 -> 5)")
        << u"damaged-pageowner-v2000.mdb"_s << qint64(-1)
        << u"档案已损坏 !! (warning: page 90 from map doesn't match"_s;
    QTest::newRow("usage map pointing past the file (bytes 114743-114746)")
        << u"damaged-usagemap-v2000.mdb"_s << qint64(-1)
        << u"档案已损坏 !! (offset 34359734272 is beyond EOF)"_s;
    // Cut at a page boundary the file looks whole from outside.
    for (int pages = 1; pages < 173; ++pages)
        QTest::addRow("%d pages", pages) << u"normal-v2000.mdb"_s << qint64(pages) * 4096 << u"档案已损坏"_s;
}

void TestJetSource::refusesWhatItCannotReadWhole() {
    QFETCH(QString, file);
    QFETCH(qint64, length);
    QFETCH(QString, message);
    QFile whole(sample(file.toLatin1().constData()));
    QVERIFY(whole.open(QIODevice::ReadOnly));
    QTemporaryDir dir;
    QFile cut(dir.filePath(u"KyTran.mdb"_s));
    QVERIFY(cut.open(QIODevice::WriteOnly));
    cut.write(length < 0 ? whole.readAll() : whole.read(length));
    cut.close();
    QString error;
    bool refused = false;
    // As an import opens it: the register's tables are looked for first.
    if (auto opened = openSourceFile(cut.fileName(), systemClock, &error)) {
        const auto *source = dynamic_cast<const JetSource *>(opened.get());
        QVERIFY(source);
        for (const QString &table : {u"KYCUST"_s, u"KYDATA"_s, u"KYPRO"_s, u"KYPRDT"_s}) {
            refused = !source->readRows(
                table, source->columns(table), [](const QVariantList &) { return true; }, &error);
            if (refused)
                break;
        }
    } else {
        refused = true;
    }
    QVERIFY2(refused, "read as if whole");
    QVERIFY2(error.contains(message), qPrintable(error));
}

QTEST_GUILESS_MAIN(TestJetSource)
#include "test_jetsource.moc"

void TestJetSource::refusesWhatItsReaderCannotAnswer_data() {
    QTest::addColumn<QByteArray>("catalog"); // the reader's catalog, then its answer to the rows
    QTest::addColumn<QByteArray>("rows");
    QTest::addColumn<QByteArray>("then"); // what the reader does after answering
    QTest::addColumn<QString>("message");
    const QByteArray catalog = oneTableCatalog();
    const QByteArray row = frame('R', integer(42));
    const QByteArray end = frame('E', integer(1));
    QTest::newRow("whole") << catalog << row + end << QByteArray() << QString();
    QTest::newRow("crash") << QByteArray() << QByteArray() << QByteArray("kill -SEGV $$")
                           << u"档案已损坏 !! (the Access reader crashed (signal 11"_s;
    QTest::newRow("hang") << QByteArray() << QByteArray() << QByteArray("exec /bin/sleep 60")
                          << u"the Access reader took longer than 15 s"_s;
    QTest::newRow("filter hit") << catalog << QByteArray() << QByteArray("kill -SYS $$")
                                << u"system call it is not allowed"_s;
    QTest::newRow("processor time") << catalog << row << QByteArray("kill -XCPU $$") << u"processor time"_s;
    QTest::newRow("status") << QByteArray() << QByteArray() << QByteArray("exit 4")
                            << u"ended with status 4"_s;
    QTest::newRow("unknown frame") << QByteArray("Z\0\0\0\0", 5) << QByteArray() << QByteArray()
                                   << u"malformed (frame kind 90)"_s;
    QTest::newRow("length beyond bound") << QByteArray("T\xff\xff\xff\x7f") << QByteArray() << QByteArray()
                                         << u"malformed (a frame of 2147483647 bytes)"_s;
    QTest::newRow("length beyond body")
        << frame('F', text("abc").chopped(1)) << QByteArray() << QByteArray() << u"a value cut short"_s;
    QTest::newRow("answer cut short")
        << catalog.chopped(3) << QByteArray() << QByteArray() << u"answer is cut short"_s;
    QTest::newRow("more after the catalog")
        << catalog + "x" << row + end << QByteArray() << u"frame kind 120"_s;
    QTest::newRow("table count") << frame('F', integer(4)) + frame('E', integer(2)) << QByteArray()
                                 << QByteArray() << u"malformed (end of the catalog)"_s;
    QTest::newRow("text for a number")
        << catalog << frame('R', text("42")) + end << QByteArray() << u"malformed (row 1, A)"_s;
    QTest::newRow("more rows than counted")
        << catalog << row + row + frame('E', integer(2)) << QByteArray() << u"malformed (row 2)"_s;
}

void TestJetSource::refusesWhatItsReaderCannotAnswer() {
    QFETCH(QByteArray, catalog);
    QFETCH(QByteArray, rows);
    QFETCH(QByteArray, then);
    QFETCH(QString, message);
    // The catalog at once; the rows when asked for them.
    test::FakeJetReader reader("/bin/cat \"${0%/*}/catalog\"\n"
                               "if [ -s \"${0%/*}/rows\" ]; then /usr/bin/head -c 1 <&1 >/dev/null; "
                               "/bin/cat \"${0%/*}/rows\"; fi\n" +
                               then);
    for (const auto &[name, bytes] : {std::pair{u"catalog"_s, catalog}, std::pair{u"rows"_s, rows}}) {
        QFile f(reader.file(name));
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
    }
    const RushingClock rushing;
    const bool hangs = then.contains("sleep");
    QString error;
    auto source = JetSource::open(sample("DateTestDatabase.mdb"),
                                  hangs ? static_cast<const Clock &>(rushing) : systemClock, &error);
    if (source) {
        QList<QVariantList> seen;
        const bool read = source->readRows(
            u"T"_s, {u"A"_s},
            [&](const QVariantList &v) {
                seen << v;
                return true;
            },
            &error);
        if (message.isEmpty()) {
            QVERIFY2(read, qPrintable(error));
            QCOMPARE(seen, QList<QVariantList>{{qint64(42)}});
            return;
        }
        QVERIFY(!read);
    }
    QVERIFY2(error.startsWith(damagedSourceText({}).section(u'(', 0, 0)), qPrintable(error));
    QVERIFY2(error.contains(message), qPrintable(error));
}

void TestJetSource::keepsItsPromiseOnFuzzedFiles_data() {
    QTest::addColumn<QString>("path");
    // Inputs that broke a promise of our own, and inputs on which libmdb itself faults.
    for (const char *folder : {"regressions/jet", "contained/jet"}) {
        const QDir kept(QStringLiteral(ORLU_FUZZ_DIR) + u'/' + QLatin1StringView(folder));
        for (const QFileInfo &file : kept.entryInfoList(QDir::Files))
            QTest::newRow(qPrintable(file.fileName())) << file.filePath();
    }
}

// Each file the fuzzer kept: refused with a message, or read whole.
void TestJetSource::keepsItsPromiseOnFuzzedFiles() {
    QFETCH(QString, path);
    QString error;
    auto source = JetSource::open(path, systemClock, &error);
    if (!source) {
        QVERIFY(!error.isEmpty());
        return;
    }
    for (const QString &table : source->tables()) {
        qint64 rows = 0;
        const bool read = source->readRows(
            table, source->columns(table),
            [&](const QVariantList &) {
                ++rows;
                return true;
            },
            &error);
        QVERIFY2(read ? rows == source->rowCount(table) : error.contains(u"档案已损坏"_s), qPrintable(error));
    }
}
