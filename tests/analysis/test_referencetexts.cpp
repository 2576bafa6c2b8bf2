#include "analysis/meridiandiagram.h"
#include "analysis/referencetextbuilder.h"
#include "analysis/referencetextsource.h"
#include "analysis/textstore.h"
#include "core/channels.h"
#include "storage/database.h"
#include "support/temphome.h"

#include <QFile>
#include <QImage>
#include <QSqlQuery>
#include <QtTest>

using namespace orlu;
using namespace Qt::StringLiterals;

namespace {

QString shippedSource() {
    QFile f(shippedReferenceTextSource());
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(f.readAll());
}

int redPixels(const QImage &image) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.red() > 200 && c.green() < 40 && c.blue() < 40)
                ++n;
        }
    }
    return n;
}

// A complete, minimal source; tests break one thing in it at a time.
QString minimalSource() {
    QString s;
    for (int key = 1; key <= 17; ++key) {
        s += u"@record %1\n"_s.arg(key);
        for (TextColumn c : textColumns()) {
            if (columnUsedBy(key, c))
                s += u"@"_s + columnName(c) + u" 文字\n"_s;
        }
    }
    return s;
}

} // namespace

class TestReferenceTexts : public QObject {
    Q_OBJECT
private slots:
    void shippedSourceIsComplete();
    void shippedTextsRoundTrip();
    void shippedTextsReadWell();
    void diagrams();
    void buildIsReproducible();
    void failedBuildKeepsExistingDatabase();
    void sourceFormat();
    void sourceErrors_data();
    void sourceErrors();

private:
    test::TempHome m_home;
};

void TestReferenceTexts::shippedSourceIsComplete() {
    QList<ReferenceRecord> records;
    QString error;
    QVERIFY2(parseReferenceTextSource(shippedSource(), &records, &error), qPrintable(error));
    QCOMPARE(records.size(), 17);
    for (const ReferenceRecord &r : records) {
        for (TextColumn c : textColumns()) {
            if (columnUsedBy(r.key, c))
                QVERIFY2(!r.texts.value(c).isEmpty(),
                         qPrintable(u"record %1 %2 is empty"_s.arg(r.key).arg(columnName(c))));
        }
    }
}

// Every shipped text goes through GBK, scrambling, the database and back unchanged.
void TestReferenceTexts::shippedTextsRoundTrip() {
    const QString path = m_home.file(u"orluCn.mdb"_s);
    QString error;
    QVERIFY2(buildReferenceTextDatabase(path, shippedReferenceTextSource(), &error), qPrintable(error));
    QVERIFY(isSqliteFile(path));
    QVERIFY(!QFile::exists(path + u".building"_s));

    QList<ReferenceRecord> records;
    QVERIFY(parseReferenceTextSource(shippedSource(), &records, &error));
    Database db;
    QVERIFY2(db.open(path, Database::Access::ReadOnly, &error), qPrintable(error));
    const ReferenceTextStore store(db.handle());
    int compared = 0;
    for (const ReferenceRecord &r : records) {
        QVERIFY(store.hasRecord(r.key));
        for (TextColumn c : textColumns()) {
            QCOMPARE(store.text(r.key, c), r.texts.value(c));
            // Stored as hex pairs, never as readable text.
            const QString raw = store.storedValue(r.key, c);
            QVERIFY(raw.isEmpty() || raw.contains(QRegularExpression(u"^([0-9A-F]{2})+$"_s)));
            ++compared;
        }
    }
    QCOMPARE(compared, 17 * TextColumnCount);
}

void TestReferenceTexts::shippedTextsReadWell() {
    Database db;
    QVERIFY(db.open(m_home.file(u"orluCn.mdb"_s), Database::Access::ReadOnly));
    const ReferenceTextStore store(db.handle());
    QCOMPARE(store.text(1, TextColumn::DtPot1).left(6), u"太渊 LU9"_s);
    QCOMPARE(store.text(12, TextColumn::DtEA2), u"足太阴脾经"_s);
    QVERIFY(store.text(8, TextColumn::DtMA1).startsWith(u"足厥阴肝经"_s));
    QVERIFY(store.text(13, TextColumn::DtML1).contains(u"身体能量低于正常范围"_s));
    // The measuring point named in each record is the channel table's source point.
    for (int m = 1; m <= 12; ++m)
        QVERIFY2(store.text(m, TextColumn::DtPot1).startsWith(meridian(m).sourcePoint),
                 qPrintable(QString::number(m)));
}

