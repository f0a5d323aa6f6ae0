#pragma once

#include "core/JoinPace.h"
#include "core/JoinSession.h"
#include "core/ProgressThrottle.h"

#include <QDialog>
#include <QElapsedTimer>

class Desktop;
class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

/// The status window (objectName "frmJoinStatus") in which one join runs,
/// and which offers the actions after it: Finished, Delete Source Files and
/// View Joined MPG.
///
/// One window is one join: the main window creates it and calls runJoin().
/// The window follows the join's phases: it answers the join's prompts over
/// the main window, shows itself when the copy starts (or when there is too
/// little space), shows the outcome when the join has ended, and asks to be
/// unloaded (unloadRequested()) when the join ended without a target, when
/// its close box was used during the join, and after Finished or Delete
/// Source Files. It never deletes itself.
class JoinStatusDialog : public QDialog, private JoinProgress, private JoinSession::Prompts
{
    Q_OBJECT
public:
    /// `main` owns the window and the dialogs the join asks with.
    JoinStatusDialog(JoinSession& session, Desktop& desktop, QWidget* main);
    ~JoinStatusDialog() override;

    /// Runs the whole join (JoinSession::run) with this window showing it.
    void runJoin();

    /// How long a join must have taken for a notification at its end when
    /// this window is not the active one (10 s; tests shorten it).
    void setLongJoinMs(qint64 ms) { m_longJoinMs = ms; }

signals:
    void unloadRequested();

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    // JoinSession::Prompts
    JoinSession::Choice howToJoin(const QString& question, bool oneMovie) override;
    QString chooseTarget(const QString& folder, const QString& filter) override;
    void tell(const QString& message) override;
    // JoinProgress
    void batchStarted(qint64 batchTotal) override;
    void fileStarted(int index, const JoinFigures& figures) override;
    void copied(const JoinFigures& figures) override;

    void buildControls();
    void followPhase(JoinSession::Phase phase);
    void showEnding();
    /// The whole outcome text readable: the bars make way for a long one.
    void fitOutcome();
    /// The speed and time left in their line (empty: the line goes).
    void showPace(const QString& text);
    static constexpr int kPaceLineTwips = 300;
    /// The figures the throttle found changed reach their controls.
    void showFigures(int changed);
    void setFileLine(const QString& text);
    QWidget* control(int item) const;
    void holdPaints(bool hold);
    void paintFrame(int items);
    void restoreCursor();

    void cancelOrFinish();
    void deleteSources();

    JoinSession& m_session;
    Desktop& m_desktop;
    QWidget* m_main;
    bool m_closeRequested = false;
    bool m_busyCursor = false;
    ProgressThrottle m_throttle;
    JoinPace m_pace;
    qint64 m_longJoinMs = 10000;
    bool m_launcherShown = false;
    qint64 m_launcherMs = 0;
    QElapsedTimer m_clock;

    QLabel* m_fileLine = nullptr;
    QPlainTextEdit* m_outcome = nullptr;
    QProgressBar* m_fileBar = nullptr;
    QLabel* m_filePercent = nullptr;
    QProgressBar* m_batchBar = nullptr;
    QLabel* m_batchPercent = nullptr;
    QLabel* m_paceLine = nullptr;
    QPushButton* m_cancel = nullptr;
    QPushButton* m_view = nullptr;
    QPushButton* m_delete = nullptr;
};
