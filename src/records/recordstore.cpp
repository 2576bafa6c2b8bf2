#include "records/recordstore.h"

#include "storage/database.h"
#include "storage/listindexes.h"
#include "storage/originrows.h"
#include "storage/registeridentity.h"

namespace orlu {

RecordStore::RecordStore(Database &main)
    : m_main(main) {}

SubjectRepository RecordStore::subjects() const {
    return SubjectRepository(m_main.handle());
}

MeasurementRepository RecordStore::measurements() const {
    return MeasurementRepository(m_main.handle());
}

std::unique_ptr<SubjectListModel> RecordStore::subjectList(const Clock &clock) const {
    ensureListIndexes(m_main.handle());
    return std::make_unique<SubjectListModel>(m_main.handle(), clock);
}

std::unique_ptr<MeasurementListModel> RecordStore::measurementList() const {
    ensureListIndexes(m_main.handle());
    return std::make_unique<MeasurementListModel>(m_main.handle());
}

std::unique_ptr<MeasurementCursor> RecordStore::measurementCursor(const MeasurementFilter &filter) const {
    return std::make_unique<MeasurementCursor>(m_main.handle(), filter);
}

std::optional<QUuid> RecordStore::identity() const {
    return registerIdentity(m_main.handle());
}

QString RecordStore::timeZone() const {
    return registerTimeZone(m_main.handle());
}

QList<MeasurementOrigin> RecordStore::probesSeen() const {
    return orlu::probesSeen(m_main.handle());
}

std::optional<qint64> RecordStore::measurementCount(const MeasurementFilter &filter, QString *error) const {
    return MeasurementCursor::count(m_main.handle(), filter, error);
}

std::unique_ptr<RegisterWatcher> RecordStore::watcher() const {
    return std::make_unique<RegisterWatcher>(m_main.handle());
}

bool RecordStore::reach(Prompter &prompter) const {
    return reachRegister(m_main, prompter);
}

} // namespace orlu
