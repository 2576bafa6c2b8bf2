#pragma once

#include "platform/launch.h"
#include "courses/coursestore.h"
#include "storage/database.h"
#include "support/controls.h"
#include "support/recordinglaunchport.h"
#include "support/scriptedprompter.h"
#include "support/temphome.h"

#include <QList>
#include <QString>

#include <memory>

namespace orlu::test {

// A main database in a temporary program folder with a few courses, and the
// services the course windows take.
class CourseWindowFixture {
public:
    CourseWindowFixture();

    Database &database() { return m_db; }
    CourseStore &store() { return *m_store; }
    // Adds a course with `conditions` conditions named "<name>-1", "<name>-2", ...
    Course addCourse(const QString &no, const QString &name, int conditions);
    int conditionRows() const;
    // A picture file in the program folder.
    QString writePicture(const QString &name, int width, int height) const;

    ScriptedPrompter prompter;
    RecordingLaunchPort launcher; // every file exists
    QList<int> tones;

private:
    TempHome m_home;
    Database m_db;
    std::unique_ptr<CourseStore> m_store;
};

} // namespace orlu::test
