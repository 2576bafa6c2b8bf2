#pragma once

#include "analysis/analysis.h"

#include <QList>

#include <array>

namespace orlu {

// The analysis window's three single-meridian lists (differentiation,
// prescription, diet) kept in step: a meridian chosen in one is chosen in the
// others. They are matched by meridian rather than by position, since the
// prescription list holds only the uniformly abnormal meridians; a list without
// that meridian shows nothing. The state rows stand for no meridian and leave
// the other lists alone.
class MeridianListSync {
public:
    static constexpr int ListCount = 3;

    // What one list is to show: its row, or nothing (-1).
    struct Show {
        int list;
        int row;
        friend bool operator==(const Show &, const Show &) = default;
    };

    // New lists; nothing shown, and choices not followed until following is on.
    void setLists(const QList<ListRow> &differentiation, const QList<ListRow> &prescription,
                  const QList<ListRow> &diet);
    void setFollowing(bool on) { m_following = on; }

    // The operator chose `row` of `list`, perhaps again: what the lists are to show,
    // the chosen list first. Nothing when the lists show that already.
    QList<Show> choose(int list, int row);
    // A list shows `row` of its own accord.
    void setShown(int list, int row) { m_shown[index(list)] = row; }
    // No list shows a row (another text took the pages).
    void clearShown() { m_shown.fill(-1); }
    int shownRow(int list) const { return m_shown[index(list)]; }

private:
    static std::size_t index(int list) { return static_cast<std::size_t>(list); }
    int rowOfKey(int list, int key) const;
    bool othersShow(int list, int key) const;

    std::array<QList<int>, ListCount> m_keys;
    std::array<int, ListCount> m_shown{-1, -1, -1};
    bool m_following = false;
};

} // namespace orlu
