#pragma once

#include "core/clock.h"
#include "core/programfolder.h"
#include "core/prompter.h"
#include "storage/copyprogress.h"
#include "transfer/transferstore.h"
#include "transfer/transferfiles.h"
#include "transfer/transferoperations.h"
#include "transfer/transferpreviewmodel.h"

#include <QDialog>

#include <functional>
#include <memory>

class QLabel;
class QTabWidget;
class QToolButton;

namespace orlu {

class ExportPage;
class GradientProgressBar;
class ImportPage;

// What the import/export window needs from the program.
struct TransferWindowContext {
    TransferStore records; // the main register
    ProgramFolder folder;
    Prompter &prompter;
    const Clock &clock;
    EventPump &pump;
    AlertTonePlayer playAlertTone;
    FileCopier *copier = nullptr; // tests hand in a failing medium; null: the real one
};

// The import/export window: exports the user's courses and/or the subjects with
// their measurements into a transfer file "KyTran.mdb" in a chosen folder, and imports
// them from one, appending to or replacing the register.
class TransferWindow final : public QDialog, private TransferObserver {
    Q_OBJECT
public:
    static constexpr int ProgressMaximum = 2000;

    explicit TransferWindow(TransferWindowContext context, QWidget *parent = nullptr);

protected:
    void closeEvent(QCloseEvent *event) override;
    void reject() override;

private:
    void exportClicked();
    void importClicked();
    void pageChanged();
    void showPageStatus();
    void updateButtons();
    void run(TransferDirection direction, TransferKinds kinds,
             const std::function<TransferOutcome(TransferOperations &)> &operation);
    void tell(const TransferOutcome &outcome);
    void tone(AlertTone tone) const;
    void progressed(double fraction) override;

    TransferWindowContext m_context;
    FileCopier m_ownCopier;
    std::unique_ptr<TransferPreviewModel> m_courses;
    std::unique_ptr<TransferPreviewModel> m_subjects;
    bool m_running = false;

    QToolButton *m_exportButton = nullptr;
    QToolButton *m_importButton = nullptr;
    QToolButton *m_leaveButton = nullptr;
    QTabWidget *m_pages = nullptr;
    ExportPage *m_exportPage = nullptr;
    ImportPage *m_importPage = nullptr;
    GradientProgressBar *m_progressBar = nullptr;
    QLabel *m_statusLine = nullptr;
};

} // namespace orlu
