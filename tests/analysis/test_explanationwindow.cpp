#include "analysis/ui/explanationwindow.h"
#include "support/controls.h"

#include "analysis/referencetextbuilder.h"
#include "analysis/textstore.h"
#include "storage/database.h"

#include <QAbstractButton>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QSqlQuery>
#include <QTabWidget>
#include <QtTest>

using namespace orlu;
using namespace Qt::StringLiterals;

namespace {

struct Fixture {
    Database textDb;
    std::unique_ptr<ExplanationWindow> window;

    explicit Fixture(const QString &path) {
        QString error;
        if (!textDb.open(path, Database::Access::ReadOnly, &error))
            qWarning("texts: %s", qPrintable(error));
        window = std::make_unique<ExplanationWindow>(ReferenceTextStore(textDb.handle()));
        window->show();
    }
    template <typename T> T *child(const QString &name) const { return test::control<T>(window.get(), name); }
    QString box(const QString &name) const { return child<QPlainTextEdit>(name)->toPlainText(); }
    QString field(const QString &name) const { return child<QLabel>(name)->text(); }
    QListWidget *list() const { return child<QListWidget>(u"meridianList"_s); }
    void clickRow(int row) const {
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, {},
                          list()->visualItemRect(list()->item(row)).center());
    }
    QString stored(int key, TextColumn c) const { return ReferenceTextStore(textDb.handle()).text(key, c); }
    QString blank(const QString &a, const QString &b) const { return a + u"\n\n"_s + b; }
};

} // namespace

class TestExplanationWindow : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void opensOnTheLungWithoutHighlight();
    void listRowsExactly();
    void clickingARowShowsItsRecord_data();
    void clickingARowShowsItsRecord();
    void emptyColumnsKeepTheBlankLine();
    void pagesShowEveryTextUncut_data();
    void pagesShowEveryTextUncut();
    void wholeDiagramInView_data();
    void wholeDiagramInView();
    void leftColumnStaysPut();

private:
    QTemporaryDir m_dir;
    QString m_texts;
};

void TestExplanationWindow::initTestCase() {
    m_texts = m_dir.filePath(u"orluCn.mdb"_s);
    QString error;
    QVERIFY2(buildReferenceTextDatabase(m_texts, shippedReferenceTextSource(), &error), qPrintable(error));
}

void TestExplanationWindow::opensOnTheLungWithoutHighlight() {
    Fixture fx(m_texts);
    QCOMPARE(fx.window->windowTitle(), u"经络图示解说"_s);
    QCOMPARE(fx.window->size(), QSize(783, 570));
    QCOMPARE(fx.window->shownKey(), 1);
    QCOMPARE(fx.list()->selectedItems().size(), 0);
    QCOMPARE(fx.list()->currentRow(), -1);
    QCOMPARE(fx.child<QTabWidget>(u"pageTabs"_s)->currentIndex(), 0);
    QCOMPARE(fx.box(u"mainText"_s), fx.stored(1, TextColumn::DtMA1));
    QCOMPARE(fx.field(u"interiorExteriorLabel"_s), fx.stored(1, TextColumn::DtEA1));
    QVERIFY(!fx.child<QLabel>(u"diagramPicture"_s)->pixmap().isNull());
    QCOMPARE(fx.field(u"statusText"_s), u"请至 [经络名称] 栏中,点选需要查询的经络数据"_s);
}

void TestExplanationWindow::listRowsExactly() {
    Fixture fx(m_texts);
    QCOMPARE(fx.list()->count(), 12);
    QCOMPARE(fx.list()->item(0)->text(), u" 1. 手太阴 肺\u3000经"_s);
    QCOMPARE(fx.list()->item(1)->text(), u" 2. 手厥阴 心包经"_s);
    QCOMPARE(fx.list()->item(8)->text(), u" 9. 足少阴 肾\u3000经"_s);
    QCOMPARE(fx.list()->item(9)->text(), u"10.足太阳 膀胱经"_s);
    QCOMPARE(fx.list()->item(11)->text(), u"12.足阳明 胃\u3000经"_s);
}

