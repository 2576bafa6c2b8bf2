#pragma once

#include <QSqlDatabase>
#include <QString>

namespace orlu {

// Creates the indexes the sorted and filtered record lists rely on, where missing. Cheap when
// they exist; false (with the reason) when the file cannot be changed, which only costs speed.
bool ensureListIndexes(QSqlDatabase db, QString *error = nullptr);

} // namespace orlu
