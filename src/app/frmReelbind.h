#pragma once

#include <QMainWindow>
#include <QPointer>

#include "settings/Settings.h"

class QAction;
class QFrame;
class QGroupBox;
class QLabel;
class QMenu;
class QPushButton;
class QSlider;
class QToolButton;
class QTreeView;
class Platform;
class QueueModel;
class QueueController;
class JoinController;
class frmPrefs;
class frmAbout;
class frmJoinStatus;

/// The main window: the join queue with its buttons, the chunk-size slider,
/// the estimate, the menus, and the program's start-up and exit.
///
/// It owns the stored settings record and the settings file's path, and
/// creates the other windows on first access. Every desktop operation goes
/// through the Platform it is given.
class frmReelbind : public QMainWindow
{
    Q_OBJECT
public:
    static constexpr int kMajor = 1, kMinor = 0, kRevision = 7;

    /// `programFolder` is where tarvik.ini and Readme.html live (the
    /// executable's folder in the real program; any folder in tests).
    /// Form_Load runs here: the settings file is read and rewritten.
    frmReelbind(Platform& platform, const QString& programFolder, QWidget* parent = nullptr);
    ~frmReelbind() override;

    Platform& platform() const { return m_platform; }
    Settings& settings() { return m_settings; }
    const QString& iniPath() const { return m_iniPath; }
    const QString& programFolder() const { return m_programFolder; }
    LiveSettings& live() { return *m_live; }

    /// The preferences window, created hidden (and loaded from Settings)
    /// when it does not exist.
    frmPrefs* prefs();
    /// The preferences window if it exists, without creating it.
    frmPrefs* existingPrefs() const;
    frmAbout* about() const;

    QueueModel* queue() const { return m_queueModel; }
    QueueController* queueController() const { return m_queue; }
    JoinController* joinController() const { return m_join; }

    /// Whether a regular, non-hidden file matches `PathName`. "*" and "?"
    /// in the file name act as patterns (case-sensitive, every other
    /// character literal); folders, hidden files (".name"), special files
    /// and dangling links never count.
    bool File_Exists(const QString& PathName) const;

    /// Opens a document or web address with its associated program.
    int ShellOpen(const QString& Target);

    /// Web pages of the Links menu, A to F.
    static QString linkAddress(char page);

    // Controls.
    QFrame* Line1;
    QGroupBox* FrameChunkSize;
    QSlider* SldrChunkSize;
    QLabel* LblEstFilesize;
    QTreeView* ListViewAdd;
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

    // Queue commands (carried out by the QueueController).
    void CmdAdd_Click();
    void CmdRemove_Click();
    void CmdMoveUp_Click();
    void CmdMoveDown_Click();
    void CmdClear_Click();
    void mnu_View_Click();
    void mnu_Remove_Click();
    void RefreshEstimate();

    // The join (carried out by the JoinController).
    void CmdJoin_Click();

    /// The exit sequence's closing half: closes the preferences window, the
    /// status window, the about box and this window, in that order.
    void closeAllWindows();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void buildMenus();
    void closeOtherWindows();

    Platform& m_platform;
    QString m_programFolder;
    QString m_iniPath;
    Settings m_settings;
    LiveSettings* m_live = nullptr;
    QPointer<frmPrefs> m_prefs;
    QPointer<frmAbout> m_about;
    QueueModel* m_queueModel = nullptr;
    QueueController* m_queue = nullptr;
    JoinController* m_join = nullptr;
    bool m_exiting = false;
};
