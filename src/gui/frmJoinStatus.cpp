#include "gui/frmJoinStatus.h"

#include "core/Format.h"
#include "core/MovieKind.h"
#include "gui/Icons.h"
#include "gui/Layout.h"
#include "platform/Desktop.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QWindow>

#include <cmath>
#include <limits>

namespace {

using Layout::place;

const QString kCaption = QStringLiteral("Joining Files...");
const QString kCancel = QStringLiteral("Cancel");
const QString kFinished = QStringLiteral("Finished");
const QStringList kFilters = {QStringLiteral("MPG Files (*.mpg)"), QStringLiteral("All Files (*)")};

double fractionOf(qint64 done, qint64 total)
{
    // Nothing to copy counts as all of it copied.
    return total > 0 ? double(done) / double(total) : 1.0;
}

// The byte count from which the shown figure may change: the fraction's
// byte position, taken a little early so that rounding never skips a step.
qint64 nextStep(qint64 done, double fraction, qint64 total)
{
    if (total <= 0)
        return std::numeric_limits<qint64>::max();
    const double at = std::floor(fraction * double(total)) - 1.0;
    if (at >= 9.0e18)
        return std::numeric_limits<qint64>::max();
    return qMax(done + 1, qint64(at));
}

} // namespace

frmJoinStatus::frmJoinStatus(JoinSession& session, Desktop& desktop, QWidget* main)
    : QDialog(main, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                        Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                        Qt::MSWindowsFixedSizeDialogHint),
      m_session(session), m_desktop(desktop), m_main(main)
{
    setObjectName(QStringLiteral("frmJoinStatus"));
    setWindowTitle(kCaption);
    setWindowIcon(Icons::program());
    setModal(false);
    buildControls();
}

frmJoinStatus::~frmJoinStatus() = default;

void frmJoinStatus::buildControls()
{
    setFixedSize(Layout::px(7275), Layout::px(1980));

    LblFileNow = place<QLabel>(this, "LblFileNow", 300, 150, 6720, 420);
    LblFileNow->setWordWrap(true);
    LblFileNow->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    // Created after LblFileNow so that it lies over it.
    TextFinal = place<QPlainTextEdit>(this, "TextFinal", 300, 150, 6690, 1140);
    TextFinal->setReadOnly(true);
    TextFinal->setAccessibleName(QStringLiteral("Outcome"));
    TextFinal->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    TextFinal->hide();

    QFont percentFont(QStringLiteral("Sans Serif"));
    percentFont.setStyleHint(QFont::SansSerif);
    percentFont.setPointSizeF(9.75);
    percentFont.setBold(true);
    auto makeBar = [this](const char* name, int top) {
        auto* bar = place<QProgressBar>(this, name, 1125, top, 4320, 240);
        bar->setRange(0, kBarRange);
        bar->setValue(0);
        bar->setTextVisible(false);
        return bar;
    };
    auto makePercent = [this, &percentFont](const char* name, int top) {
        auto* label = place<QLabel>(this, name, 5520, top, 615, 240);
        label->setText(QStringLiteral("0%"));
        label->setFont(percentFont);
        QPalette pal = label->palette();
        pal.setColor(QPalette::WindowText, Qt::red);
        label->setPalette(pal);
        return label;
    };
    ProgressBarFile = makeBar("ProgressBarFile", 600);
    ProgressBarFile->setAccessibleName(QStringLiteral("Current file"));
    LblFilePercent = makePercent("LblFilePercent", 600);
    ProgressBarBatch = makeBar("ProgressBarBatch", 975);
    ProgressBarBatch->setAccessibleName(QStringLiteral("All files"));
    LblBatchPercent = makePercent("LblBatchPercent", 975);

    CmdCancel = Layout::button(this, "CmdCancel", kCancel, 300, 1450, 1590, 390);
    CmdCancel->setDefault(true);
    CmdViewClip = Layout::button(this, "CmdViewClip", QStringLiteral("View Joined MPG"), 3675, 1450,
                                 1590, 390);
    CmdDelSource = Layout::button(this, "CmdDelSource", QStringLiteral("Delete Source Files"), 5400,
                                  1450, 1590, 390);

    Layout::tabOrder({CmdCancel, TextFinal, CmdViewClip, CmdDelSource});

    connect(CmdCancel, &QPushButton::clicked, this, &frmJoinStatus::CmdCancel_Click);
    connect(CmdViewClip, &QPushButton::clicked, this, &frmJoinStatus::CmdViewClip_Click);
    connect(CmdDelSource, &QPushButton::clicked, this, &frmJoinStatus::CmdDelSource_Click);
}

