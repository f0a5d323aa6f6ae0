#pragma once

#include <QDialog>
#include <QElapsedTimer>
#include <QList>

#include "core/CopyLoop.h"
#include "core/JoinSession.h"

class Desktop;
class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

/// The status window in which one join runs and which offers the actions
/// after it: Finished, Delete Source Files and View Joined MPG.
///
/// One window is one join: the main window creates it, calls Form_Load()
/// (which runs the whole join through the JoinSession, pumping events once
/// per chunk) and then shows or unloads it. The window is modeless and
/// owned by the main window. It asks to be unloaded with unloadRequested();
/// it never deletes itself.
class frmJoinStatus : public QDialog, private JoinProgress
{
    Q_OBJECT
public:
    /// `main` owns the window and the save dialog.
    frmJoinStatus(JoinSession& session, Desktop& desktop, QWidget* main);
    ~frmJoinStatus() override;

    /// Whether Form_Load (the join) is under way.
    bool isRunning() const { return m_running; }
    /// Whether the close box was used while the join ran: the window is to
    /// be unloaded as soon as the run has ended.
    bool closeRequested() const { return m_closeRequested; }

    // Controls.
    QLabel* LblFileNow;
    QPlainTextEdit* TextFinal;
    QProgressBar* ProgressBarFile;
    QLabel* LblFilePercent;
    QProgressBar* ProgressBarBatch;
    QLabel* LblBatchPercent;
    QPushButton* CmdCancel;
    QPushButton* CmdViewClip;
    QPushButton* CmdDelSource;

    /// Bars run from 0 to this; byte counts are mapped onto it.
    static constexpr int kBarRange = 1000;
    /// While the copy runs the changing controls are painted at most once in
    /// this many milliseconds.
    static constexpr qint64 kFrameMs = 40;

signals:
    /// Finished, Delete Source Files or the close box asks to unload.
    void unloadRequested();

public slots:
    /// Sets the flags, hides View and Delete, runs the join, and shows the
    /// not-enough-space outcome.
    void Form_Load();
    void CmdCancel_Click();
    void CmdDelSource_Click();
    void CmdViewClip_Click();

public:
    /// The run: the look at the files' kinds, save dialog, checks, the copy
    /// and the completion texts.
    void JoinFiles();

private:
    /// Reads the files' kinds; when they will not play joined, asks whether
    /// to go on (default No). False: the join ends before the save dialog.
    bool kindsAgreed();

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    // JoinProgress
    void batchStarted(qint64 batchTotal) override;
    void fileStarted(int index, const JoinFigures& figures) override;
    void copied(const JoinFigures& figures) override;
    void pumpEvents() override;

    void buildControls();
    // Show a figure if its visible form changed; return the byte count from
    // which it may change next.
    qint64 showPercent(QLabel* label, int& shown, qint64 done, qint64 total);
    qint64 showBar(QProgressBar* bar, int& shownPixels, qint64 done, qint64 total);
    void setFileNow(const QString& text);
    // Painting of the controls that change during the copy.
    static constexpr int kLiveControls = 5;
    QWidget* liveControl(int i) const;
    void holdPaints(bool hold);
    void markDirty(QWidget* control);
    void paintFrame();
    void finishRun();

    JoinSession& m_session;
    Desktop& m_desktop;
    QWidget* m_main;
    bool m_running = false;
    bool m_closeRequested = false;

    // What the window shows now, so that unchanged figures cost nothing.
    JoinFigures m_fig;
    bool m_batchKnown = false;
    bool m_fileKnown = false;
    int m_filePercentShown = 0;
    int m_batchPercentShown = 0;
    int m_fileBarShown = 0; // in pixels of the bar
    int m_batchBarShown = 0;
    qint64 m_nextBatchStep = 0; // below these nothing visible changes
    qint64 m_nextFileStep = 0;
    qint64 m_nextShownStep = 0;
    bool m_holding = false; // the live controls wait for the next frame
    int m_dirty = 0;        // live controls changed since the last frame, one bit each
    QElapsedTimer m_frame;  // since the last frame
};
