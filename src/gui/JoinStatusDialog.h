#pragma once

#include "core/join/JoinSession.h"
#include "core/status/JoinPace.h"
#include "core/status/ProgressThrottle.h"

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
/// One window is one join: the main window creates it and calls startJoin().
/// The window follows the join's phases: it asks the join's question and
/// opens the save dialog over the main window and hands the answers to the
/// session, shows itself when the copy starts (or, after the message, when
/// there is too little space), shows the join's progress as it arrives and
/// the outcome when the join has ended, and asks to be unloaded
/// (unloadRequested()) when the join ended without a target, when its close
/// box was used during the join, and after Finished or Delete Source Files.
/// It never deletes itself.
class JoinStatusDialog : public QDialog
{
    Q_OBJECT
public:
    /// `main` owns the window and the dialogs the join asks with.
    JoinStatusDialog(JoinSession& session, Desktop& desktop, QWidget* main);
    ~JoinStatusDialog() override;

    /// Starts a join (JoinSession::start()) that this window follows; false
    /// when one runs already.
    bool startJoin();

    /// How long a join must have taken for a notification at its end when
    /// this window is not the active one (10 s; tests shorten it).
    void setLongJoinMs(qint64 ms) { m_longJoinMs = ms; }

signals:
    void unloadRequested();

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void batchStarted(qint64 batchTotal);
    void fileStarted(int index, const JoinFigures& figures);
    void copied(const JoinFigures& figures);

    void buildControls();
    void followPhase(JoinSession::Phase phase);
    void ask();
    void chooseTarget();
    void showEnding();
    /// The outcome in the window's controls.
    void showOutcome();
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
    void setBusy(bool busy);

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
