#include "analysis/selectionpaste.h"

#include <QAbstractButton>
#include <QPlainTextEdit>
#include <QTextCursor>

namespace orlu {

QString selectedPlainText(const QPlainTextEdit *box) {
    QString text = box->textCursor().selectedText();
    // The cursor reports paragraph ends as U+2029 and soft breaks as U+2028.
    text.replace(QChar::ParagraphSeparator, u'\n');
    text.replace(QChar::LineSeparator, u'\n');
    return text;
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
