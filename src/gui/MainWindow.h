#pragma once

#include <QMainWindow>
#include <QPointer>

class AboutDialog;
class Desktop;
class JoinStatusDialog;
class PreferencesDialog;
class Program;
class QAction;
class QGroupBox;
class QLabel;
class QMenu;
class QPushButton;
class QSlider;
class QueueList;

/// The main window (objectName "frmReelbind"): the join queue with its
/// buttons, the chunk-size slider, the estimate and the menus. It shows the
/// Program and forwards the user's actions to it; it creates the other
/// windows when they are asked for and closes them all when the program
/// ends. Its controls carry their classic names as objectNames.
class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    /// The program must have run its start-up. Every dialog, message box
    /// and document goes through `desktop`.
    MainWindow(Program& program, Desktop& desktop, QWidget* parent = nullptr);
    ~MainWindow() override;

    /// Web pages of the Links menu, A to F.
    static QString linkAddress(char page);

    /// Files handed to the program from outside (dropped on the list, named
    /// on its command line, or by a second start): queued as Add queues
    /// them, the files left out named in a message; while a join runs they
    /// wait for its end.
    void openFiles(const QStringList& paths);

    /// The windows it created, while they are open.
    PreferencesDialog* prefsWindow() const;
    AboutDialog* aboutWindow() const;
    JoinStatusDialog* statusWindow() const;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void buildMenus();
    void showProgram();
    void bindToProgram();
    void showCommands();
    void showChunkSize(int bytes);

    void exitProgram();
    void showPreferences();
    void showAbout();
    void addFromDialog();
    /// Adds files and names those left out; the dialog's answer and drops come here.
    void addFiles(const QStringList& paths);
    void removeSelected();
    void moveSelected(bool up);
    void viewSelected();
    void showQueueMenu(const QPoint& globalPos);
    void startJoin();
    /// Closes a status window left open by an earlier join, as its close box would.
    void closeStatusWindow();
    void unloadStatusWindow(JoinStatusDialog* window);
    /// The end of the program: every window closes, this one last.
    void closeAllWindows();

    Program& m_program;
    Desktop& m_desktop;
    QGroupBox* m_chunkFrame = nullptr;
    QSlider* m_chunkSlider = nullptr;
    QLabel* m_estimate = nullptr;
    QueueList* m_list = nullptr;
    QStringList m_waitingFiles; // handed over during a join
    QPushButton* m_add = nullptr;
    QPushButton* m_remove = nullptr;
    QPushButton* m_clear = nullptr;
    QPushButton* m_join = nullptr;
    QPushButton* m_exit = nullptr;
    QMenu* m_queueMenu = nullptr; // the list's pop-up, not in the menu bar
    QPointer<PreferencesDialog> m_prefs;
    QPointer<AboutDialog> m_about;
    QPointer<JoinStatusDialog> m_status;
};