void TestExplanationWindow::clickingARowShowsItsRecord_data() {
    QTest::addColumn<int>("row");
    QTest::newRow("12.足阳明 胃　经") << 11;
    QTest::newRow("10.足太阳 膀胱经") << 9;
    QTest::newRow(" 2. 手厥阴 心包经") << 1;
}

void TestExplanationWindow::clickingARowShowsItsRecord() {
    QFETCH(int, row);
    Fixture fx(m_texts);
    fx.clickRow(row);
    const int key = row + 1;
    QCOMPARE(fx.window->shownKey(), key);
    QCOMPARE(fx.field(u"interiorExteriorLabel"_s), fx.stored(key, TextColumn::DtEA1));
    QCOMPARE(fx.field(u"partnerLabel"_s), fx.stored(key, TextColumn::DtEA2));
    QCOMPARE(fx.field(u"elementLabel"_s), fx.stored(key, TextColumn::DtEA4));
    QCOMPARE(fx.field(u"flowTimeLabel"_s), fx.stored(key, TextColumn::DtEA5));
    QCOMPARE(fx.field(u"measuringPointLabel"_s), fx.stored(key, TextColumn::DtPot1));
    QCOMPARE(fx.field(u"tonifyingPointLabel"_s), fx.stored(key, TextColumn::DtPot3));
    QCOMPARE(fx.box(u"excessText"_s), fx.stored(key, TextColumn::DtMH1));
    QCOMPARE(fx.box(u"deficiencyText"_s), fx.stored(key, TextColumn::DtML1));
    QCOMPARE(fx.box(u"ryodorakuDeficiencyText"_s), fx.stored(key, TextColumn::DtML5));
    QCOMPARE(fx.box(u"prescriptionExcessText"_s),
             fx.blank(fx.stored(key, TextColumn::DtMH3), fx.stored(key, TextColumn::DtMH2)));
    QCOMPARE(fx.box(u"prescriptionDeficiencyText"_s),
             fx.blank(fx.stored(key, TextColumn::DtML3), fx.stored(key, TextColumn::DtML2)));
    QCOMPARE(fx.box(u"dietExcessText"_s),
             fx.blank(fx.stored(key, TextColumn::DtMA3), fx.stored(key, TextColumn::DtMH4)));
    QCOMPARE(fx.box(u"dietDeficiencyText"_s), fx.stored(key, TextColumn::DtML4));
    // The diagram is the record's own picture.
    QImage expected;
    QVERIFY(expected.loadFromData(ReferenceTextStore(fx.textDb.handle()).picture(key)));
    QCOMPARE(fx.child<QLabel>(u"diagramPicture"_s)->pixmap().toImage().convertToFormat(QImage::Format_RGB32),
             expected.convertToFormat(QImage::Format_RGB32));
}

void TestExplanationWindow::emptyColumnsKeepTheBlankLine() {
    // A copy of the texts whose prescription and diet columns of the lung are empty.
    const QString path = m_dir.filePath(u"empty.mdb"_s);
    QFile::remove(path);
    QVERIFY(QFile::copy(m_texts, path));
    {
        Database db;
        QVERIFY(db.open(path, Database::Access::Shared));
        QSqlQuery q(db.handle());
        QVERIFY(q.exec(u"UPDATE KYMTDB SET DtMH3 = '', DtMH2 = NULL, DtMA3 = '', DtMH4 = '', DtMA1 = '' "
                       "WHERE MKEY = 1"_s));
    }
    Fixture fx(path);
    QCOMPARE(fx.box(u"mainText"_s), QString());
    QCOMPARE(fx.box(u"prescriptionExcessText"_s), u"\n\n"_s);
    QCOMPARE(fx.box(u"dietExcessText"_s), u"\n\n"_s);
    QVERIFY(!fx.box(u"prescriptionDeficiencyText"_s).isEmpty());
}

void TestExplanationWindow::pagesShowEveryTextUncut_data() {
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("page");
    // The heart and the small intestine have the longest element and point texts.
    for (int row : {0, 2, 3, 9})
        for (int page = 0; page < 5; ++page)
            QTest::addRow("row %d page %d", row, page) << row << page;
}

