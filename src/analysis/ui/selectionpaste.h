#pragma once

#include <QList>
#include <QObject>
#include <QStringList>

class QAbstractButton;
class QBoxLayout;
class QPlainTextEdit;

namespace orlu {

// "全选" and "贴上" of one page: select-all works on the text box that has the
// input focus, or on all of the page's boxes when none has it; paste is
// enabled exactly while some text is selected in them and hands the
// selections on, in box order, then clears them.
class SelectionPaste : public QObject {
    Q_OBJECT
public:
    SelectionPaste(QList<QPlainTextEdit *> boxes, QAbstractButton *selectAll, QAbstractButton *paste,
                   QObject *parent = nullptr);

    void selectAll();
    void paste();
    // Re-evaluates the paste button.
    void refresh();
    bool hasSelection() const;

signals:
    // The non-empty selections, each with its line breaks as "\n".
    void pasted(const QStringList &selections);

private:
    QList<QPlainTextEdit *> m_boxes;
    QAbstractButton *m_paste = nullptr;
};

// Adds the "全选" and "贴上" buttons of page `page` to `row`, working on `boxes`.
SelectionPaste *addSelectionButtons(QList<QPlainTextEdit *> boxes, int page, QBoxLayout *row,
                                    QWidget *parent);

// The selected text of a box with plain "\n" line breaks.
QString selectedPlainText(const QPlainTextEdit *box);

} // namespace orlu
