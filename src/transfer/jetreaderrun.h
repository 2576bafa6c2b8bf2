#pragma once

#include "core/clock.h"
#include "transfer/jetframes.h"

#include <QString>
#include <QStringList>

#include <sys/types.h>

namespace orlu {

// The program that reads Access files: orlu-jet-reader beside the running program's own
// executable, unless a test set another.
QString jetReaderProgram();
void setJetReaderProgram(const QString &path);

// One run of the reader over a file open for reading: it gets the file as its standard
// input and a socket for requests and answers, nothing else of ours (no other descriptor,
// an empty environment), and its frames are read back with every kind and length checked
// before use. An answer that takes longer than a time scaled to the file's size ends it.
class JetReaderRun {
public:
    JetReaderRun(int fileFd, qint64 fileSize, const QStringList &arguments, const Clock &clock);
    ~JetReaderRun(); // ends the reader when it still runs
    JetReaderRun(const JetReaderRun &) = delete;
    JetReaderRun &operator=(const JetReaderRun &) = delete;

    // False when the program could not be started at all (fault() says why).
    bool started() const { return !m_unstarted; }
    // Asks for the rows of `table`, the values of `columns`; the time of the answer starts.
    bool request(const QString &table, const QStringList &columns);
    // The next frame; false when none can be read: the run failed.
    bool next(JetFrame *frame);
    // Why the run failed, for the operator's message; empty while it has not.
    QString fault() const { return m_fault; }

private:
    bool fail(const QString &why); // ends the reader; returns false
    // False on a failure, or with `ended` set when the reader closed its end first.
    bool readExactly(char *into, qsizetype size, bool *ended);
    // After a read that failed: false, the reader's end told when it closed its end first.
    bool cutShort(bool ended);
    // Waits (until the time limit) for the reader to end; what its end says, empty when clean.
    QString reap();

    const Clock &m_clock;
    quint32 m_start = 0;
    quint32 m_limitMs = 0;
    pid_t m_pid = -1;
    int m_channel = -1;
    QByteArray m_received; // read from the channel, the first m_held bytes
    qsizetype m_held = 0;
    qsizetype m_taken = 0; // of them, handed on
    bool m_unstarted = false;
    QString m_fault;
};

} // namespace orlu
