#include "transfer/ui/transferwindow.h"

#include "recordfixture.h"
#include "transfer/ui/transferpages.h"
#include "transferfixture.h"
#include "widgets/gradientprogressbar.h"
#include "support/windowdriver.h"

#include <QCheckBox>
#include <QLabel>
#include <QRadioButton>
#include <QSqlQuery>
#include <QTabWidget>
#include <QTableView>
#include <QtTest>

#include <cerrno>

using namespace orlu;
using namespace orlu::test;
using namespace Qt::StringLiterals;

namespace {

// A medium with no room at all.
class FullMedium final : public FileCopier {
protected:
    ssize_t writeSome(int, const char *, size_t) override {
        errno = ENOSPC;
        return -1;
    }
};

} // namespace

class TestTransferWindow : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void opensOnTheExportPageWithPreviewsHidden();
    void exportBoxesShowTheirPreviewAndEnableExport();
    void importNeedsABoxAndATransferFile();
    void exportAsksThenWritesWithProgress();
    void exportAnsweredNoWritesNothing();
    void diskFullExportSaysSoAndLeavesNoFile();
    void replaceImportAsksWithItsOwnQuestion();
    void fileVanishedBeforeTheCopy();

private:
    std::unique_ptr<RecordFixture> f;
    std::unique_ptr<QTemporaryDir> outside;
    FullMedium fullMedium;

    std::unique_ptr<TransferWindow> open(FileCopier *copier = nullptr) {
        auto w = std::make_unique<TransferWindow>(TransferWindowContext{
            TransferStore(f->database), ProgramFolder(f->home.path()), f->prompter, f->time, f->time,
            [this](AlertTone tone) { f->tones.append(static_cast<int>(tone)); }, copier});
        w->show();
        return w;
    }
    static bool enabled(QWidget *w, const char *button) { return child<QToolButton>(w, button)->isEnabled(); }
    static void showImportPage(QWidget *w) { child<QTabWidget>(w, "transferPages")->setCurrentIndex(1); }
    void makeTransferFile() {
        makeRegisterFile(outside->filePath(u"KyTran.mdb"_s));
        OpenFile file(outside->filePath(u"KyTran.mdb"_s));
        insertRow(file.db(), u"KYCUST"_s, {{u"CUSTNO"_s, u"N1"_s}, {u"NAME"_s, u"新"_s}});
    }
};

void TestTransferWindow::init() {
    f = std::make_unique<RecordFixture>();
    outside = std::make_unique<QTemporaryDir>();
    f->addSubject(u"B2"_s, u"李四"_s, true, 0, u"台中"_s);
    f->addSubject(u"A1"_s, u"张三"_s, true, 0, u"台北"_s);
    f->addMeasurement(u"A1"_s, 46000.5);
    insertRow(f->db(), u"KYPRO"_s, {{u"ProNo"_s, u"C1"_s}, {u"ProName"_s, u"疗程"_s}});
}

void TestTransferWindow::cleanup() {
    f.reset();
    outside.reset();
}

void TestTransferWindow::opensOnTheExportPageWithPreviewsHidden() {
    auto w = open();
    QCOMPARE(w->windowTitle(), u"档案汇入/汇出作业"_s);
    QCOMPARE(child<QTabWidget>(w.get(), "transferPages")->currentIndex(), 0);
    // The folder trees start at the home folder.
    QCOMPARE(child<QLabel>(w.get(), "exportDestinationLabel")->text(), QDir::homePath());
    QCOMPARE(child<QLabel>(w.get(), "statusLine")->text(),
             u"本功能会将系统工作目录下的档案数据，汇出到您所指定的磁盘或目录中。"_s);
    for (const char *name :
         {"coursePreviewList", "subjectPreviewList", "courseCountLabel", "subjectCountLabel"})
        QVERIFY2(!child<QWidget>(w.get(), name)->isVisible(), name);
    QVERIFY(!enabled(w.get(), "exportButton"));
    QVERIFY(!enabled(w.get(), "importButton"));
    QVERIFY(enabled(w.get(), "leaveButton"));
    showImportPage(w.get());
    QCOMPARE(child<QLabel>(w.get(), "statusLine")->text(),
             u"本功能会将您所指定的磁盘或目录中档案数据，汇入到系统工作目录中。"_s);
    QVERIFY(child<QRadioButton>(w.get(), "appendButton")->isChecked());
}

