#pragma once

#include <QString>
#include <QWidget>

namespace orlu::test {

// The control of a window by its object name; a missing one ends the test run.
template <typename T> T *control(const QWidget *window, const QString &name) {
    T *w = window->findChild<T *>(name);
    if (!w)
        qFatal("no control %s", qPrintable(name));
    return w;
}

} // namespace orlu::test
