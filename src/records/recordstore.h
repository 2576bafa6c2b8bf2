#pragma once

#include "core/clock.h"
#include "core/programfolder.h"
#include "records/copyprogress.h"
#include "records/measurementcursor.h"
#include "records/measurementlistmodel.h"
#include "records/measurementrepository.h"
#include "records/registerwatcher.h"
#include "records/subjectlistmodel.h"
#include "records/subjectrepository.h"
#include "records/transferoperations.h"
#include "records/transferpreviewmodel.h"

#include <memory>

namespace orlu {

class Database;
class Prompter;

// The main register as the windows reach it: repositories, sorted lists and the
// transfer operations over the one main database. Windows get this, never the
// connection, so no window can run SQL of its own.
class RecordStore {
public:
    explicit RecordStore(Database &main);

    SubjectRepository subjects() const;
    MeasurementRepository measurements() const;

    // The lists come with the indexes they sort and search by (made where missing;
    // a file that cannot be changed only lists more slowly).
    std::unique_ptr<SubjectListModel> subjectList(const Clock &clock) const;
    std::unique_ptr<MeasurementListModel> measurementList() const;
    // The stored measurements with their subjects, forward only (exports, trends).
    std::unique_ptr<MeasurementCursor> measurementCursor(const MeasurementFilter &filter) const;
    std::optional<qint64> measurementCount(const MeasurementFilter &filter, QString *error = nullptr) const;
    std::unique_ptr<TransferPreviewModel> transferPreview(TransferPreviewModel::Kind kind) const;

    // Tells of other seats' changes (a server announces them; a file never does).
    std::unique_ptr<RegisterWatcher> watcher() const;
    // Reaches a server register again after its connection was lost, telling the operator
    // (type 6) when it still cannot be reached.
    bool reach(Prompter &prompter) const;

    TransferOperations transfer(const ProgramFolder &folder, const Clock &clock, FileCopier &copier,
                                TransferObserver *observer) const;

private:
    Database &m_main;
};

} // namespace orlu
