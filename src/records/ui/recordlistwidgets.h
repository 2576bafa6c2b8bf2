#pragma once

#include "records/sortcode.h"
#include "widgets/firstshowdialog.h"

#include <QDialog>
#include <QObject>
#include <QString>
#include <QWidget>

class QComboBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QTableView;

// Pieces the record windows share: tool buttons, the list views, the sort and
// search line, and the "cell entered" notice of a list.
namespace orlu {

// "资料总笔数:" with the count text, and the caption "受测者资料" over the subject list.
QHBoxLayout *countRow(QWidget *window, QLabel *&countLabel);

// A read-only list that selects whole rows.
void setUpListView(QTableView *view, const QString &objectName);
int currentRow(const QTableView *view);
// Moves the current row, keeping the current column, and shows it.
void setCurrentRow(QTableView *view, int row);

// "数据查询方式：" column box, "排列方式：" direction box and a search box, showing the shared sort code.
class SortSearchBar : public QWidget {
    Q_OBJECT
public:
    SortSearchBar(const QString &searchLabel, QWidget *parent = nullptr);

    // Shows a sort code without reporting a change.
    void showOrder(SubjectOrder order);
    QComboBox *columnBox() const { return m_columnBox; }
    QComboBox *directionBox() const { return m_directionBox; }
    QLineEdit *searchBox() const { return m_searchBox; }

signals:
    // The operator changed either box; `code` is the new sort code.
    void sortChanged(SubjectOrder order);
    void searchChanged(const QString &text);

private:
    void report();

    QComboBox *m_columnBox = nullptr;
    QComboBox *m_directionBox = nullptr;
    QLineEdit *m_searchBox = nullptr;
};

// Tells when the operator enters a list (it takes the focus) and when he enters
// one of its cells: a click on a cell or a move to another column. Moves of the
// current row made by the program are not entries.
class ListEntryWatcher : public QObject {
    Q_OBJECT
public:
    explicit ListEntryWatcher(QTableView *view);

signals:
    void listEntered();
    void cellEntered();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};

} // namespace orlu