void frmJoinStatus::Form_Load()
{
    CmdViewClip->hide();
    CmdDelSource->hide();

    m_running = true;
    JoinFiles();
    m_running = false;

    if (m_session.ending() == JoinSession::Ending::NoSpace) {
        TextFinal->show();
        TextFinal->setPlainText(m_session.finalText());
        CmdCancel->setText(kFinished);
    }
}

bool frmJoinStatus::kindsAgreed()
{
    // Thousands of files on a slow disk take a while to look at.
    QGuiApplication::setOverrideCursor(Qt::BusyCursor);
    const QString question = m_session.kindQuestion();
    QGuiApplication::restoreOverrideCursor();
    if (m_session.cancelled())
        return false;
    return question.isEmpty() ||
           m_desktop.askYesNo(m_main, MovieKind::questionTitle(), question, Desktop::Default::No);
}

void frmJoinStatus::JoinFiles()
{
    // No to the question ends the join as a cancelled save dialog does.
    const QString chosen =
        kindsAgreed() ? m_desktop.getSaveFileName(m_main, m_session.targetFolder(), kFilters)
                      : QString();
    const QString problem = m_session.chooseTarget(chosen);
    if (!problem.isEmpty())
        m_desktop.message(m_main, problem);
    if (m_session.ending() != JoinSession::Ending::None)
        return;

    show();
    ProgressBarFile->setMinimum(0);
    ProgressBarBatch->setMinimum(0);
    m_session.copy(*this);
    finishRun();
}

void frmJoinStatus::finishRun()
{
    holdPaints(false);
    const JoinSession::Ending ending = m_session.ending();
    if (ending == JoinSession::Ending::Failed)
        m_desktop.message(this, m_session.finalText());
    else
        m_desktop.beep();
    TextFinal->show();
    TextFinal->setPlainText(m_session.finalText());
    setWindowTitle(m_session.caption());
    CmdCancel->setText(kFinished);
    if (ending != JoinSession::Ending::Failed) {
        const bool joined = ending == JoinSession::Ending::Joined;
        CmdViewClip->setEnabled(joined);
        CmdViewClip->show();
        CmdDelSource->setEnabled(joined);
        CmdDelSource->show();
    }

    // The bars end empty; the percentages keep the last figures.
    setFileNow(QString());
    if (m_batchKnown)
        showPercent(LblBatchPercent, m_batchPercentShown, m_fig.batchDone, m_fig.batchTotal);
    if (m_fileKnown)
        showPercent(LblFilePercent, m_filePercentShown, m_fig.fileDone, m_fig.fileLength);
    m_fileBarShown = 0;
    ProgressBarFile->setValue(0);
    m_batchBarShown = 0;
    ProgressBarBatch->setValue(0);
}

void frmJoinStatus::batchStarted(qint64 batchTotal)
{
    m_fig = JoinFigures();
    m_fig.batchTotal = batchTotal;
    m_batchKnown = true;
    m_nextBatchStep = 0;
}

void frmJoinStatus::fileStarted(int index, const JoinFigures& figures)
{
    m_fig = figures;
    m_fileKnown = true;
    m_nextFileStep = 0;
    m_nextShownStep = 0;
    showBar(ProgressBarFile, m_fileBarShown, 0, 1);
    const QList<QueueRow>& rows = m_session.rows();
    const QString& name = index >= 0 && index < rows.size() ? rows.at(index).name : QString();
    setFileNow(QStringLiteral("Now joining file: ") + name + QStringLiteral(" to ") +
               m_session.target() + QStringLiteral(" using a chunk size of ") +
               Format::grouped(m_session.chunkSize()) + QStringLiteral(" bytes"));
}

void frmJoinStatus::copied(const JoinFigures& figures)
{
    m_fig = figures;
    // Most rounds change nothing the user can see: then there is nothing to do.
    if (figures.batchDone < m_nextBatchStep && figures.fileDone < m_nextFileStep &&
        figures.fileShown < m_nextShownStep)
        return;
    m_nextBatchStep = qMin(
        showPercent(LblBatchPercent, m_batchPercentShown, figures.batchDone, figures.batchTotal),
        showBar(ProgressBarBatch, m_batchBarShown, figures.batchDone, figures.batchTotal));
    m_nextShownStep =
        showPercent(LblFilePercent, m_filePercentShown, figures.fileShown, figures.fileLength);
    m_nextFileStep = showBar(ProgressBarFile, m_fileBarShown, figures.fileDone, figures.fileLength);
}

