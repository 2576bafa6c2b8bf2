#include "analysis/descramble.h"
#include "analysis/textstore.h"
#include "storage/database.h"
#include "storage/schema.h"
#include "support/temphome.h"

#include <QSqlQuery>
#include <QtTest>

using namespace orlu;
using namespace Qt::StringLiterals;

namespace {

QString stored(const QString &text, int seed = 0x41) {
    return scramble(toGbk(text), static_cast<std::uint8_t>(seed));
}

} // namespace

class TestTextStore : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void readText_data();
    void readText();
    void missingRecordGivesEmptyTexts();
    void picture();

private:
    test::TempHome m_home;
    Database m_db;
};

void TestTextStore::initTestCase() {
    const QString path = m_home.file(u"orluCn.mdb"_s);
    QString error;
    QVERIFY2(createDatabaseFile(path, SchemaKind::ReferenceTexts, &error), qPrintable(error));
    {
        Database writer;
        QVERIFY2(writer.open(path, Database::Access::Shared, &error), qPrintable(error));
        QSqlQuery q(writer.handle());
        QVERIFY(
            q.prepare(u"INSERT INTO KYMTDB (MKEY, DtMA1, DtMA2, DtMA3, DtMH1, DtMH2, DtML1, DtEA1, DtGpM) "
                      "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"_s));
        q.addBindValue(1);
        q.addBindValue(stored(u"手太阴肺经起于中焦。"_s));
        q.addBindValue(stored(u"第一行\r\n第二行"_s, 0xFF));
        q.addBindValue(u"41G0"_s);
        q.addBindValue(u"41"_s);
        q.addBindValue(QString());
        q.addBindValue(QVariant(QMetaType::fromType<QString>()));
        q.addBindValue(stored(u"阴经，属里（脏）"_s).toLower());
        q.addBindValue(QByteArray("\x89PNG-diagram"));
        QVERIFY2(q.exec(), qPrintable(q.lastQuery()));
        QVERIFY(q.exec(u"INSERT INTO KYMTDB (MKEY, DtMA1) VALUES (13, '%1')"_s.arg(stored(u"身体能量"_s))));
        q = QSqlQuery();
        writer.close();
    }
    QVERIFY2(m_db.open(path, Database::Access::ReadOnly, &error), qPrintable(error));
}

void TestTextStore::cleanupTestCase() {
    m_db.close();
}

void TestTextStore::readText_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("expected");
    QTest::newRow("scrambled text") << 1 << int(TextColumn::DtMA1) << u"手太阴肺经起于中焦。"_s;
    QTest::newRow("CR LF read as LF") << 1 << int(TextColumn::DtMA2) << u"第一行\n第二行"_s;
    QTest::newRow("lower-case digits") << 1 << int(TextColumn::DtEA1) << u"阴经，属里（脏）"_s;
    QTest::newRow("not hex reads empty") << 1 << int(TextColumn::DtMA3) << QString();
    QTest::newRow("too short reads empty") << 1 << int(TextColumn::DtMH1) << QString();
    QTest::newRow("empty value") << 1 << int(TextColumn::DtMH2) << QString();
    QTest::newRow("null value") << 1 << int(TextColumn::DtML1) << QString();
    QTest::newRow("column never written") << 1 << int(TextColumn::DtML5) << QString();
    QTest::newRow("state record") << 13 << int(TextColumn::DtMA1) << u"身体能量"_s;
}

void TestTextStore::readText() {
    QFETCH(int, key);
    QFETCH(int, column);
    QFETCH(QString, expected);
    const ReferenceTextStore store(m_db.handle());
    QCOMPARE(store.text(key, static_cast<TextColumn>(column)), expected);
}

void TestTextStore::missingRecordGivesEmptyTexts() {
    const ReferenceTextStore store(m_db.handle());
    QVERIFY(store.hasRecord(1));
    QVERIFY(!store.hasRecord(5));
    for (TextColumn c : textColumns())
        QVERIFY(store.text(5, c).isEmpty());
    QVERIFY(store.picture(5).isEmpty());
    const MeridianExplanation e = meridianExplanation(store, 5);
    QVERIFY(e.mainText.isEmpty());
}

void TestTextStore::picture() {
    const ReferenceTextStore store(m_db.handle());
    QCOMPARE(store.picture(1), QByteArray("\x89PNG-diagram"));
    QVERIFY(store.picture(13).isEmpty());
}

QTEST_GUILESS_MAIN(TestTextStore)
#include "test_textstore.moc"
