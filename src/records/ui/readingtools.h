#pragma once

#include "records/recordcontext.h"

#include <QString>

#include <functional>

class QToolBar;
class QWidget;

namespace orlu {

// What the reading window tells the tools of other subsystems it carries on its tool bar
// (the trend and the open export): where its current subject and measurement are.
struct ReadingListAccess {
    std::function<QString()> subjectNumber; // empty without a current subject
    std::function<qint64()> measurementKey; // 0 without a current measurement
    std::function<void(qint64 key)> selectMeasurement;
};

// Tools the reading window carries without knowing them: the composition root hands in a
// maker, so the reading window needs none of their headers.
class ReadingTools {
public:
    virtual ~ReadingTools() = default;
    // With no measurement in the list there is no trend to show.
    virtual void setMeasurementCount(int count) = 0;
};

// Adds its buttons to `bar` and returns the tools, owned by `window` through Qt's parents.
using ReadingToolsMaker = std::function<ReadingTools *(QToolBar *bar, const RecordContext &context,
                                                       ReadingListAccess list, QWidget *window)>;

} // namespace orlu