void frmJoinStatus::pumpEvents()
{
    QCoreApplication::processEvents();
    // The controls always hold the current figures, but while the copy runs
    // they are painted once a frame only, all in one go: painting a progress
    // bar costs far more than copying a chunk.
    if (!m_holding) {
        if (windowHandle() && windowHandle()->isExposed()) {
            holdPaints(true);
            m_frame.start();
        }
        return;
    }
    if (m_dirty && m_frame.hasExpired(kFrameMs))
        paintFrame();
}

QWidget* frmJoinStatus::liveControl(int i) const
{
    QWidget* const controls[kLiveControls] = {LblFileNow, LblFilePercent, LblBatchPercent,
                                              ProgressBarFile, ProgressBarBatch};
    return controls[i];
}

void frmJoinStatus::holdPaints(bool hold)
{
    m_holding = hold;
    for (int i = 0; i < kLiveControls; ++i)
        liveControl(i)->setUpdatesEnabled(!hold);
    if (!hold)
        m_dirty = 0;
}

void frmJoinStatus::markDirty(QWidget* control)
{
    for (int i = 0; i < kLiveControls; ++i)
        if (liveControl(i) == control)
            m_dirty |= 1 << i;
}

void frmJoinStatus::paintFrame()
{
    QRegion region;
    for (int i = 0; i < kLiveControls; ++i) {
        if (m_dirty & (1 << i)) {
            liveControl(i)->setUpdatesEnabled(true);
            region += liveControl(i)->geometry();
        }
    }
    repaint(region);
    for (int i = 0; i < kLiveControls; ++i)
        if (m_dirty & (1 << i))
            liveControl(i)->setUpdatesEnabled(false);
    m_dirty = 0;
    m_frame.start();
}

qint64 frmJoinStatus::showPercent(QLabel* label, int& shown, qint64 done, qint64 total)
{
    const double fraction = fractionOf(done, total);
    const int percent = int(std::llround(fraction * 100.0));
    if (percent != shown) {
        shown = percent;
        label->setText(Format::percent(fraction));
        markDirty(label);
    }
    // Rounded up from percent + 0.5.
    return nextStep(done, (percent + 0.5) / 100.0, total);
}

qint64 frmJoinStatus::showBar(QProgressBar* bar, int& shownPixels, qint64 done, qint64 total)
{
    // Only a step the eye can see reaches the bar: one pixel of its width.
    const int width = qMax(1, bar->width());
    const double fraction = qBound(0.0, fractionOf(done, total), 1.0);
    const int pixels = int(fraction * width);
    if (pixels != shownPixels) {
        shownPixels = pixels;
        bar->setValue(int(fraction * kBarRange));
        markDirty(bar);
    }
    return pixels >= width ? std::numeric_limits<qint64>::max()
                           : nextStep(done, double(pixels + 1) / width, total);
}

void frmJoinStatus::setFileNow(const QString& text)
{
    if (LblFileNow->text() == text)
        return;
    LblFileNow->setText(text);
    markDirty(LblFileNow);
}

void frmJoinStatus::CmdCancel_Click()
{
    if (CmdCancel->text() == kCancel) {
        m_session.cancel();
        return;
    }
    m_session.finish();
    emit unloadRequested();
}

void frmJoinStatus::CmdDelSource_Click()
{
    const QString title = QStringLiteral("Delete Source Files?");
    const bool go =
        !m_session.asksBeforeDelete() ||
        m_desktop.askYesNo(this, title,
                           QStringLiteral("Are you sure you want to delete the source files?  "
                                          "These files will be PERMANENTLY deleted."));
    if (go) {
        const JoinSession::Deletion done = m_session.deleteSources();
        QStringList told{done.message};
        if (!done.noTrash.isEmpty() &&
            m_desktop.askYesNo(this, title, JoinSession::deleteForGoodQuestion(done.noTrash)))
            told << m_session.deleteForGood(done.noTrash);
        told.removeAll(QString());
        if (!told.isEmpty())
            m_desktop.message(this, told.join(QStringLiteral("\n\n")));
    }
    // Then as Finished.
    m_session.finish();
    emit unloadRequested();
}

void frmJoinStatus::CmdViewClip_Click()
{
    m_desktop.ShellOpen(m_session.target());
}

void frmJoinStatus::closeEvent(QCloseEvent* event)
{
    if (m_running) {
        // The run still uses this window: stop it; the controller unloads
        // the window once the run has ended.
        event->ignore();
        m_closeRequested = true;
        m_session.cancel();
        return;
    }
    event->accept();
    emit unloadRequested();
}

void frmJoinStatus::reject()
{
    // Esc presses the cancel button; the close box comes through closeEvent.
    CmdCancel->click();
}