// Labels and buttons are as large as their texts and inside their holders.
// ORLU_SCREENSHOTS names a folder for pictures of the pages.
void TestExplanationWindow::pagesShowEveryTextUncut() {
    QFETCH(int, row);
    QFETCH(int, page);
    Fixture fx(m_texts);
    fx.clickRow(row);
    fx.child<QTabWidget>(u"pageTabs"_s)->setCurrentIndex(page);
    QVERIFY(QTest::qWaitForWindowExposed(fx.window.get()));
    for (QWidget *w : fx.window->findChildren<QWidget *>()) {
        if (!w->isVisible() || !(qobject_cast<QLabel *>(w) || qobject_cast<QAbstractButton *>(w)))
            continue;
        const QString what = w->objectName() + u" "_s + w->property("text").toString();
        // The diagram is stretched to its frame.
        auto *label = qobject_cast<QLabel *>(w);
        if (label && label->wordWrap()) {
            QVERIFY2(w->height() >= w->heightForWidth(w->width()), qPrintable(what));
        } else if (w->objectName() != u"diagramPicture"_s) {
            QVERIFY2(w->width() >= w->sizeHint().width() && w->height() >= w->sizeHint().height() - 2,
                     qPrintable(what));
        }
        QVERIFY2(w->parentWidget()->rect().contains(w->geometry()), qPrintable(what));
    }
    const QString folder = qEnvironmentVariable("ORLU_SCREENSHOTS");
    if (!folder.isEmpty())
        fx.window->grab().save(folder + u"/explanation-row%1-page%2.png"_s.arg(row).arg(page));
}

void TestExplanationWindow::wholeDiagramInView_data() {
    QTest::addColumn<int>("row");
    QTest::newRow(" 1. 手太阴 肺　经") << 0;
    QTest::newRow("12.足阳明 胃　经: its point is on the foot") << 11;
}

// The whole figure, feet included, is in sight without scrolling.
void TestExplanationWindow::wholeDiagramInView() {
    QFETCH(int, row);
    Fixture fx(m_texts);
    fx.clickRow(row);
    QVERIFY(QTest::qWaitForWindowExposed(fx.window.get()));
    auto *scroll = fx.child<QScrollArea>(u"diagramScroll"_s);
    auto *diagram = fx.child<QLabel>(u"diagramPicture"_s);
    QVERIFY(scroll->viewport()->rect().contains(diagram->geometry()));
    QVERIFY(!scroll->verticalScrollBar()->isVisible());
    QVERIFY(!scroll->horizontalScrollBar()->isVisible());
    // Not a thumbnail: it fills the height of the view, drawn in its own proportions.
    QVERIFY(diagram->height() >= scroll->viewport()->height() - 1);
    const QSize picture = diagram->pixmap().size();
    QVERIFY(qAbs(diagram->width() * picture.height() - diagram->height() * picture.width()) <=
            picture.height() + picture.width());
}

// Choosing another meridian neither moves the list nor wraps the stem and element line.
void TestExplanationWindow::leftColumnStaysPut() {
    Fixture fx(m_texts);
    QVERIFY(QTest::qWaitForWindowExposed(fx.window.get()));
    const QRect listAtOpening = fx.list()->geometry();
    for (int row = 0; row < 12; ++row) {
        fx.clickRow(row);
        QCoreApplication::sendPostedEvents();
        QCOMPARE(fx.list()->geometry(), listAtOpening);
        for (const QString &name : {u"stemLabel"_s, u"elementLabel"_s}) {
            auto *label = fx.child<QLabel>(name);
            const int oneLine = label->heightForWidth(QWIDGETSIZE_MAX);
            QVERIFY2(label->heightForWidth(label->width()) <= oneLine, qPrintable(label->text()));
        }
    }
    // All twelve rows in sight.
    QVERIFY(fx.list()->viewport()->rect().contains(fx.list()->visualItemRect(fx.list()->item(11))));
}

QTEST_MAIN(TestExplanationWindow)
#include "test_explanationwindow.moc"
