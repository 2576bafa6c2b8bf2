#pragma once

#include "analysis/textblocks.h"

#include <QSqlDatabase>

// The reference texts as stored in table KYMTDB of "orluCn.mdb". Every read
// queries the table and descrambles afresh; nothing is cached, so the store
// holds no state beyond the connection it is given.
namespace orlu {

class ReferenceTextStore : public ReferenceTexts {
public:
    // `db` is an open connection to the reference text database.
    explicit ReferenceTextStore(QSqlDatabase db);

    QString text(int key, TextColumn column) const override;
    QByteArray picture(int key) const override;

    bool hasRecord(int key) const;
    // The value as stored, before descrambling (for checking the data).
    QString storedValue(int key, TextColumn column) const;

private:
    QVariant value(int key, const QString &column) const;

    QSqlDatabase m_db;
};

} // namespace orlu