void TestTransferWindow::exportBoxesShowTheirPreviewAndEnableExport() {
    auto w = open();
    clickCheck(child<QCheckBox>(w.get(), "exportRecordsBox"));
    auto *subjects = child<QTableView>(w.get(), "subjectPreviewList");
    QVERIFY(subjects->isVisible());
    QCOMPARE(child<QLabel>(w.get(), "subjectCountLabel")->text(), u"[     2]"_s);
    QVERIFY(!child<QWidget>(w.get(), "coursePreviewList")->isVisible());
    // Sorted by subject number, with number, name and address.
    QCOMPARE(subjects->model()->index(0, 0).data().toString(), u"A1"_s);
    QCOMPARE(subjects->model()->index(0, 2).data().toString(), u"台北"_s);
    QCOMPARE(subjects->model()->headerData(1, Qt::Horizontal).toString(), u"姓名"_s);
    QVERIFY(enabled(w.get(), "exportButton"));
    clickCheck(child<QCheckBox>(w.get(), "exportCoursesBox"));
    QCOMPARE(child<QLabel>(w.get(), "courseCountLabel")->text(), u"[     1]"_s);
    clickCheck(child<QCheckBox>(w.get(), "exportRecordsBox"));
    clickCheck(child<QCheckBox>(w.get(), "exportCoursesBox"));
    QVERIFY(!enabled(w.get(), "exportButton"));
    QVERIFY(!subjects->isVisible());
}

void TestTransferWindow::importNeedsABoxAndATransferFile() {
    auto w = open();
    showImportPage(w.get());
    auto *page = child<ImportPage>(w.get(), "importPage");
    page->chooser()->setFolder(outside->path());
    clickCheck(child<QCheckBox>(w.get(), "importRecordsBox"));
    QVERIFY(!enabled(w.get(), "importButton")); // no KyTran.mdb there
    makeTransferFile();
    page->chooser()->setFolder(outside->path());
    QVERIFY(enabled(w.get(), "importButton"));
    QVERIFY(!enabled(w.get(), "exportButton"));
    clickCheck(child<QCheckBox>(w.get(), "importRecordsBox"));
    QVERIFY(!enabled(w.get(), "importButton"));
    QCOMPARE(child<QLabel>(w.get(), "importSourceLabel")->text(), QDir(outside->path()).absolutePath());
}

void TestTransferWindow::exportAsksThenWritesWithProgress() {
    auto w = open();
    clickCheck(child<QCheckBox>(w.get(), "exportRecordsBox"));
    child<ExportPage>(w.get(), "exportPage")->chooser()->setFolder(outside->path());
    QCOMPARE(child<QLabel>(w.get(), "exportDestinationLabel")->text(), QDir(outside->path()).absolutePath());
    auto *bar = child<GradientProgressBar>(w.get(), "progressBar");
    QCOMPARE(bar->maximum(), TransferWindow::ProgressMaximum);
    QList<int> positions;
    connect(bar, &GradientProgressBar::valueChanged, this, [&](int v) { positions << v; });
    bool leaveDuring = true;
    f->time.setOnPump([&](quint32) { leaveDuring = leaveDuring && enabled(w.get(), "leaveButton"); });
    click(w.get(), "exportButton");
    QCOMPARE(f->tones, QList<int>{1});
    QCOMPARE(f->prompter.asked().size(), 2);
    QCOMPARE(f->prompter.asked()[0].type, MessageType::AskImportant);
    QCOMPARE(f->prompter.asked()[0].text,
             u"请确定目的地的磁盘或磁盘空间容量许可，确定汇出数据，请按确认键。"_s);
    QCOMPARE(f->prompter.asked()[1].type, MessageType::NoteDone); // a success, not a failure
    QCOMPARE(f->prompter.asked()[1].text, u"资料汇出成功 !!"_s);
    QCOMPARE(child<QLabel>(w.get(), "statusLine")->text(), u"已汇出: 受测者 2 位，检测记录 1 笔"_s);
    QVERIFY(!leaveDuring); // "离  开" is disabled while the export runs
    QVERIFY2(positions.contains(TransferWindow::ProgressMaximum),
             qPrintable(QString::number(positions.size())));
    QCOMPARE(bar->value(), 0);
    OpenFile file(outside->filePath(u"KyTran.mdb"_s));
    QSqlQuery q(file.db());
    QVERIFY(q.exec(u"SELECT (SELECT count(*) FROM KYCUST), (SELECT count(*) FROM KYPRO)"_s) && q.next());
    QCOMPARE(q.value(0).toInt(), 2);
    QCOMPARE(q.value(1).toInt(), 0);
    QVERIFY(enabled(w.get(), "leaveButton"));
}

