#include "analysis/meridianlistsync.h"

#include "analysis/textcolumns.h"

namespace orlu {

namespace {

QList<int> keysOf(const QList<ListRow> &rows) {
    QList<int> keys;
    keys.reserve(rows.size());
    for (const ListRow &row : rows)
        keys.append(row.key);
    return keys;
}

} // namespace

void MeridianListSync::setLists(const QList<ListRow> &differentiation, const QList<ListRow> &prescription,
                                const QList<ListRow> &diet) {
    m_keys = {keysOf(differentiation), keysOf(prescription), keysOf(diet)};
    clearShown();
    m_following = false;
}

int MeridianListSync::rowOfKey(int list, int key) const {
    return static_cast<int>(m_keys[index(list)].indexOf(key));
}

bool MeridianListSync::othersShow(int list, int key) const {
    for (int other = 0; other < ListCount; ++other) {
        if (other != list && shownRow(other) != rowOfKey(other, key))
            return false;
    }
    return true;
}

QList<MeridianListSync::Show> MeridianListSync::choose(int list, int row) {
    const int key = m_keys[index(list)].value(row);
    const bool follow = m_following && key <= MeridianRecordCount;
    if (row == shownRow(list) && (!follow || othersShow(list, key)))
        return {};
    QList<Show> shows{{list, row}};
    setShown(list, row);
    if (!follow)
        return shows;
    for (int other = 0; other < ListCount; ++other) {
        if (other == list)
            continue;
        const int otherRow = rowOfKey(other, key);
        shows.append({other, otherRow});
        setShown(other, otherRow);
    }
    return shows;
}

} // namespace orlu
