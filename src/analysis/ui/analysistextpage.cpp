#include "analysis/ui/analysistextpage.h"

#include "analysis/ui/analysiswidgets.h"
#include "analysis/ui/selectionpaste.h"
#include "widgets/toolbuttons.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QToolButton>
#include <QVBoxLayout>

namespace orlu {

using namespace Qt::StringLiterals;

namespace {

constexpr int LeftColumnWidth = 236;

} // namespace

AnalysisTextPage::AnalysisTextPage(const TextPageLayout &layout, QWidget *parent)
    : QWidget(parent) {
    setObjectName(indexedName("textPage", layout.page));

    auto *left = new QVBoxLayout;
    left->setSpacing(2);
    left->addWidget(makeLabel(u"单经络分析"_s, this));
    m_list = new QListWidget(this);
    m_list->setObjectName(layout.listName);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setFixedWidth(LeftColumnWidth);
    left->addWidget(m_list, 3);
    left->addWidget(makeLabel(u"多经络分析"_s, this));
    auto *slot = new QWidget(this);
    slot->setObjectName(indexedName("multiListSlot", layout.page));
    slot->setFixedWidth(LeftColumnWidth);
    m_multiSlot = new QVBoxLayout(slot);
    m_multiSlot->setContentsMargins(0, 0, 0, 0);
    left->addWidget(slot, 2);

    auto *right = new QVBoxLayout;
    right->setSpacing(2);
    for (int i = 0; i < layout.boxes.size(); ++i) {
        const TextPageLayout::Box &boxLayout = layout.boxes.at(i);
        auto *head = new QHBoxLayout;
        head->addWidget(makeLabel(boxLayout.caption, this));
        head->addStretch();
        // The text tool bar sits level with the first box's caption.
        if (i == 0) {
            for (int t = 0; t < layout.tools.size(); ++t) {
                const TextPageLayout::Tool &tool = layout.tools.at(t);
                QToolButton *b = makeToolButton(tool.objectName, tool.text, {}, this);
                b->setCheckable(true);
                b->setAutoRaise(true);
                b->setVisible(tool.visible);
                connect(b, &QToolButton::clicked, this, [this, t] { emit toolClicked(t); });
                m_tools.append(b);
                head->addWidget(b);
            }
        }
        right->addLayout(head);
        QPlainTextEdit *box = makeTextBox(boxLayout.objectName, this);
        m_boxes.append(box);
        right->addWidget(box, 1);
    }

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    m_selection = addSelectionButtons(m_boxes, layout.page, buttons, this);
    right->addLayout(buttons);

    auto *columns = new QHBoxLayout(this);
    columns->setContentsMargins(4, 4, 4, 4);
    columns->setSpacing(8);
    columns->addLayout(left);
    columns->addLayout(right, 1);
}

void AnalysisTextPage::holdMultiList(QListWidget *list) {
    if (list->parentWidget() != m_multiSlot->parentWidget())
        m_multiSlot->addWidget(list);
}

void AnalysisTextPage::pressTool(int i) {
    for (int t = 0; t < m_tools.size(); ++t)
        m_tools.at(t)->setChecked(t == i);
}

void AnalysisTextPage::setToolsEnabled(bool enabled) {
    for (QToolButton *b : std::as_const(m_tools))
        b->setEnabled(enabled);
}

void AnalysisTextPage::clearBoxes() {
    for (QPlainTextEdit *box : std::as_const(m_boxes))
        box->clear();
}

int AnalysisTextPage::rowOfKey(int key) const {
    for (int row = 0; row < m_list->count(); ++row) {
        if (keyOfRow(row) == key)
            return row;
    }
    return -1;
}

int AnalysisTextPage::keyOfRow(int row) const {
    const QListWidgetItem *item = m_list->item(row);
    return item ? item->data(RowKeyRole).toInt() : 0;
}

} // namespace orlu
