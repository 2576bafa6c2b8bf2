#pragma once

#include "core/clock.h"
#include "core/currentmeasurement.h"
#include "storage/keyedlistmodel.h"
#include "records/sortcode.h"

#include <optional>

namespace orlu {

// The subject list (KYCUST) of the saving and reading windows, sorted by the
// shared sort code in the database.
class SubjectListModel : public KeyedListModel {
    Q_OBJECT
public:
    enum Column {
        Reno,
        Number,
        Name,
        Sex,
        BirthDate,
        Age,
        Telephone,
        Address,
        Email,
        Mobile,
        Fax,
        ColumnCount
    };

    SubjectListModel(QSqlDatabase db, const Clock &clock, QObject *parent = nullptr);

    // Opens (or re-sorts) the list in the order of a sort code.
    bool open(SubjectOrder order);
    bool setOrder(SubjectOrder order) { return open(order); }
    SubjectOrder order() const { return m_order; }
    // Reads the keys again after rows were added, changed or deleted.
    bool refresh() { return open(m_order); }

    std::optional<Subject> subjectAt(int row) const;

    // First row in list order whose column begins with `text` (ASCII letters without
    // regard to case); an empty text matches the first row. -1 when none matches.
    int locatePrefix(SubjectColumn column, const QString &text) const;
    // First row in list order whose number equals `number`, letter case ignored; -1 when none.
    int locateNumber(const QString &number) const;

    // Column titles differ a little between the windows.
    void setHeaderTitles(const QStringList &titles) { m_titles = titles; }

    int columnCount(const QModelIndex &parent = {}) const override;

protected:
    QVariant cellValue(int column, const QVariantList &values) const override;
    bool isNumberColumn(int column) const override;
    QStringList columnTitles() const override;

private:
    const Clock &m_clock;
    SubjectOrder m_order;
    QStringList m_titles;
};

} // namespace orlu
