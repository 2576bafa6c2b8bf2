#pragma once

#include "records/recordcontext.h"
#include "records/subjectrepository.h"
#include "records/ui/recordlistwidgets.h"

#include <QDateTime>

class QCheckBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QRadioButton;
class QStackedWidget;
class QToolButton;

namespace orlu {

// The subject editor: adds a subject to KYCUST (add mode) or changes one (modify mode).
class SubjectEditor : public FirstShowDialog {
    Q_OBJECT
public:
    // `addFlag` is shared with the caller: set it to true for add mode and false for modify
    // mode before the window opens; once it has closed it is true exactly when a subject was
    // added. In modify mode `subjectKey` is the MKEY of the subject to change.
    SubjectEditor(const RecordContext &context, bool &addFlag, qint64 subjectKey = 0,
                  QWidget *parent = nullptr);

    bool isAddMode() const { return m_addMode; }
    // MKEY of the subject added, 0 when none was.
    qint64 addedKey() const { return m_addedKey; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

public slots:
    void reject() override;

private:
    void showMode();
    void showAddMode();
    void showModifyMode();
    void saveClicked(); // "储存数据  "
    void saveNew();
    void refuseDuplicate(const SubjectRecord &existing);
    void saveChanges();
    void setBirthDateOn(bool on);
    void rememberDate(const QDateTime &when);
    double birthDateValue() const;
    bool handleEnter(QObject *watched);

    RecordContext m_context;
    bool &m_addFlag;
    bool m_addMode;
    qint64 m_subjectKey;
    qint64 m_addedKey = 0;
    SubjectRepository m_subjects;
    SubjectRecord m_record; // the row being changed in modify mode
    QDateTime m_remembered; // invalid when nothing is remembered

    QToolButton *m_saveButton = nullptr;
    QToolButton *m_leaveButton = nullptr;
    QLineEdit *m_numberEdit = nullptr;
    QLabel *m_numberNote = nullptr;
    QLineEdit *m_nameEdit = nullptr;
    QCheckBox *m_birthDateCheck = nullptr;
    QDateEdit *m_birthDateEdit = nullptr;
    QLineEdit *m_addressEdit = nullptr;
    QLineEdit *m_emailEdit = nullptr;
    QLineEdit *m_telephoneEdit = nullptr;
    QLineEdit *m_mobileEdit = nullptr;
    QLineEdit *m_faxEdit = nullptr;
    QRadioButton *m_maleRadio = nullptr;
    QRadioButton *m_femaleRadio = nullptr;
    QStackedWidget *m_memoStack = nullptr;
    QPlainTextEdit *m_memoEdit = nullptr;      // add mode
    QPlainTextEdit *m_boundMemoEdit = nullptr; // modify mode: the row's MEMO
    QLabel *m_statusLine = nullptr;
};

} // namespace orlu
