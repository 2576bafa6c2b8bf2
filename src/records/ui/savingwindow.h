#pragma once

#include "records/measurementrepository.h"
#include "records/recordcontext.h"
#include "storage/registerwatcher.h"
#include "records/subjectlistmodel.h"
#include "records/ui/recordlistwidgets.h"

#include <memory>

class QLabel;
class QTableView;
class QToolButton;

namespace orlu {

class SortSearchBar;

// The saving window: the operator picks or adds a subject and the current
// measurement is appended to KYDATA under that subject's number.
class SavingWindow : public FirstShowDialog {
    Q_OBJECT
public:
    explicit SavingWindow(const RecordContext &context, QWidget *parent = nullptr);

    SubjectListModel &subjectList() { return *m_subjectList; }

private:
    struct SelectedSubject {
        Subject subject;
        bool selected = false;
        qint64 bookmark = 0; // MKEY of its row
    };

    void fillSubjectList();
    void subjectColumnEntered();
    void subjectDoubleClicked();
    void addSubjectClicked(); // "新增受测者"
    void saveClicked();       // "储存数据"
    void searchTextChanged(const QString &text);
    void changeSort(SubjectOrder order);
    // Another seat changed the register: the list is read again on the same row.
    void registerChanged();

    void selectCurrentRow();
    void showSelected();
    void showCount();
    bool store();
    bool askToStore();

    RecordContext m_context;
    std::unique_ptr<SubjectListModel> m_subjectList;
    MeasurementRepository m_measurements;
    std::unique_ptr<RegisterWatcher> m_watcher;
    SelectedSubject m_selected;

    QToolButton *m_addSubjectButton = nullptr;
    QToolButton *m_saveButton = nullptr;
    QToolButton *m_leaveButton = nullptr;
    SortSearchBar *m_searchBar = nullptr;
    QTableView *m_listView = nullptr;
    QLabel *m_countLabel = nullptr;
    QLabel *m_numberValue = nullptr;
    QLabel *m_nameValue = nullptr;
    QLabel *m_birthDateValue = nullptr;
    QLabel *m_sexValue = nullptr;
    QLabel *m_ageValue = nullptr;
    QLabel *m_telephoneValue = nullptr;
    QLabel *m_mobileValue = nullptr;
    QLabel *m_addressValue = nullptr;
    QLabel *m_emailValue = nullptr;
};

} // namespace orlu
