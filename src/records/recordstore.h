#pragma once

#include "core/clock.h"
#include "records/measurementcursor.h"
#include "records/measurementlistmodel.h"
#include "records/measurementrepository.h"
#include "storage/registerwatcher.h"
#include "records/subjectlistmodel.h"
#include "records/subjectrepository.h"

#include <QUuid>

#include <memory>

namespace orlu {

class Database;
class Prompter;

// The main register as the windows reach it: repositories, sorted lists and cursors
// over the one main database. Windows get this, never the connection, so no window can
// run SQL of its own.
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
    // The register's identity (none in an old register opened read-only), and the time
    // zone of its measurements stored without one.
    std::optional<QUuid> identity() const;
    QString timeZone() const;
    // The probes that measured in this register (storage/originrows.h).
    QList<MeasurementOrigin> probesSeen() const;

    // Tells of other seats' changes (a server announces them; a file never does).
    std::unique_ptr<RegisterWatcher> watcher() const;
    // Reaches a server register again after its connection was lost, telling the operator
    // (MessageType::NoteError) when it still cannot be reached.
    bool reach(Prompter &prompter) const;

private:
    Database &m_main;
};

} // namespace orlu
