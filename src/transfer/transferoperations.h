#pragma once

#include "core/alerttone.h"
#include "core/clock.h"
#include "core/programfolder.h"
#include "core/prompter.h"
#include "storage/copyprogress.h"
#include "storage/database.h"
#include "transfer/registerimport.h"
#include "transfer/transferfiles.h"

#include <QList>
#include <QString>

#include <optional>

// Export to and import from a transfer file "KyTran.mdb", working on a copy of it
// in the program folder. Used by the import/export window and by orlu-cli.
namespace orlu {

// A message for the operator, in the order the operation gives them: an alert
// tone, if any, and a message box of a type with its text.
struct TransferNotice {
    std::optional<AlertTone> tone;
    MessageType type = MessageType::NoteError;
    QString text;
};

struct TransferOutcome {
    bool ok = false;
    QList<TransferNotice> notices;
    QString backupFile;    // the main database's copy made before a replace, else empty
    TransferCounts counts; // the rows written, when ok
};

class TransferOperations {
public:
    TransferOperations(Database &main, ProgramFolder folder, const Clock &clock, FileCopier &copier,
                       TransferObserver *observer = nullptr);

    // The working copy in the program folder.
    QString workingCopy() const { return m_folder.file(QStringLiteral("KyTran.mdb")); }

    // Writes the chosen kinds into "KyTran.mdb" in `folder`. A failed export leaves no
    // transfer file there (and none half written).
    TransferOutcome exportTo(const QString &folder, TransferKinds kinds);

    // Imports the chosen kinds from the transfer file `file` (a file of ours or an
    // Access file). A replace first backs the main database up. A failure at any point
    // leaves the main database exactly as it was.
    TransferOutcome importFrom(const QString &file, TransferKinds kinds, ImportMode mode);

private:
    bool prepareWorkingCopy(const QString &from, TransferDirection direction, TransferOutcome &outcome);
    void dropWorkingCopy();
    // On failure `error` says why and `systemCode` holds the system's cause, if any.
    bool exportRows(TransferKinds kinds, TransferCounts &counts, QString *error, int *systemCode);
    bool exportServerRows(const QStringList &tables, TransferCounts &counts, QString *error, int *systemCode);
    // The failure of an import's statements, naming the server when it was lost.
    QString importFailure(const RegisterImportResult &result);
    bool exportSideRows(QString *error);

    Database &m_main;
    ProgramFolder m_folder;
    const Clock &m_clock;
    FileCopier &m_copier;
    TransferObserver *m_observer;
};

// The status line after a successful export or import: what it wrote of the chosen
// kinds, e.g. "已汇出: 受测者 2 位，检测记录 3 笔".
QString transferSummary(TransferDirection direction, TransferKinds kinds, const TransferCounts &counts);

// The message for a failed statement of an export or import (the main database is
// unchanged): the text of the cause, from the engine's result code `sqliteCode` and the
// system's error code `systemCode` it kept (0 when none), then the engine's own words.
QString storageFailureText(const QString &error, int sqliteCode, int systemCode, TransferDirection direction);

} // namespace orlu
