#include "transfer/transferfolders.h"

#include <QtTest>

using namespace orlu;
using namespace Qt::StringLiterals;

class TestTransferFolders : public QObject {
    Q_OBJECT
private slots:
    void homeFirstThenMediaThenRoot_data();
    void homeFirstThenMediaThenRoot();
};

void TestTransferFolders::homeFirstThenMediaThenRoot_data() {
    QTest::addColumn<QString>("home");
    QTest::addColumn<QStringList>("mounts");
    QTest::addColumn<QStringList>("choices");
    QTest::newRow("system volumes are not media")
        << u"/home/ann"_s << QStringList{u"/"_s, u"/boot"_s, u"/home"_s, u"/mnt"_s}
        << QStringList{u"/home/ann"_s, u"/"_s};
    QTest::newRow("media in name order, each once")
        << u"/home/ann"_s
        << QStringList{u"/run/media/ann/STICK"_s, u"/media/ann/CARD"_s, u"/mnt/backup"_s,
                       u"/media/ann/CARD/"_s}
        << QStringList{u"/home/ann"_s, u"/media/ann/CARD"_s, u"/mnt/backup"_s, u"/run/media/ann/STICK"_s,
                       u"/"_s};
    QTest::newRow("no home") << QString() << QStringList{u"/media/ann/CARD"_s}
                             << QStringList{u"/media/ann/CARD"_s, u"/"_s};
}

void TestTransferFolders::homeFirstThenMediaThenRoot() {
    QFETCH(QString, home);
    QFETCH(QStringList, mounts);
    QFETCH(QStringList, choices);
    QCOMPARE(transferFolderChoices(home, mounts), choices);
}

QTEST_GUILESS_MAIN(TestTransferFolders)
#include "test_transferfolders.moc"
