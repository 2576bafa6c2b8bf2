#pragma once

#include "records/comparisonrecord.h"
#include "records/measurementlistmodel.h"
#include "records/measurementrepository.h"
#include "records/recordcontext.h"
#include "records/subjectlistmodel.h"
#include "records/subjectrepository.h"
#include "records/ui/readingtools.h"
#include "records/ui/recordlistwidgets.h"

#include <functional>

class QLabel;
class QPlainTextEdit;
class QTableView;
class QToolButton;

namespace orlu {

class RecordBrowser;

// The reading window: browses the register, loads a stored measurement (as the
// current measurement or as the comparison record), changes and deletes subjects
// and measurements.
class ReadingWindow : public FirstShowDialog {
    Q_OBJECT
public:
    enum class Caller { MeasurementWindow, ComparisonWindow };
    // Runs the manual entry window modally over `parent` on a stored measurement (its MKEY).
    using ManualEntryOpener = std::function<void(qint64 measurementKey, QWidget *parent)>;

    // From the comparison window pass the comparison record to fill; its loaded flag
    // tells afterwards whether a record was loaded.
    // `makeTools` adds the tools of other subsystems (the trend and the open export).
    ReadingWindow(const RecordContext &context, Caller caller, ComparisonRecord *comparison = nullptr,
                  ManualEntryOpener openManualEntry = {}, const ReadingToolsMaker &makeTools = {},
                  QWidget *parent = nullptr);

    SubjectListModel &subjectList();
    MeasurementListModel &measurementList();

public slots:
    void reject() override;

private:
    enum class ActiveList { None, Subjects, Measurements };

    void openAtCurrentSubject();
    void subjectListEntered();
    void subjectColumnEntered();
    void measurementListEntered();
    void measurementColumnEntered();
    void subjectDoubleClicked();
    void sortChanged();
    void loadClicked();              // "加载数据"
    void editSubjectClicked();       // "客户修改"
    void deleteSubjectClicked();     // "客户删除"
    void editMeasurementClicked();   // "修改数据"
    void deleteMeasurementClicked(); // "删除数据"

    void subjectRowChanged();
    void measurementRowChanged();
    void editSubject();
    void reportFailure(const QString &what, const QString &error);
    // Tone 1, then, when `list` is the active list and has a current row, the question;
    // the row to delete, or -1.
    int askToDelete(ActiveList list, QTableView *view, const QString &question);
    // "编号: A001    姓名: 王小明" of subject row `row`, for a question about it.
    QString subjectNamed(int row) const;

    RecordContext m_context;
    Caller m_caller;
    ComparisonRecord *m_comparison = nullptr;
    ManualEntryOpener m_openManualEntry;
    RecordBrowser *m_browser = nullptr;
    SubjectRepository m_subjects;
    MeasurementRepository m_measurements;
    // The measurement as it was read when its row became current.
    std::optional<MeasurementRecord> m_shownMeasurement;
    ActiveList m_active = ActiveList::None;

    QToolButton *m_loadButton = nullptr;
    QToolButton *m_editSubjectButton = nullptr;
    QToolButton *m_deleteSubjectButton = nullptr;
    QToolButton *m_editMeasurementButton = nullptr;
    QToolButton *m_deleteMeasurementButton = nullptr;
    QToolButton *m_leaveButton = nullptr;
    ReadingTools *m_tools = nullptr;
    QTableView *m_subjectView = nullptr;
    QTableView *m_measurementView = nullptr;
    QPlainTextEdit *m_subjectMemo = nullptr;
    QPlainTextEdit *m_measurementMemo = nullptr;
};

} // namespace orlu
