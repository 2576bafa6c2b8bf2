#include "storage/serverconnection.h"

#include <QtTest>

using namespace orlu;
using namespace Qt::StringLiterals;

class TestServerConnection : public QObject {
    Q_OBJECT
private slots:
    void tellsServersFromFiles_data();
    void tellsServersFromFiles();
    void readsConnections_data();
    void readsConnections();
    void refusesMalformedConnections_data();
    void refusesMalformedConnections();
    void optionsRoundTripAndHidePasswords();
};

void TestServerConnection::tellsServersFromFiles_data() {
    QTest::addColumn<QString>("setting");
    QTest::addColumn<bool>("server");
    QTest::newRow("uri") << u"postgresql://db.example/orlu"_s << true;
    QTest::newRow("short scheme") << u"postgres:///orlu"_s << true;
    QTest::newRow("service") << u"service=orlu"_s << true;
    QTest::newRow("keywords") << u"  host=db dbname=orlu"_s << true;
    QTest::newRow("file") << u"/home/a/orlu4.mdb"_s << false;
    QTest::newRow("file with equals sign") << u"/home/a=b/orlu4.mdb"_s << false;
    QTest::newRow("windows file") << u"c:\\quorix\\orlu\\orlu4.mdb"_s << false;
}

void TestServerConnection::tellsServersFromFiles() {
    QFETCH(QString, setting);
    QFETCH(bool, server);
    QCOMPARE(isServerConnection(setting), server);
}

void TestServerConnection::readsConnections_data() {
    QTest::addColumn<QString>("setting");
    QTest::addColumn<QString>("options");
    QTest::newRow("host and database")
        << u"postgresql://db.example/orlu"_s << u"host=db.example dbname=orlu"_s;
    QTest::newRow("user, port, ssl") << u"postgresql://anna@db:5433/reg?sslmode=verify-full"_s
                                     << u"user=anna host=db port=5433 dbname=reg sslmode=verify-full"_s;
    QTest::newRow("socket folder in the query")
        << u"postgresql:///orlu?host=%2Ftmp%2Fs&user=x"_s << u"dbname=orlu host=/tmp/s user=x"_s;
    QTest::newRow("socket folder as host")
        << u"postgresql://%2Fvar%2Frun%2Fpg/orlu"_s << u"host=/var/run/pg dbname=orlu"_s;
    QTest::newRow("several hosts") << u"postgresql://a:1,b:2/orlu"_s << u"host=a,b port=1,2 dbname=orlu"_s;
    QTest::newRow("ipv6") << u"postgresql://[::1]:5432/orlu"_s << u"host=::1 port=5432 dbname=orlu"_s;
    QTest::newRow("escaped database") << u"postgresql://h/%E7%99%BB%E8%AE%B0"_s << u"host=h dbname=登记"_s;
    QTest::newRow("old ssl switch") << u"postgresql://h/o?ssl=true"_s << u"host=h dbname=o sslmode=require"_s;
    QTest::newRow("service") << u"service=orlu"_s << u"service=orlu"_s;
    QTest::newRow("quoted value") << u"host=h application_name='a b\\'c'"_s
                                  << u"host=h application_name=a b'c"_s;
}

void TestServerConnection::readsConnections() {
    QFETCH(QString, setting);
    QFETCH(QString, options);
    QString error;
    const auto parsed = parseServerConnection(setting, &error);
    QVERIFY2(parsed, qPrintable(error));
    QCOMPARE(describeServerConnection(*parsed), options);
}

void TestServerConnection::refusesMalformedConnections_data() {
    QTest::addColumn<QString>("setting");
    QTest::newRow("file") << u"/tmp/orlu4.mdb"_s;
    QTest::newRow("unclosed quote") << u"host='db"_s;
    QTest::newRow("keyword without value") << u"host=db dbname"_s;
    QTest::newRow("query without value") << u"postgresql://h/o?sslmode"_s;
    QTest::newRow("unclosed ipv6") << u"postgresql://[::1/o"_s;
}

void TestServerConnection::refusesMalformedConnections() {
    QFETCH(QString, setting);
    QString error;
    QVERIFY(!parseServerConnection(setting, &error));
    QVERIFY(!error.isEmpty());
}

void TestServerConnection::optionsRoundTripAndHidePasswords() {
    const auto parsed = parseServerConnection(u"postgresql://anna:s%20cret@h/o?application_name=it's"_s);
    QVERIFY(parsed);
    QVERIFY(hasPassword(*parsed));
    QVERIFY(!describeServerConnection(*parsed).contains(u"cret"_s));
    // The string handed to the driver reads back as the same options, with the timeout added.
    const QString options = connectOptionsString(*parsed);
    QVERIFY(options.contains(u"connect_timeout=5"_s));
    const auto again = parseServerConnection(options);
    QVERIFY(again);
    QCOMPARE(again->mid(0, parsed->size()), *parsed);
    QVERIFY(!connectOptionsString({{u"connect_timeout"_s, u"2"_s}}).contains(u"=5"_s));
}

QTEST_GUILESS_MAIN(TestServerConnection)
#include "test_serverconnection.moc"
