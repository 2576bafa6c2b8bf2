#pragma once

#include <QDialog>

namespace orlu {

// Stands in for a function window that this build does not have yet.
class PlaceholderWindow : public QDialog {
    Q_OBJECT
public:
    PlaceholderWindow(const QString &caption, QWidget *parent = nullptr);
};

} // namespace orlu
