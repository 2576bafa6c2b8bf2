#pragma once

#include "records/measurementrepository.h"
#include "records/recordcontext.h"
#include "records/subjectlistmodel.h"
#include "records/ui/recordlistwidgets.h"

class QLabel;
class QTableView;
class QToolButton;

namespace orlu {

class SortSearchBar;

// The saving window: the operator picks or adds a subject and the current
// measurement is appended to KYDATA under that subject's number.
class SavingWindow : public RecordDialog {
    Q_OBJECT
public:
    explicit SavingWindow(const RecordContext &context, QWidget *parent = nullptr);

    SubjectListModel &subjectList() { return m_subjectList; }

private:
    struct SelectedSubject {
        Subject subject;
        bool selected = false;
        qint64 bookmark = 0; // MKEY of its row
    };

    void windowShown() override;
    void subjectColumnEntered();
    void subjectDoubleClicked();
    void addSubjectClicked(); // "新增受测者"
    void saveClicked();       // "储存数据"
    void searchTextChanged(const QString &text);
    void changeSort(int code);

    void selectCurrentRow();
    void showSelected();
    void showCount();
    bool store();
    bool askToStore();

    RecordContext m_context;
    SubjectListModel m_subjectList;
    MeasurementRepository m_measurements;
    SelectedSubject m_selected;

    QToolButton *m_addSubjectButton;
    QToolButton *m_saveButton;
    QToolButton *m_leaveButton;
    SortSearchBar *m_searchBar;
    QTableView *m_listView;
    QLabel *m_countLabel;
    QLabel *m_numberValue;
    QLabel *m_nameValue;
    QLabel *m_birthDateValue;
    QLabel *m_sexValue;
    QLabel *m_ageValue;
    QLabel *m_telephoneValue;
    QLabel *m_mobileValue;
    QLabel *m_addressValue;
    QLabel *m_emailValue;
};

} // namespace orlu
