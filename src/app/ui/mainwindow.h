#pragma once

#include "app/windowkind.h"
#include "core/prompter.h"
#include "storage/registermaintenance.h"

#include <QMainWindow>

#include <array>

class QAction;
class QLabel;
class QToolBar;
class QToolButton;

namespace orlu {

struct AppContext;
struct MainCommand;

// The main window: tool bar, menu, status bar title and footer. It opens every
// function window through openModalWindow and ends the program when it closes.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    MainWindow(AppContext &app, WindowFactory factory, QWidget *parent = nullptr);
    ~MainWindow() override;

    void setMainFunctionsEnabled(bool enabled);
    // Creates the window, shows it modally and destroys it, with the main functions disabled meanwhile.
    void openModalWindow(WindowKind kind);
    // Visibility and hints of the six custom buttons from the settings.
    void applyCustomButtons();

    bool closeRequested() const { return m_closeRequested; }
    // The background check and routine copy of this start, for tests to wait on.
    RegisterMaintenance &maintenance() { return *m_maintenance; }

protected:
    void showEvent(QShowEvent *event) override;
    bool event(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void prepareStartup();
    void checkInstallationAndButtons();
    void openStartupStatusOnce();
    void requestClose();
    // A message box that is also written to standard error.
    void tell(MessageType type, const QString &text);
    void startMaintenance();
    void maintenanceFinished(const MaintenanceResult &result);
    void buildToolBar();
    void buildMenu();
    void buildCentralArea();
    QToolButton *addToolButton(int number, const QString &objectName, const QString &caption,
                               const QString &hint);
    void addCommandButton(QToolBar *bar, int number, const MainCommand &command);
    void run(const MainCommand &command);
    void customButtonClicked(int k);
    void exitClicked();
    // The exit question, or the question of saving a measurement the register does not hold.
    bool confirmExit();
    void aboutClicked();
    void settingsClicked();
    void openMakerPage();

    AppContext &m_app;
    WindowFactory m_factory;
    bool m_firstActivationPending = true;
    bool m_closeRequested = false;
    std::array<QToolButton *, 14> m_toolButtons{};
    std::array<QAction *, 6> m_customActions{}; // a tool bar shows or hides a widget through its action
    QList<QAction *> m_menuItems;
    QLabel *m_title = nullptr;
    QLabel *m_readOnlyLabel = nullptr;
    RegisterMaintenance *m_maintenance = nullptr;
    bool m_maintenanceStarted = false;
};

} // namespace orlu
