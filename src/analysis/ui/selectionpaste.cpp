#include "analysis/ui/selectionpaste.h"

#include <QAbstractButton>
#include <QBoxLayout>
#include <QPushButton>
#include <QPlainTextEdit>
#include <QTextCursor>

namespace orlu {

using namespace Qt::StringLiterals;

QString selectedPlainText(const QPlainTextEdit *box) {
    QString text = box->textCursor().selectedText();
    // The cursor reports paragraph ends as U+2029 and soft breaks as U+2028.
    text.replace(QChar::ParagraphSeparator, u'\n');
    text.replace(QChar::LineSeparator, u'\n');
    return text;
}

SelectionPaste *addSelectionButtons(QList<QPlainTextEdit *> boxes, int page, QBoxLayout *row,
                                    QWidget *parent) {
    auto *selectAll = new QPushButton(u"全选"_s, parent);
    selectAll->setObjectName(u"selectAllButton"_s + QString::number(page));
    selectAll->setToolTip(u"将全部数据选取为剪贴的数据"_s);
    auto *paste = new QPushButton(u"贴上"_s, parent);
    paste->setObjectName(u"pasteButton"_s + QString::number(page));
    paste->setToolTip(u"将选取的数据贴入处置记录"_s);
    row->addWidget(selectAll);
    row->addWidget(paste);
    return new SelectionPaste(std::move(boxes), selectAll, paste, parent);
}

SelectionPaste::SelectionPaste(QList<QPlainTextEdit *> boxes, QAbstractButton *selectAll,
                               QAbstractButton *paste, QObject *parent)
    : QObject(parent)
    , m_boxes(std::move(boxes))
    , m_paste(paste) {
    // The buttons must not take the focus away from the box they act on.
    selectAll->setFocusPolicy(Qt::NoFocus);
    paste->setFocusPolicy(Qt::NoFocus);
    connect(selectAll, &QAbstractButton::clicked, this, &SelectionPaste::selectAll);
    connect(paste, &QAbstractButton::clicked, this, &SelectionPaste::paste);
    for (QPlainTextEdit *box : m_boxes) {
        connect(box, &QPlainTextEdit::selectionChanged, this, &SelectionPaste::refresh);
        connect(box, &QPlainTextEdit::textChanged, this, &SelectionPaste::refresh);
    }
    refresh();
}

void SelectionPaste::selectAll() {
    QList<QPlainTextEdit *> targets;
    for (QPlainTextEdit *box : m_boxes) {
        if (box->hasFocus())
            targets = {box};
    }
    if (targets.isEmpty())
        targets = m_boxes;
    for (QPlainTextEdit *box : targets)
        box->selectAll();
    refresh();
}

void SelectionPaste::paste() {
    QStringList selections;
    for (QPlainTextEdit *box : m_boxes) {
        const QString text = selectedPlainText(box);
        if (!text.isEmpty())
            selections.append(text);
        QTextCursor cursor = box->textCursor();
        cursor.clearSelection();
        box->setTextCursor(cursor);
    }
    refresh();
    if (!selections.isEmpty())
        emit pasted(selections);
}

bool SelectionPaste::hasSelection() const {
    for (const QPlainTextEdit *box : m_boxes) {
        if (box->textCursor().hasSelection())
            return true;
    }
    return false;
}

void SelectionPaste::refresh() {
    m_paste->setEnabled(hasSelection());
}

} // namespace orlu
