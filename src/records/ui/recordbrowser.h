#pragma once

#include "records/measurementlistmodel.h"
#include "records/recordcontext.h"
#include "storage/registerwatcher.h"
#include "records/subjectlistmodel.h"

#include <QObject>

#include <memory>
#include <optional>

class QHBoxLayout;
class QLabel;
class QTableView;
class QWidget;

namespace orlu {

class SortSearchBar;

// How the record windows browse the register: the subject list in the shared sort
// order with its sort and search line and count, over the measurement list of the
// current subject. The window lays the widgets out and adds its own buttons.
class RecordBrowser : public QObject {
    Q_OBJECT
public:
    RecordBrowser(const RecordContext &context, const QString &searchLabel, QWidget *window);

    SortSearchBar *searchBar() const { return m_searchBar; }
    // "资料总笔数:" with the count, and the caption over the subject list; the window places it.
    QHBoxLayout *countRow() const { return m_countRow; }
    QTableView *subjectView() const { return m_subjectView; }
    QTableView *measurementView() const { return m_measurementView; }
    SubjectListModel &subjectList() { return *m_subjectList; }
    MeasurementListModel &measurementList() { return *m_measurementList; }

    // Sorts by the shared sort code and shows it in the boxes, empties the search box,
    // moves to the first subject whose number begins with `subjectNumber` and shows the count.
    void open(const QString &subjectNumber);
    // Moves to a subject row; -1 leaves the current row.
    void moveToSubject(int row);
    // Reads the subject list again and moves to the row of `key`, or else to `fallbackRow`.
    void reloadSubjects(int fallbackRow, qint64 key);
    void showCount();

    int subjectRow() const;
    qint64 subjectKey() const;
    std::optional<Subject> subject() const;
    int measurementRow() const;
    qint64 measurementKey() const;

signals:
    // The current subject changed; the measurement list already shows its measurements.
    void subjectChanged();
    void measurementChanged();
    // The operator chose another sort; the list is re-sorted and keeps its subject.
    void sortChanged();

private:
    void subjectRowChanged();
    void search(const QString &text);
    void changeSort(SubjectOrder order);
    // Another seat changed the register: both lists are read again, on the same rows.
    void registerChanged();

    RecordContext m_context;
    std::unique_ptr<SubjectListModel> m_subjectList;
    std::unique_ptr<MeasurementListModel> m_measurementList;
    SortSearchBar *m_searchBar = nullptr;
    QLabel *m_countLabel = nullptr;
    QHBoxLayout *m_countRow = nullptr;
    QTableView *m_subjectView = nullptr;
    QTableView *m_measurementView = nullptr;
    std::unique_ptr<RegisterWatcher> m_watcher;
};

} // namespace orlu
