#include "measure/pointpictures.h"

#include "core/channels.h"

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QtTest>

using namespace orlu;
using namespace Qt::StringLiterals;

class TestPointPictures : public QObject {
    Q_OBJECT
private slots:
    void writesAllSeventyTwoFiles();
    void stylesLookDifferent_data();
    void stylesLookDifferent();
    void sidesAreMirrorImages();
    void unwritableFolderIsReported();
};

namespace {
// Share of pixels that differ noticeably between two pictures of equal size.
double differingShare(const QImage &a, const QImage &b) {
    int differing = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QColor ca = a.pixelColor(x, y);
            const QColor cb = b.pixelColor(x, y);
            if (qAbs(ca.red() - cb.red()) + qAbs(ca.green() - cb.green()) + qAbs(ca.blue() - cb.blue()) > 60)
                ++differing;
        }
    return double(differing) / (a.width() * a.height());
}
} // namespace

void TestPointPictures::writesAllSeventyTwoFiles() {
    QTemporaryDir dir;
    const QString folder = dir.path() + u"/Data/"_s;
    QString error;
    QVERIFY2(buildPointPictures(folder, &error), qPrintable(error));
    QCOMPARE(QDir(folder).entryList({u"*.bmp"_s}, QDir::Files).size(), 72);
    for (PointPictureStyle style : PointPictureStyles)
        for (int c = 1; c <= ChannelCount; ++c) {
            const QImage image(folder + pointPictureName(style, c), "BMP");
            QVERIFY2(!image.isNull(), qPrintable(pointPictureName(style, c)));
            QCOMPARE(image.size(), QSize(PointPictureWidth, PointPictureHeight));
        }
    // A contact sheet for looking at the drawings by eye.
    const QString sheetPath = qEnvironmentVariable("ORLU_POINT_PICTURE_SHEET");
    if (!sheetPath.isEmpty()) {
        QImage sheet(PointPictureWidth * 12, PointPictureHeight * 6, QImage::Format_RGB32);
        QPainter p(&sheet);
        for (PointPictureStyle style : PointPictureStyles)
            for (int c = 1; c <= ChannelCount; ++c)
                p.drawImage(((c - 1) % 12) * PointPictureWidth,
                            ((static_cast<int>(style) - 1) * 2 + (c - 1) / 12) * PointPictureHeight,
                            QImage(folder + pointPictureName(style, c)));
        p.end();
        sheet.save(sheetPath);
    }
}

void TestPointPictures::stylesLookDifferent_data() {
    QTest::addColumn<int>("channel");
    QTest::newRow("left lung, palm") << 1;
    QTest::newRow("right small intestine, back of hand") << 10;
    QTest::newRow("left liver, instep") << 14;
    QTest::newRow("right kidney, inner ankle") << 21;
    QTest::newRow("right gall bladder, outer ankle") << 23;
}

void TestPointPictures::stylesLookDifferent() {
    QFETCH(int, channel);
    const QImage photo = renderPointPicture(PointPictureStyle::Photo, channel);
    const QImage drawing = renderPointPicture(PointPictureStyle::Drawing, channel);
    const QImage composite = renderPointPicture(PointPictureStyle::Composite, channel);
    QVERIFY(differingShare(photo, drawing) > 0.3);
    QVERIFY(differingShare(drawing, composite) > 0.3);
    QVERIFY(differingShare(photo, composite) > 0.05);
    // Each meridian's own point: the pictures of neighbouring channels differ.
    QVERIFY(differingShare(drawing, renderPointPicture(PointPictureStyle::Drawing, channel % 24 + 1)) >
            0.001);
}

void TestPointPictures::sidesAreMirrorImages() {
    // The line drawing without its label: compare the limb itself, left against right.
    const QImage left = renderPointPicture(PointPictureStyle::Drawing, 13);
    const QImage right = renderPointPicture(PointPictureStyle::Drawing, 19).mirrored(true, false);
    QVERIFY(differingShare(left, right) < 0.06);
    QVERIFY(differingShare(left, renderPointPicture(PointPictureStyle::Drawing, 19)) >
            differingShare(left, right));
}

void TestPointPictures::unwritableFolderIsReported() {
    QTemporaryDir dir;
    const QString blocker = dir.path() + u"/Data"_s;
    QFile f(blocker);
    QVERIFY(f.open(QIODevice::WriteOnly)); // a file where the folder should be
    f.close();
    QString error;
    QVERIFY(!buildPointPictures(blocker + u'/', &error));
    QVERIFY(!error.isEmpty());
}

QTEST_MAIN(TestPointPictures)
#include "test_pointpictures.moc"
