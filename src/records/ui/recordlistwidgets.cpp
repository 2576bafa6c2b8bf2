#include "records/ui/recordlistwidgets.h"

#include "records/sortcode.h"

#include <QComboBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>

namespace orlu {

using namespace Qt::StringLiterals;

QHBoxLayout *countRow(QWidget *window, QLabel *&countLabel) {
    countLabel = new QLabel(window);
    countLabel->setObjectName(u"countLabel"_s);
    auto *row = new QHBoxLayout;
    row->addWidget(new QLabel(u"资料总笔数:"_s, window));
    row->addWidget(countLabel);
    row->addStretch(1);
    row->addWidget(new QLabel(u"受测者资料"_s, window));
    row->addStretch(1);
    return row;
}

void setUpListView(QTableView *view, const QString &objectName) {
    view->setObjectName(objectName);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setAlternatingRowColors(true);
    view->setWordWrap(false);
    view->setSortingEnabled(false);
    // Rows of one height let the view show a list of any length without measuring it.
    view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 6);
    view->verticalHeader()->hide();
    view->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    view->horizontalHeader()->setHighlightSections(false);
}

int currentRow(const QTableView *view) {
    const QModelIndex i = view->currentIndex();
    return i.isValid() ? i.row() : -1;
}

void setCurrentRow(QTableView *view, int row) {
    QAbstractItemModel *model = view->model();
    if (!model || row < 0 || row >= model->rowCount())
        return;
    const int column = qMax(view->currentIndex().column(), 0);
    const QModelIndex target = model->index(row, column);
    view->selectionModel()->setCurrentIndex(target,
                                            QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    view->scrollTo(target);
}

SortSearchBar::SortSearchBar(const QString &searchLabel, QWidget *parent)
    : QWidget(parent)
    , m_columnBox(new QComboBox(this))
    , m_directionBox(new QComboBox(this))
    , m_searchBox(new QLineEdit(this)) {
    m_columnBox->setObjectName(u"columnBox"_s);
    m_columnBox->addItems(sortColumnItems());
    m_directionBox->setObjectName(u"directionBox"_s);
    m_directionBox->addItems(sortDirectionItems());
    m_searchBox->setObjectName(u"searchBox"_s);
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(new QLabel(u"数据查询方式："_s, this));
    row->addWidget(m_columnBox);
    row->addSpacing(12);
    row->addWidget(new QLabel(u"排列方式："_s, this));
    row->addWidget(m_directionBox);
    row->addSpacing(12);
    row->addWidget(new QLabel(searchLabel, this));
    row->addWidget(m_searchBox, 1);
    connect(m_columnBox, &QComboBox::activated, this, [this] {
        m_searchBox->setEnabled(true);
        report();
    });
    connect(m_directionBox, &QComboBox::activated, this, [this] { report(); });
    connect(m_searchBox, &QLineEdit::textChanged, this, &SortSearchBar::searchChanged);
}

void SortSearchBar::showOrder(SubjectOrder order) {
    m_columnBox->setCurrentIndex(order.columnIndex());
    m_directionBox->setCurrentIndex(order.descending ? 1 : 0);
}

void SortSearchBar::report() {
    emit sortChanged(
        SubjectOrder::fromBoxes(m_columnBox->currentIndex(), m_directionBox->currentIndex() == 1));
}

ListEntryWatcher::ListEntryWatcher(QTableView *view)
    : QObject(view) {
    view->installEventFilter(this);
    connect(view, &QAbstractItemView::pressed, this, &ListEntryWatcher::cellEntered);
    auto watchSelection = [this, view] {
        connect(view->selectionModel(), &QItemSelectionModel::currentChanged, this,
                [this](const QModelIndex &now, const QModelIndex &before) {
                    if (now.isValid() && before.isValid() && now.column() != before.column())
                        emit cellEntered();
                });
    };
    watchSelection();
}

bool ListEntryWatcher::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::FocusIn)
        emit listEntered();
    return QObject::eventFilter(watched, event);
}

} // namespace orlu
