#pragma once

#include <QtGlobal>

#include <optional>

namespace orlu {

// The course window's edit mode: browsing, or adding or changing a condition of
// the chosen course. It remembers the condition an edit started from, and holds
// back changes another seat makes to the register until the edit ends, so an
// edit keeps what it shows.
class CourseEditMode {
public:
    enum class Mode { Browse, AddCondition, ChangeCondition };

    Mode mode() const { return m_mode; }
    bool isEditing() const { return m_mode != Mode::Browse; }

    // Starts an edit of the chosen course, at the chosen condition if any. An
    // edit needs a course, and a change needs a condition; otherwise nothing
    // changes and the answer is false.
    bool begin(Mode mode, bool haveCourse, std::optional<qint64> condition);
    // The condition chosen when the edit began; 0 for none.
    qint64 keyBeforeEdit() const { return m_keyBeforeEdit; }
    // Back to browsing. True when the register changed meanwhile, so the lists
    // are to be read again now.
    bool end();
    // The register changed elsewhere. True when the lists are to be read now;
    // false while an edit holds the change back.
    bool registerChanged();

private:
    Mode m_mode = Mode::Browse;
    qint64 m_keyBeforeEdit = 0;
    bool m_changeHeldBack = false;
};

} // namespace orlu
