#pragma once

#include <QMainWindow>
#include <QPointer>

class QAction;
class QFrame;
class QGroupBox;
class QLabel;
class QMenu;
class QPushButton;
class QSlider;
class QToolButton;
class Desktop;
class Program;
class QueueList;
class frmAbout;
class frmJoinStatus;
class frmPrefs;

/// The main window: the join queue with its buttons, the chunk-size
/// slider, the estimate and the menus. It shows the Program and forwards
/// the user's actions to it; it creates the other windows when they are
/// asked for and closes them all when the program ends.
class frmReelbind : public QMainWindow
{
    Q_OBJECT
public:
    /// The program must have run its start-up. Every dialog, message box
    /// and document goes through `desktop`.
    frmReelbind(Program& program, Desktop& desktop, QWidget* parent = nullptr);
    ~frmReelbind() override;

    /// Web pages of the Links menu, A to F.
    static QString linkAddress(char page);

    /// Files handed to the program from outside (dropped on the list, named
    /// on its command line, or by a second start): queued as Add queues
    /// them, the files left out named in a message; refused while a join runs.
    void openFiles(const QStringList& paths);

    /// The windows it created, while they are open.
    frmPrefs* prefsWindow() const;
    frmAbout* aboutWindow() const;
    frmJoinStatus* statusWindow() const;

    // Controls.
    QFrame* Line1;
    QGroupBox* FrameChunkSize;
    QSlider* SldrChunkSize;
    QLabel* LblEstFilesize;
    QueueList* ListViewAdd;
    QToolButton* CmdMoveUp;
    QToolButton* CmdMoveDown;
    QPushButton* CmdAdd;
    QPushButton* CmdRemove;
    QPushButton* CmdClear;
    QPushButton* CmdJoin;
    QPushButton* CmdExit;

    // Menus.
    QMenu* mnu_prefs;
    QAction* mnu_subPrefs;
    QAction* mnu_Exit;
    QMenu* mnu_Links;
    QAction* mnu_ZIDA_FAQ;
    QAction* mnu_BWI263;
    QAction* mnu_MW;
    QAction* mnu_I263;
    QAction* mnu_Indeo;
    QAction* mnu_FA;
    QAction* mnu_Quorvik;
    QMenu* mnu_Help;
    QAction* mnu_Readme;
    QAction* mnu_About;
    QMenu* Option_mnu; // pop-up of the queue list, not in the menu bar
    QAction* mnu_View;
    QAction* mnu_Remove;

public slots:
    void Form_Load();
    void SldrChunkSize_Change();
    void CmdExit_Click();
    void mnu_Exit_Click();
    void mnu_subPrefs_Click();
    void mnu_About_Click();
    void mnu_Readme_Click();

    // The queue.
    void CmdAdd_Click();
    void CmdRemove_Click();
    void CmdMoveUp_Click();
    void CmdMoveDown_Click();
    void CmdClear_Click();
    void mnu_View_Click();
    void mnu_Remove_Click();
    void ListViewAdd_ColumnClick(int column);
    void ListViewAdd_MouseDown(const QPoint& globalPos);

    // The join.
    void CmdJoin_Click();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void buildMenus();
    void bindToProgram();
    void showCommands();
    /// After a move: the refusal (if any), and the list keeps the keyboard.
    void showMove(const QString& refused, bool anySelected);
    /// Adds files and names those left out; the dialog's answer and drops come here.
    void addFiles(const QStringList& paths);
    /// Closes a status window left open by an earlier join, as its close box would.
    void closeStatusWindow();
    void unloadStatusWindow(frmJoinStatus* window);
    /// The end of the program: every window closes, this one last.
    void closeAllWindows();

    Program& m_program;
    Desktop& m_desktop;
    QPointer<frmPrefs> m_prefs;
    QPointer<frmAbout> m_about;
    QPointer<frmJoinStatus> m_status;
    bool m_inCloseEvent = false;
};
