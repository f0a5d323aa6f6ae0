#include "join/frmJoinStatus.h"

#include "app/Icons.h"
#include "app/Layout.h"
#include "app/frmReelbind.h"
#include "platform/Platform.h"
#include "queue/FileCheck.h"
#include "queue/Format.h"
#include "queue/QueueController.h"
#include "queue/QueueModel.h"
#include "queue/StrFunc.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSet>
#include <QSlider>
#include <QWindow>

#include <cerrno>
#include <cmath>
#include <limits>
#include <unistd.h>

namespace {

using Layout::place;

const QString kCaption = QStringLiteral("Joining Files...");
const QString kCancel = QStringLiteral("Cancel");
const QString kFinished = QStringLiteral("Finished");
const QString kNoSpace = QStringLiteral(
    "The drive you have selected does not have enough free space to save the joined movie to.");
const QString kTargetIsSource = QStringLiteral(
    "The target file is one of the files to be joined. Please choose another target file.");

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

frmJoinStatus::frmJoinStatus(frmReelbind& main)
    : QDialog(&main, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                         Qt::MSWindowsFixedSizeDialogHint),
      m_main(main)
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
    LblFilePercent = makePercent("LblFilePercent", 600);
    ProgressBarBatch = makeBar("ProgressBarBatch", 975);
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

QString frmJoinStatus::folderOf(const QString& path)
{
    if (!path.contains(QLatin1Char('/')))
        return QString();
    const QString folder = StrFunc::LeftOfLast(path, QStringLiteral("/"));
    return folder.isEmpty() ? QStringLiteral("/") : folder;
}

void frmJoinStatus::Form_Load()
{
    m_joining = true;
    m_notEnoughSpace = false;
    CmdViewClip->hide();
    CmdDelSource->hide();

    m_running = true;
    JoinFiles();
    m_running = false;

    if (m_notEnoughSpace) {
        TextFinal->show();
        TextFinal->setPlainText(kNoSpace);
        CmdCancel->setText(kFinished);
    }
}

void frmJoinStatus::JoinFiles()
{
    // The run joins the queue as it stands now, whatever happens to it later.
    m_rows = m_main.queue()->rows();
    QStringList paths;
    paths.reserve(m_rows.size());
    for (const QueueRow& row : std::as_const(m_rows))
        paths << row.fullPath();

    LiveSettings& live = m_main.live();
    const QString chosen = m_main.platform().getSaveFileName(
        &m_main, live.folderText(LiveSettings::TargetFolder),
        {QStringLiteral("MPG Files (*.mpg)"), QStringLiteral("All Files (*)")});
    if (chosen.isEmpty()) {
        m_ending = Ending::NoTarget;
        return;
    }
    // Opening a source for writing would destroy it before it was read.
    if (JoinEngine::sourceMatching(paths, chosen) >= 0) {
        m_main.platform().message(&m_main, kTargetIsSource);
        m_ending = Ending::NoTarget;
        return;
    }
    m_target = chosen;

    const QString folder = folderOf(m_target);
    if (DiskSpace(folder) == 0) {
        m_main.platform().message(&m_main, kNoSpace);
        m_notEnoughSpace = true;
        m_ending = Ending::NoSpace;
        return;
    }

    if (live.isTicked(LiveSettings::RememberTarget)) {
        live.setFolderText(LiveSettings::TargetFolder, folder);
        m_main.settings().TargetDir = folder;
    }

    show();
    ProgressBarFile->setMinimum(0);
    ProgressBarBatch->setMinimum(0);

    m_chunk = m_main.SldrChunkSize->value();
    JoinEngine engine(paths, m_target, m_chunk, *this);
    m_engine = &engine;
    if (!m_joining)
        engine.cancel();
    const JoinEngine::Outcome outcome = engine.run();
    m_engine = nullptr;
    finishRun(outcome, engine.failureText());
}

int frmJoinStatus::DiskSpace(const QString& folder)
{
    const std::optional<qint64> freeBytes = m_main.platform().freeSpace(folder);
    if (!freeBytes)
        return -1;
    // The need is the sizes as shown, each rounded to whole bytes.
    qint64 need = 0;
    for (const QueueRow& row : std::as_const(m_rows)) {
        const double mb = Format::readFixed(row.size).value_or(0.0);
        need += qint64(SettingRules::roundHalfEven(mb * 1048576.0));
    }
    return *freeBytes > need ? 1 : 0;
}

void frmJoinStatus::finishRun(JoinEngine::Outcome outcome, const QString& failure)
{
    holdPaints(false);
    switch (outcome) {
    case JoinEngine::Outcome::Joined:
        m_ending = Ending::Joined;
        m_main.platform().beep();
        TextFinal->show();
        TextFinal->setPlainText(QStringLiteral("File ") + m_target +
                                QStringLiteral(" has successfully been joined!"));
        setWindowTitle(QStringLiteral("Joining Files...Done!"));
        CmdCancel->setText(kFinished);
        CmdViewClip->setEnabled(true);
        CmdViewClip->show();
        CmdDelSource->setEnabled(true);
        CmdDelSource->show();
        break;
    case JoinEngine::Outcome::Cancelled:
        m_ending = Ending::Cancelled;
        m_main.platform().beep();
        TextFinal->show();
        TextFinal->setPlainText(QStringLiteral("Operation aborted by user"));
        setWindowTitle(QStringLiteral("Joining Files...Cancelled!"));
        CmdCancel->setText(kFinished);
        CmdViewClip->setEnabled(false);
        CmdViewClip->show();
        CmdDelSource->setEnabled(false);
        CmdDelSource->show();
        break;
    case JoinEngine::Outcome::Failed:
        m_ending = Ending::Failed;
        m_main.platform().message(this, failure);
        TextFinal->show();
        TextFinal->setPlainText(failure);
        setWindowTitle(QStringLiteral("Joining Files...Failed!"));
        CmdCancel->setText(kFinished);
        break;
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
    const QString& name = index >= 0 && index < m_rows.size() ? m_rows.at(index).name : QString();
    setFileNow(QStringLiteral("Now joining file: ") + name + QStringLiteral(" to ") + m_target +
               QStringLiteral(" using a chunk size of ") + Format::grouped(m_chunk) +
               QStringLiteral(" bytes"));
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

void frmJoinStatus::cancelJoin()
{
    m_joining = false;
    if (m_engine)
        m_engine->cancel();
}

void frmJoinStatus::CmdCancel_Click()
{
    if (CmdCancel->text() == kCancel) {
        cancelJoin();
        return;
    }
    if (m_main.live().isTicked(LiveSettings::ClearQue))
        m_main.queueController()->clearQueue();
    emit unloadRequested();
}

void frmJoinStatus::CmdDelSource_Click()
{
    bool go = true;
    if (m_main.live().isTicked(LiveSettings::ConfirmDel))
        go = m_main.platform().askYesNo(
            this, QStringLiteral("Delete Source Files?"),
            QStringLiteral("Are you sure you want to delete the source files?  These files will be "
                           "PERMANENTLY deleted."));
    if (go) {
        // Exactly the files this join read; rows queued since then stay.
        QSet<quint64> removed;
        QSet<QString> deleted;
        QStringList problems;
        for (const QueueRow& row : std::as_const(m_rows)) {
            const QString path = row.fullPath();
            if (deleted.contains(path)) {
                removed.insert(row.id);
                continue;
            }
            if (::unlink(QFile::encodeName(path).constData()) == 0) {
                deleted.insert(path);
                removed.insert(row.id);
            } else {
                problems << path + QStringLiteral(": ") + FileCheck::systemReason(errno);
            }
        }
        QueueModel* queue = m_main.queue();
        queue->removeIds(removed);
        if (queue->count() == 0)
            m_main.queueController()->clearQueue();
        else
            m_main.RefreshEstimate();
        if (!problems.isEmpty())
            m_main.platform().message(
                this,
                Format::listMessage(QStringLiteral("These files could not be deleted:"), problems));
    }
    // Then as Finished.
    if (m_main.live().isTicked(LiveSettings::ClearQue))
        m_main.queueController()->clearQueue();
    emit unloadRequested();
}

void frmJoinStatus::CmdViewClip_Click()
{
    m_main.ShellOpen(m_target);
}

void frmJoinStatus::closeEvent(QCloseEvent* event)
{
    if (m_running) {
        // The run still uses this window: stop it; the controller unloads
        // the window once the run has ended.
        event->ignore();
        m_closeRequested = true;
        cancelJoin();
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