void TestReferenceTexts::diagrams() {
    Database db;
    QVERIFY(db.open(m_home.file(u"orluCn.mdb"_s), Database::Access::ReadOnly));
    const ReferenceTextStore store(db.handle());
    QSet<QByteArray> distinct;
    for (int m = 1; m <= 12; ++m) {
        const QByteArray png = store.picture(m);
        QImage image;
        QVERIFY2(image.loadFromData(png, "PNG"), qPrintable(QString::number(m)));
        QCOMPARE(image.size(), QSize(DiagramWidth, DiagramHeight));
        // Both measuring points are marked in red.
        QVERIFY(redPixels(image) > 40);
        distinct.insert(png);
    }
    QCOMPARE(distinct.size(), 12);
    for (int key = 13; key <= 17; ++key)
        QVERIFY(store.picture(key).isEmpty());
    QVERIFY(meridianDiagram(0).isNull());
}

void TestReferenceTexts::buildIsReproducible() {
    const QString a = m_home.file(u"a.mdb"_s);
    const QString b = m_home.file(u"b.mdb"_s);
    QVERIFY(buildReferenceTextDatabase(a, shippedReferenceTextSource(), nullptr));
    QVERIFY(buildReferenceTextDatabase(b, shippedReferenceTextSource(), nullptr));
    Database da, dbb;
    QVERIFY(da.open(a, Database::Access::ReadOnly));
    QVERIFY(dbb.open(b, Database::Access::ReadOnly));
    const ReferenceTextStore sa(da.handle()), sb(dbb.handle());
    QSet<QString> seeds;
    for (int key = 1; key <= 17; ++key) {
        for (TextColumn c : textColumns()) {
            QCOMPARE(sa.storedValue(key, c), sb.storedValue(key, c));
            seeds.insert(sa.storedValue(key, c).left(2));
        }
    }
    // Texts do not all share one seed.
    QVERIFY(seeds.size() > 10);
}

void TestReferenceTexts::failedBuildKeepsExistingDatabase() {
    const QString path = m_home.file(u"keep.mdb"_s);
    QVERIFY(buildReferenceTextDatabase(path, shippedReferenceTextSource(), nullptr));
    m_home.writeFile(u"broken.txt"_s, "@record 1\n@DtNope x\n");
    QString error;
    QVERIFY(!buildReferenceTextDatabase(path, m_home.file(u"broken.txt"_s), &error));
    QVERIFY(error.contains(u"DtNope"_s));
    QVERIFY(!buildReferenceTextDatabase(path, m_home.file(u"missing.txt"_s), &error));
    m_home.writeFile(u"emoji.txt"_s, minimalSource().replace(u"@DtMA1 文字"_s, u"@DtMA1 😀"_s).toUtf8());
    QVERIFY(!buildReferenceTextDatabase(path, m_home.file(u"emoji.txt"_s), &error));
    QVERIFY2(error.contains(u"GBK"_s), qPrintable(error));
    QVERIFY(!QFile::exists(path + u".building"_s));
    Database db;
    QVERIFY(db.open(path, Database::Access::ReadOnly));
    QVERIFY(ReferenceTextStore(db.handle()).text(1, TextColumn::DtEA2).startsWith(u"手阳明"_s));
}

void TestReferenceTexts::sourceFormat() {
    QString source = minimalSource();
    source.replace(u"@record 1\n@DtEA1 文字\n"_s,
                   u"# note\n@record 1 肺经\n@DtEA1\n\n\\@第一行\n\n\\#第三行\n\n"_s);
    QList<ReferenceRecord> records;
    QString error;
    QVERIFY2(parseReferenceTextSource(source, &records, &error), qPrintable(error));
    QCOMPARE(records.first().note, u"肺经"_s);
    QCOMPARE(records.first().texts.value(TextColumn::DtEA1), u"@第一行\n\n#第三行"_s);
}

void TestReferenceTexts::sourceErrors_data() {
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<QString>("message");
    QTest::newRow("unknown column") << u"@DtEA1 文字"_s << u"@DtEA9 文字"_s << u"DtEA9"_s;
    QTest::newRow("duplicate record") << u"@record 2\n"_s << u"@record 1\n"_s << u"重复"_s;
    QTest::newRow("record out of range") << u"@record 17\n"_s << u"@record 18\n"_s << u"18"_s;
    QTest::newRow("state with a meridian column")
        << u"@record 13\n"_s << u"@record 13\n@DtEA1 x\n"_s << u"不使用"_s;
    QTest::newRow("missing column") << u"@record 14\n@DtMA1 文字\n"_s << u"@record 14\n"_s << u"DtMA1"_s;
    QTest::newRow("text before any column")
        << u"@record 1\n"_s << u"孤立的文字\n@record 1\n"_s << u"第 1 行"_s;
}

void TestReferenceTexts::sourceErrors() {
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(QString, message);
    QString source = minimalSource();
    QVERIFY(source.contains(from));
    source.replace(source.indexOf(from), from.size(), to);
    QString error;
    QVERIFY(!parseReferenceTextSource(source, nullptr, &error));
    QVERIFY2(error.contains(message), qPrintable(error));
}

QTEST_GUILESS_MAIN(TestReferenceTexts)
#include "test_referencetexts.moc"
