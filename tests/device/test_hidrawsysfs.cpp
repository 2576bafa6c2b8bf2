#include "device/hidrawsysfs.h"
#include "support/temphome.h"

#include <QDir>
#include <QtTest>

using namespace Qt::StringLiterals;
using orlu::test::TempHome;

namespace orlu {

// Report lengths from report descriptors and USB strings from a sysfs tree
// laid out as the kernel lays it out.
class TestHidrawSysfs : public QObject {
    Q_OBJECT

private slots:
    void reportDescriptor_data();
    void reportDescriptor();
    void descriptorFuzz();
    void stringDescriptor_data();
    void stringDescriptor();
    void stringsFromSysfs_data();
    void stringsFromSysfs();
    void layoutFallsBackTo64();
};

void TestHidrawSysfs::reportDescriptor_data() {
    QTest::addColumn<QByteArray>("descriptor");
    QTest::addColumn<int>("input");
    QTest::addColumn<int>("output");
    QTest::addColumn<bool>("numbered");
    // Vendor page, 64 bytes in, 64 bytes out, no report ids: the probe's kind.
    const QByteArray vendor64 =
        QByteArray::fromHex("0600FF0901A1010902150026FF007508954081020903150026FF00750895409102C0");
    QTest::newRow("64 in, 64 out") << vendor64 << 65 << 65 << false;
    // Report id 2 with 8 in and 16 out bytes, then id 3 with 32 in bytes.
    const QByteArray numbered = QByteArray::fromHex("0600FF0901A1018502750895088102951091028503952081"
                                                    "02C0");
    QTest::newRow("numbered, longest wins") << numbered << 33 << 17 << true;
    // Push and pop restore the report size.
    // Push and pop: 4 one-bit fields inside, then 4 bytes again after the pop.
    QTest::newRow("push/pop") << QByteArray::fromHex("A10175089504A4750195048102B48102C0") << 6 << 0 << false;
    QTest::newRow("no reports") << QByteArray::fromHex("0600FF0901A101C0") << 0 << 0 << false;
    QTest::newRow("truncated item dropped") << QByteArray::fromHex("75089540910295") << 0 << 65 << false;
}

void TestHidrawSysfs::reportDescriptor() {
    QFETCH(QByteArray, descriptor);
    QFETCH(int, input);
    QFETCH(int, output);
    QFETCH(bool, numbered);
    const auto layout = hidraw::parseReportDescriptor(descriptor);
    if (input == 0 && output == 0) {
        QVERIFY(!layout);
        return;
    }
    QVERIFY(layout);
    QCOMPARE(layout->inputLength, input);
    QCOMPARE(layout->outputLength, output);
    QCOMPARE(layout->numbered, numbered);
}

void TestHidrawSysfs::descriptorFuzz() {
    QRandomGenerator rng(7);
    for (int round = 0; round < 5000; ++round) {
        QByteArray d(rng.bounded(200), '\0');
        for (auto &c : d)
            c = static_cast<char>(rng.bounded(256));
        const auto layout = hidraw::parseReportDescriptor(d);
        if (layout)
            QVERIFY(layout->inputLength >= 0 && layout->inputLength <= 4097 && layout->outputLength <= 4097);
        hidraw::decodeStringDescriptor(d);
    }
}

void TestHidrawSysfs::stringDescriptor_data() {
    QTest::addColumn<QByteArray>("descriptor");
    QTest::addColumn<QString>("text");
    QTest::newRow("ascii") << QByteArray::fromHex("0A03560032002E003100") << u"V2.1"_s;
    QTest::newRow("chinese") << QByteArray::fromHex("060348722C67") << u"版本"_s;
    QTest::newRow("length beyond data") << QByteArray::fromHex("200341004200") << u"AB"_s;
    QTest::newRow("odd byte ignored") << QByteArray::fromHex("0503410042") << u"A"_s;
    QTest::newRow("not a string") << QByteArray::fromHex("0A0256003200") << QString();
    QTest::newRow("empty") << QByteArray() << QString();
}

void TestHidrawSysfs::stringDescriptor() {
    QFETCH(QByteArray, descriptor);
    QFETCH(QString, text);
    QCOMPARE(hidraw::decodeStringDescriptor(descriptor), text);
}

namespace {

// A sysfs tree: class/hidraw/hidraw3/device -> devices/.../1-2/1-2:1.0/0003:C925:A12F.0001
QString makeSysfs(const TempHome &home, const QByteArray &descriptors) {
    const QString usb = u"sys/devices/pci0000:00/usb1/1-2"_s;
    const QString hid = usb + u"/1-2:1.0/0003:C925:A12F.0001"_s;
    QDir(home.path()).mkpath(hid);
    QDir(home.path()).mkpath(u"sys/class/hidraw/hidraw3"_s);
    QFile::link(home.file(hid), home.file(u"sys/class/hidraw/hidraw3/device"_s));
    home.writeFile(usb + u"/descriptors"_s, descriptors);
    home.writeFile(usb + u"/idVendor"_s, "c925\n");
    home.writeFile(usb + u"/busnum"_s, "1\n");
    home.writeFile(usb + u"/devnum"_s, "12\n");
    home.writeFile(usb + u"/manufacturer"_s, "Quorix\n");
    home.writeFile(usb + u"/product"_s, "ORLU Probe\n");
    home.writeFile(usb + u"/serial"_s, "HW 5.07\n");
    home.writeFile(usb + u"/configuration"_s, "Default\n");
    home.writeFile(usb + u"/1-2:1.0/interface"_s, "Probe HID\n");
    home.writeFile(
        hid + u"/report_descriptor"_s,
        QByteArray::fromHex("0600FF0901A1010902150026FF007508954081020903150026FF00750895409102C0"));
    return home.file(u"sys"_s);
}

QByteArray descriptors(int iManufacturer, int iProduct, int iSerial, int iConfiguration, int iInterface) {
    QByteArray d = QByteArray::fromHex("120100020000004025C92FA1000101020301");
    d[14] = char(iManufacturer);
    d[15] = char(iProduct);
    d[16] = char(iSerial);
    QByteArray config = QByteArray::fromHex("0902290001010080FA");
    config[6] = char(iConfiguration);
    QByteArray iface = QByteArray::fromHex("090400000203000000");
    iface[8] = char(iInterface);
    return d + config + iface;
}

} // namespace

void TestHidrawSysfs::stringsFromSysfs_data() {
    QTest::addColumn<QByteArray>("descriptors");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("text");
    QTest::newRow("serial is 3") << descriptors(1, 2, 3, 0, 0) << 3 << u"HW 5.07"_s;
    QTest::newRow("manufacturer is 3") << descriptors(3, 1, 2, 0, 0) << 3 << u"Quorix"_s;
    QTest::newRow("interface is 3") << descriptors(1, 2, 0, 0, 3) << 3 << u"Probe HID"_s;
    QTest::newRow("configuration is 3") << descriptors(1, 2, 0, 3, 0) << 3 << u"Default"_s;
    QTest::newRow("nothing is 3") << descriptors(1, 2, 0, 0, 0) << 3 << QString();
    QTest::newRow("index 0") << descriptors(1, 2, 3, 0, 0) << 0 << QString();
    QTest::newRow("short descriptors") << QByteArray("\x12\x01", 2) << 3 << QString();
}

void TestHidrawSysfs::stringsFromSysfs() {
    QFETCH(QByteArray, descriptors);
    QFETCH(int, index);
    QFETCH(QString, text);
    TempHome home;
    const QString root = makeSysfs(home, descriptors);
    const QString usbDir = hidraw::usbDeviceDirectory(u"/dev/hidraw3"_s, root);
    QVERIFY(usbDir.endsWith(u"/1-2"_s));
    QCOMPARE(hidraw::usbStringFromSysfs(usbDir, index), text);
    QCOMPARE(hidraw::usbAddress(usbDir).value_or(hidraw::UsbAddress{}).node, u"/dev/bus/usb/001/012"_s);
    const hidraw::ReportLayout layout = hidraw::reportLayout(u"/dev/hidraw3"_s, root);
    QCOMPARE(layout.inputLength, 65);
    QCOMPARE(layout.outputLength, 65);
}

void TestHidrawSysfs::layoutFallsBackTo64() {
    TempHome home;
    const hidraw::ReportLayout layout = hidraw::reportLayout(u"/dev/hidraw9"_s, home.file(u"sys"_s));
    QCOMPARE(layout.inputLength, 65);
    QCOMPARE(layout.outputLength, 65);
    QVERIFY(hidraw::usbDeviceDirectory(u"/dev/hidraw9"_s, home.file(u"sys"_s)).isEmpty());
}

} // namespace orlu

QTEST_GUILESS_MAIN(orlu::TestHidrawSysfs)
#include "test_hidrawsysfs.moc"