void TestTransferWindow::exportAnsweredNoWritesNothing() {
    auto w = open();
    clickCheck(child<QCheckBox>(w.get(), "exportCoursesBox"));
    child<ExportPage>(w.get(), "exportPage")->chooser()->setFolder(outside->path());
    f->prompter.answer(false);
    click(w.get(), "exportButton");
    QCOMPARE(f->prompter.asked().size(), 1);
    QVERIFY(!QFile::exists(outside->filePath(u"KyTran.mdb"_s)));
    QVERIFY(!QFile::exists(f->home.file(u"KyTran.mdb"_s)));
}

void TestTransferWindow::diskFullExportSaysSoAndLeavesNoFile() {
    auto w = open(&fullMedium);
    clickCheck(child<QCheckBox>(w.get(), "exportRecordsBox"));
    child<ExportPage>(w.get(), "exportPage")->chooser()->setFolder(outside->path());
    click(w.get(), "exportButton");
    QCOMPARE(f->tones, (QList<int>{1, 2}));
    QCOMPARE(f->prompter.asked().last().type, MessageType::NoteCaution);
    QCOMPARE(f->prompter.asked().last().text, u"磁盘容量不足 !! 请排除问题后重新汇出数据。"_s);
    QCOMPARE(QDir(outside->path()).entryList(QDir::Files), QStringList{});
}

void TestTransferWindow::replaceImportAsksWithItsOwnQuestion() {
    makeTransferFile();
    auto w = open();
    showImportPage(w.get());
    child<ImportPage>(w.get(), "importPage")->chooser()->setFolder(outside->path());
    clickCheck(child<QCheckBox>(w.get(), "importRecordsBox"));
    clickCheck(child<QRadioButton>(w.get(), "replaceButton"));
    click(w.get(), "importButton");
    QCOMPARE(f->tones, QList<int>{2});
    QCOMPARE(f->prompter.asked()[0].text,
             u"执行本功能将会取代现有的数据，原有的数据将删除而且无法回复！您确定要汇入吗 ?"_s);
    QVERIFY(f->prompter.asked()[1].text.startsWith(u"数据汇入成功，原有的数据已被取代 !!"_s));
    QCOMPARE(f->rows(u"KYCUST"_s), 1);
    QCOMPARE(f->rows(u"KYPRO"_s), 1); // not chosen, so kept
    QCOMPARE(child<QLabel>(w.get(), "subjectCountLabel")->text(), u"[     1]"_s);
}

void TestTransferWindow::fileVanishedBeforeTheCopy() {
    makeTransferFile();
    auto w = open();
    showImportPage(w.get());
    child<ImportPage>(w.get(), "importPage")->chooser()->setFolder(outside->path());
    clickCheck(child<QCheckBox>(w.get(), "importCoursesBox"));
    QVERIFY(enabled(w.get(), "importButton"));
    QVERIFY(QFile::remove(outside->filePath(u"KyTran.mdb"_s)));
    click(w.get(), "importButton");
    QCOMPARE(f->prompter.asked()[0].text, u"执行本功能会将数据附加至现有的数据中，您确定要汇入吗 ?"_s);
    QCOMPARE(f->prompter.asked().last().text, u"来源的档案数据不存在 !! 请排除问题后重新汇入数据。"_s);
    QCOMPARE(f->tones, (QList<int>{2, 2}));
    QCOMPARE(f->rows(u"KYPRO"_s), 1);
    QVERIFY(!enabled(w.get(), "importButton"));
}

QTEST_MAIN(TestTransferWindow)
#include "test_transferwindow.moc"
