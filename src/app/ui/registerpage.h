#pragma once

#include "core/programfolder.h"

#include <QWidget>

class QLabel;
class QLineEdit;

namespace orlu {

// The settings window's register tab: the server a seat shares its register on, kept
// in orlu-database.conf in the program folder; empty for the local database file.
class RegisterPage : public QWidget {
    Q_OBJECT
public:
    explicit RegisterPage(ProgramFolder folder, QWidget *parent = nullptr);

    // Writes the setting when it changed; false with the reason when it cannot be used.
    // A new setting takes effect at the next start.
    bool store(QString *error);
    bool changed() const;

private:
    void testClicked();

    ProgramFolder m_folder;
    QString m_stored;
    QLineEdit *m_connection = nullptr;
    QLabel *m_status = nullptr;
};

} // namespace orlu
