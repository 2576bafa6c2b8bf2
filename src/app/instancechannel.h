#pragma once

#include "core/programfolder.h"

#include <QObject>

class QLocalServer;

namespace orlu {

// How a second start on the same program folder reaches the running program:
// a local socket named after the folder. The running program listens; the
// second start asks it to bring its window to the front.
class InstanceChannel : public QObject {
    Q_OBJECT
public:
    explicit InstanceChannel(const ProgramFolder &folder, QObject *parent = nullptr);
    ~InstanceChannel() override;

    static QString serverName(const ProgramFolder &folder);

    // The running program: listen for second starts.
    bool listen();
    // A second start: ask the running program to show itself. True when it answered.
    static bool askToRaise(const ProgramFolder &folder, int timeoutMs = 1000);

signals:
    void raiseRequested();

private:
    void accept();

    QString m_name;
    QLocalServer *m_server = nullptr;
};

} // namespace orlu
