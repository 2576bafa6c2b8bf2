// The analysis window's lists: the three single-meridian lists kept in step
// with each other, and the multi-meridian list of the supplied course set.
#include "analysis/textblocks.h"
#include "analysis/textstore.h"
#include "analysis/ui/analysistextpage.h"
#include "analysis/ui/analysiswidgets.h"
#include "analysis/ui/analysiswindow.h"

#include <QListWidget>
#include <QPlainTextEdit>
#include <QToolButton>

namespace orlu {

namespace {

constexpr int DifferentiationPage = 3;
constexpr int PrescriptionPage = 4;
constexpr int DietPage = 5;

void fillList(QListWidget *list, const QList<ListRow> &rows) {
    const QSignalBlocker quiet(list);
    list->clear();
    for (const ListRow &row : rows) {
        auto *item = new QListWidgetItem(row.caption, list);
        item->setData(RowKeyRole, row.key);
    }
}

} // namespace

void AnalysisWindow::fillLists() {
    fillList(textPage(DifferentiationPage)->list(), m_result.differentiationList);
    fillList(textPage(DietPage)->list(), m_result.dietList);
    fillList(textPage(PrescriptionPage)->list(), m_result.prescriptionList);
    m_sync.setLists(m_result.differentiationList, m_result.prescriptionList, m_result.dietList);
}

int AnalysisWindow::selectedRow(const QListWidget *list) const {
    const QList<QListWidgetItem *> selected = list->selectedItems();
    return selected.isEmpty() ? -1 : list->row(selected.first());
}

void AnalysisWindow::selectQuietly(QListWidget *list, int row) {
    const QSignalBlocker quiet(list);
    if (row < 0) {
        list->clearSelection();
        list->setCurrentRow(-1);
    } else {
        list->setCurrentRow(row);
    }
}

// Called on every click and every change of the selection, so a click on the
// row already shown still brings the other lists to its meridian; a call that
// would change nothing returns at once.
void AnalysisWindow::listSelected(int page) {
    const int row = selectedRow(textPage(page)->list());
    if (row < 0)
        return;
    for (const MeridianListSync::Show &show : m_sync.choose(listOfPage(page), row)) {
        const int target = pageOfList(show.list);
        if (target != page)
            selectQuietly(textPage(target)->list(), show.row);
        if (show.row < 0)
            textPage(target)->clearBoxes();
        else
            showRow(target, show.row);
    }
}

int AnalysisWindow::listOfPage(int page) {
    return page == DifferentiationPage ? 0 : page == PrescriptionPage ? 1 : 2;
}

int AnalysisWindow::pageOfList(int list) {
    static constexpr int Pages[] = {DifferentiationPage, PrescriptionPage, DietPage};
    return Pages[list];
}

void AnalysisWindow::showRow(int page, int row) {
    if (page == DifferentiationPage)
        showDifferentiation(row);
    else if (page == PrescriptionPage)
        showPrescription(row);
    else
        showDiet(row);
}

void AnalysisWindow::showDifferentiation(int row) {
    if (!m_texts)
        return;
    AnalysisTextPage *page = textPage(DifferentiationPage);
    const int key = page->keyOfRow(row);
    showText(page->box(0), differentiationBlock(*m_texts, m_result, key));
    // State items have no Ryodoraku text.
    showText(page->box(1), key <= MeridianRecordCount ? ryodorakuBlock(*m_texts, m_result, key) : QString());
    m_sync.setShown(listOfPage(DifferentiationPage), row);
    afterListSelection();
}

void AnalysisWindow::showPrescription(int row) {
    if (!m_texts)
        return;
    AnalysisTextPage *page = textPage(PrescriptionPage);
    showText(page->box(0), prescriptionBlock(*m_texts, m_result, page->keyOfRow(row)));
    m_sync.setShown(listOfPage(PrescriptionPage), row);
    afterListSelection();
}

void AnalysisWindow::showDiet(int row) {
    if (!m_texts)
        return;
    AnalysisTextPage *page = textPage(DietPage);
    showText(page->box(0), dietBlock(*m_texts, m_result, page->keyOfRow(row)));
    m_sync.setShown(listOfPage(DietPage), row);
    afterListSelection();
}

// A single-meridian row is now what the text pages show.
void AnalysisWindow::afterListSelection() {
    m_multiSelected = false;
    m_multiCourse.reset();
    setTextToolsEnabled(false);
    selectQuietly(m_multiList, -1);
}

void AnalysisWindow::multiMeridianSelected() {
    const int row = selectedRow(m_multiList);
    if (row < 0)
        return;
    m_multiCourse.reset();
    if (m_suppliedCourses)
        m_multiCourse = m_suppliedCourses->suppliedTextsByName(m_multiList->item(row)->text());
    const SuppliedCourseTexts course = m_multiCourse.value_or(SuppliedCourseTexts{});

    for (AnalysisTextPage *page : m_textPages)
        page->clearBoxes();
    showText(textPage(DifferentiationPage)->box(0), course.description);
    showText(textPage(PrescriptionPage)->box(0), course.medicine(1));
    textPage(PrescriptionPage)->pressTool(0);
    showText(textPage(DietPage)->box(0), course.health(1));
    textPage(DietPage)->pressTool(0);

    for (int page : {DifferentiationPage, PrescriptionPage, DietPage})
        selectQuietly(textPage(page)->list(), -1);
    m_sync.clearShown();
    setTextToolsEnabled(true);
    m_multiSelected = true;
}

void AnalysisWindow::medicineToolClicked(int i) {
    AnalysisTextPage *page = textPage(PrescriptionPage);
    page->pressTool(i);
    if (m_multiCourse)
        showText(page->box(0), m_multiCourse->medicine(i + 1));
}

void AnalysisWindow::healthToolClicked(int i) {
    AnalysisTextPage *page = textPage(DietPage);
    page->pressTool(i);
    if (m_multiCourse)
        showText(page->box(0), m_multiCourse->health(i + 1));
}

void AnalysisWindow::setTextToolsEnabled(bool enabled) {
    textPage(PrescriptionPage)->setToolsEnabled(enabled);
    textPage(DietPage)->setToolsEnabled(enabled);
}

} // namespace orlu
