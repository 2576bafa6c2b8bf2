#include "transfer/ui/transferwindow.h"

#include "storage/databasefiles.h"
#include "records/ui/recordlistwidgets.h"
#include "transfer/transferfolders.h"
#include "transfer/ui/transferpages.h"
#include "widgets/gradientprogressbar.h"
#include "widgets/toolbuttons.h"
#include "widgets/windowsetup.h"

#include <QCloseEvent>
#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <cmath>

namespace orlu {

using namespace Qt::StringLiterals;

namespace {

const QString ExportStatus = u"本功能会将系统工作目录下的档案数据，汇出到您所指定的磁盘或目录中。"_s;
const QString ImportStatus = u"本功能会将您所指定的磁盘或目录中档案数据，汇入到系统工作目录中。"_s;

} // namespace

TransferWindow::TransferWindow(TransferWindowContext context, QWidget *parent)
    : QDialog(parent)
    , m_context(std::move(context))
    , m_courses(m_context.records.preview(TransferPreviewModel::Kind::Courses))
    , m_subjects(m_context.records.preview(TransferPreviewModel::Kind::Subjects)) {
    setUpWindow(this, {.objectName = u"transferWindow"_s, .title = u"档案汇入/汇出作业"_s});

    auto *bar = new QToolBar(this);
    m_exportButton =
        addToolButton(bar, u"exportButton"_s, u"资料汇出"_s, u"开始将选取的数据汇出至外部档案"_s);
    m_importButton =
        addToolButton(bar, u"importButton"_s, u"汇入数据"_s, u"开始将外部档案数据汇入至系统中"_s);
    m_leaveButton = addToolButton(bar, u"leaveButton"_s, u"离  开"_s, u"离开数据储存系统"_s);

    m_courses->refresh();
    m_subjects->refresh();
    m_pages = new QTabWidget(this);
    m_pages->setObjectName(u"transferPages"_s);
    m_exportPage = new ExportPage(*m_courses, *m_subjects, m_pages);
    m_exportPage->setObjectName(u"exportPage"_s);
    m_importPage = new ImportPage(m_pages);
    m_importPage->setObjectName(u"importPage"_s);
    m_pages->addTab(m_exportPage, u"汇出"_s);
    m_pages->addTab(m_importPage, u"汇入"_s);
    m_exportPage->showCounts();

    auto *workFolder = new QLabel(QDir::toNativeSeparators(m_context.folder.path()), this);
    workFolder->setObjectName(u"workFolderLabel"_s);
    workFolder->setFrameShape(QFrame::Panel);
    workFolder->setFrameShadow(QFrame::Sunken);
    m_progressBar = new GradientProgressBar(this);
    m_progressBar->setObjectName(u"progressBar"_s);
    m_progressBar->setRange(0, ProgressMaximum);
    m_progressBar->setColors(Qt::white, QColor(0, 160, 0));
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(new QLabel(u"系统工作目录:"_s, this));
    bottom->addWidget(workFolder, 1);
    bottom->addWidget(new QLabel(u"完成比例:"_s, this));
    bottom->addWidget(m_progressBar, 1);

    m_statusLine = new QLabel(this);
    m_statusLine->setObjectName(u"statusLine"_s);
    m_statusLine->setFrameShape(QFrame::StyledPanel);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(bar);
    layout->addWidget(m_pages, 1);
    layout->addLayout(bottom);
    layout->addWidget(m_statusLine);
    resize(860, 560);

    connect(m_exportButton, &QToolButton::clicked, this, &TransferWindow::exportClicked);
    connect(m_importButton, &QToolButton::clicked, this, &TransferWindow::importClicked);
    connect(m_leaveButton, &QToolButton::clicked, this, &TransferWindow::reject);
    connect(m_pages, &QTabWidget::currentChanged, this, &TransferWindow::pageChanged);
    connect(m_exportPage, &ExportPage::choiceChanged, this, &TransferWindow::updateButtons);
    connect(m_importPage, &ImportPage::choiceChanged, this, &TransferWindow::updateButtons);
    connect(m_importPage, &ImportPage::folderChanged, this, &TransferWindow::updateButtons);
    pageChanged();
}

void TransferWindow::pageChanged() {
    showPageStatus();
    updateButtons();
}

void TransferWindow::showPageStatus() {
    m_statusLine->setText(m_pages->currentWidget() == m_exportPage ? ExportStatus : ImportStatus);
}

void TransferWindow::updateButtons() {
    const bool exporting = m_pages->currentWidget() == m_exportPage;
    m_exportButton->setEnabled(!m_running && exporting &&
                               (m_exportPage->coursesChosen() || m_exportPage->recordsChosen()));
    // The file is looked for every time, so the button never promises a file that is not there.
    m_importButton->setEnabled(!m_running && !exporting &&
                               (m_importPage->coursesChosen() || m_importPage->recordsChosen()) &&
                               !transferFileIn(m_importPage->folder()).isEmpty());
    m_leaveButton->setEnabled(!m_running);
}

void TransferWindow::tone(AlertTone tone) const {
    if (m_context.playAlertTone)
        m_context.playAlertTone(tone);
}

void TransferWindow::progressed(double fraction) {
    m_progressBar->setValue(int(std::lround(fraction * ProgressMaximum)));
    m_progressBar->repaint();
    m_context.pump.pump(0);
}

void TransferWindow::run(TransferDirection direction, TransferKinds kinds,
                         const std::function<TransferOutcome(TransferOperations &)> &operation) {
    m_running = true;
    updateButtons();
    TransferOperations operations = m_context.records.operations(
        m_context.folder, m_context.clock, m_context.copier ? *m_context.copier : m_ownCopier, this);
    const TransferOutcome outcome = operation(operations);
    if (outcome.ok)
        m_progressBar->setValue(ProgressMaximum);
    // The status line tells what was written until the page changes; a failure wrote nothing.
    if (outcome.ok)
        m_statusLine->setText(transferSummary(direction, kinds, outcome.counts));
    else
        showPageStatus();
    tell(outcome);
    m_running = false;
    m_progressBar->setValue(0);
    updateButtons();
}

void TransferWindow::tell(const TransferOutcome &outcome) {
    for (const TransferNotice &n : outcome.notices) {
        if (n.tone)
            tone(*n.tone);
        m_context.prompter.showMessageBox(n.type, n.text);
    }
}

void TransferWindow::exportClicked() {
    tone(AlertTone::Notice);
    if (!m_context.prompter.showMessageBox(
            MessageType::AskImportant, u"请确定目的地的磁盘或磁盘空间容量许可，确定汇出数据，请按确认键。"_s))
        return;
    const TransferKinds kinds{m_exportPage->coursesChosen(), m_exportPage->recordsChosen()};
    const QString folder = m_exportPage->folder().trimmed();
    run(TransferDirection::Export, kinds,
        [&](TransferOperations &operations) { return operations.exportTo(folder, kinds); });
}

void TransferWindow::importClicked() {
    const bool replace = m_importPage->replaceChosen();
    tone(AlertTone::Caution);
    if (!m_context.prompter.showMessageBox(
            MessageType::AskImportant,
            replace ? u"执行本功能将会取代现有的数据，原有的数据将删除而且无法回复！您确定要汇入吗 ?"_s
                    : u"执行本功能会将数据附加至现有的数据中，您确定要汇入吗 ?"_s))
        return;
    const TransferKinds kinds{m_importPage->coursesChosen(), m_importPage->recordsChosen()};
    const QString folder = m_importPage->folder().trimmed();
    QString file = transferFileIn(folder);
    if (file.isEmpty())
        file = QDir(folder).filePath(dbfile::Transfer); // gone meanwhile: the copy says so
    run(TransferDirection::Import, kinds, [&](TransferOperations &operations) {
        return operations.importFrom(file, kinds, replace ? ImportMode::Replace : ImportMode::Append);
    });
    m_courses->refresh();
    m_subjects->refresh();
    m_exportPage->showCounts();
}

void TransferWindow::reject() {
    if (!m_running)
        QDialog::reject();
}

void TransferWindow::closeEvent(QCloseEvent *event) {
    // An operation runs to its end; the window closes afterwards.
    if (m_running)
        event->ignore();
    else
        QDialog::closeEvent(event);
}

} // namespace orlu
