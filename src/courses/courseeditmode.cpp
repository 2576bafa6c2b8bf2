#include "courses/courseeditmode.h"

namespace orlu {

bool CourseEditMode::begin(Mode mode, bool haveCourse, std::optional<qint64> condition) {
    if (mode == Mode::Browse || !haveCourse || (mode == Mode::ChangeCondition && !condition))
        return false;
    m_keyBeforeEdit = condition.value_or(0);
    m_mode = mode;
    return true;
}

bool CourseEditMode::end() {
    m_mode = Mode::Browse;
    return m_changeHeldBack;
}

bool CourseEditMode::registerChanged() {
    m_changeHeldBack = isEditing();
    return !m_changeHeldBack;
}

} // namespace orlu
