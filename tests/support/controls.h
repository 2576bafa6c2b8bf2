#pragma once

#include <QApplication>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <functional>

namespace orlu::test {

// The control of a window by its object name; a missing one ends the test run with its name.
template <typename T = QWidget> T *control(const QObject *window, const QString &name) {
    T *w = window->findChild<T *>(name);
    if (!w)
        qFatal("no control %s", qPrintable(name));
    return w;
}

// Runs `act` on the next modal window that opens over `outer`, polling while the caller's
// modal loop runs; a window that never opens ends the test run.
inline void onNextModal(QWidget *outer, std::function<void(QWidget *)> act, int triesLeft = 200) {
    QTimer::singleShot(5, [outer, act = std::move(act), triesLeft]() mutable {
        QWidget *w = QApplication::activeModalWidget();
        if (w && w != outer) {
            act(w);
            return;
        }
        if (triesLeft > 0)
            onNextModal(outer, std::move(act), triesLeft - 1);
        else
            qFatal("no modal window opened");
    });
}

} // namespace orlu::test
