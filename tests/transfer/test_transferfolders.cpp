#include "transfer/transferfolders.h"

#include <QtTest>

using namespace orlu;
using namespace Qt::StringLiterals;

using Volumes = QList<MountedVolume>;

class TestTransferFolders : public QObject {
    Q_OBJECT
private slots:
    void homeFirstThenMediaThenRoot_data();
    void homeFirstThenMediaThenRoot();
};

void TestTransferFolders::homeFirstThenMediaThenRoot_data() {
    QTest::addColumn<QString>("home");
    QTest::addColumn<Volumes>("volumes");
    QTest::addColumn<QStringList>("choices");
    QTest::newRow("system volumes are not media") << u"/home/ann"_s
                                                  << Volumes{{u"/"_s, u"/dev/sda2"_s},
                                                             {u"/boot"_s, u"/dev/sda1"_s},
                                                             {u"/mnt"_s, u"/dev/sdc1"_s},
                                                             {u"/mnt/tools"_s, u"tools"_s},
                                                             {u"/media/ann/share"_s, u"//server/share"_s}}
                                                  << QStringList{u"/home/ann"_s, u"/"_s};
    QTest::newRow("media in name order, each once")
        << u"/home/ann"_s
        << Volumes{{u"/run/media/ann/STICK"_s, u"/dev/sdb1"_s},
                   {u"/media/ann/CARD"_s, u"/dev/mmcblk0p1"_s},
                   {u"/mnt/backup"_s, u"/dev/sdc1"_s},
                   {u"/media/ann/CARD/"_s, u"/dev/mmcblk0p1"_s}}
        << QStringList{u"/home/ann"_s, u"/media/ann/CARD"_s, u"/mnt/backup"_s, u"/run/media/ann/STICK"_s,
                       u"/"_s};
    QTest::newRow("no home") << QString() << Volumes{{u"/media/ann/CARD"_s, u"/dev/sdb1"_s}}
                             << QStringList{u"/media/ann/CARD"_s, u"/"_s};
}

void TestTransferFolders::homeFirstThenMediaThenRoot() {
    QFETCH(QString, home);
    QFETCH(Volumes, volumes);
    QFETCH(QStringList, choices);
    QCOMPARE(transferFolderChoices(home, volumes), choices);
}

QTEST_GUILESS_MAIN(TestTransferFolders)
#include "test_transferfolders.moc"
