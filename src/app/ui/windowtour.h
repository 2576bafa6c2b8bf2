#pragma once

#include <QObject>
#include <QStringList>
#include <QTimer>

namespace orlu {

// Drives the running program through a script and photographs its windows, so that the
// manual's pictures are made by the program itself (scripts/manual-pictures). Started when
// ORLU_WINDOW_TOUR names a script; the pictures go to the folder ORLU_WINDOW_TOUR_PICTURES.
// One step a line, taken in turn ("#" begins a comment):
//   wait-for NAME [SECONDS]       until a visible window NAME is there (default 20 s)
//   wait-enabled NAME [SECONDS]   until the visible widget NAME is enabled
//   pause MS                      let the program work (a run, a repaint)
//   click NAME                    click the visible button NAME (posted, as a mouse click)
//   menu TEXT                     trigger the menu item TEXT of a visible window
//   set NAME PROPERTY VALUE       set a property of the visible widget NAME (e.g. currentIndex)
//   shot FILE [NAME]              the window NAME, else the active window, as FILE.png
//   close                         reject the active dialog
//   quit                          end the program
// A step that cannot be done ends the program with status 3 and says which line failed.
class WindowTour : public QObject {
public:
    // Null without ORLU_WINDOW_TOUR; the tour starts when the event loop runs.
    static WindowTour *startFromEnvironment(QObject *parent);

private:
    WindowTour(QStringList lines, QString pictures, QObject *parent);
    void step();
    // Runs line m_next; false while it waits.
    bool run(const QStringList &words);
    void fail(const QString &why);

    QStringList m_lines;
    QString m_pictures;
    int m_next = 0;
    qint64 m_waitingSince = -1;
    QTimer m_timer;
};

} // namespace orlu
