#include "gui/JoinStatusDialog.h"

#include "core/Format.h"
#include "core/MovieKind.h"
#include "gui/Desktop.h"
#include "gui/Icons.h"
#include "gui/Layout.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTextDocument>
#include <QWindow>

using Layout::place;
using Ending = JoinSession::Ending;
using Phase = JoinSession::Phase;

JoinStatusDialog::JoinStatusDialog(JoinSession& session, Desktop& desktop, QWidget* main)
    : QDialog(main, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                        Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                        Qt::MSWindowsFixedSizeDialogHint),
      m_session(session), m_desktop(desktop), m_main(main)
{
    setObjectName(QStringLiteral("frmJoinStatus"));
    setWindowTitle(tr("Joining Files..."));
    setWindowIcon(Icons::program());
    setModal(false);
    buildControls();
}

JoinStatusDialog::~JoinStatusDialog()
{
    restoreCursor();
}

void JoinStatusDialog::buildControls()
{
    setFixedSize(Layout::px(7275), Layout::px(1980));

    m_fileLine = place<QLabel>(this, "LblFileNow", 300, 150, 6720, 420);
    m_fileLine->setWordWrap(true);
    m_fileLine->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    // Created after the file line so that it lies over it.
    m_outcome = place<QPlainTextEdit>(this, "TextFinal", 300, 150, 6690, 1140);
    m_outcome->setReadOnly(true);
    m_outcome->setAccessibleName(tr("Outcome"));
    m_outcome->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    m_outcome->hide();

    QFont percentFont(QStringLiteral("Sans Serif"));
    percentFont.setStyleHint(QFont::SansSerif);
    percentFont.setPointSizeF(9.75);
    percentFont.setBold(true);
    auto makeBar = [this](const char* name, int top, const QString& accessible) {
        auto* bar = place<QProgressBar>(this, name, 1125, top, 4320, 240);
        bar->setRange(0, ProgressThrottle::kBarRange);
        bar->setValue(0);
        bar->setTextVisible(false);
        bar->setAccessibleName(accessible);
        return bar;
    };
    auto makePercent = [this, &percentFont](const char* name, int top) {
        auto* label = place<QLabel>(this, name, 5520, top, 615, 240);
        label->setText(m_throttle.filePercent()); // "0%"
        label->setFont(percentFont);
        QPalette pal = label->palette();
        pal.setColor(QPalette::WindowText, Qt::red);
        label->setPalette(pal);
        return label;
    };
    m_fileBar = makeBar("ProgressBarFile", 600, tr("Current file"));
    m_filePercent = makePercent("LblFilePercent", 600);
    m_batchBar = makeBar("ProgressBarBatch", 975, tr("All files"));
    m_batchPercent = makePercent("LblBatchPercent", 975);
    m_throttle.setBarWidth(m_fileBar->width());
    m_paceLine = place<QLabel>(this, "LblSpeed", 1125, 1290, 5010, 240);
    m_paceLine->hide();

    m_cancel = Layout::button(this, "CmdCancel", tr("Cancel"), 300, 1450, 1590, 390);
    m_cancel->setDefault(true);
    m_view = Layout::button(this, "CmdViewClip", tr("View Joined MPG"), 3675, 1450, 1590, 390);
    m_delete =
        Layout::button(this, "CmdDelSource", tr("Delete Source Files"), 5400, 1450, 1590, 390);
    m_view->hide();
    m_delete->hide();

    Layout::tabOrder({m_cancel, m_outcome, m_view, m_delete});

    connect(m_cancel, &QPushButton::clicked, this, &JoinStatusDialog::cancelOrFinish);
    connect(m_view, &QPushButton::clicked, this,
            [this] { m_desktop.openDocument(m_session.after().record().target); });
    connect(m_delete, &QPushButton::clicked, this, &JoinStatusDialog::deleteSources);
}

void JoinStatusDialog::runJoin()
{
    connect(&m_session, &JoinSession::phaseChanged, this, &JoinStatusDialog::followPhase);
    m_session.run(*this, *this);
    // The next join has a window of its own.
    disconnect(&m_session, &JoinSession::phaseChanged, this, &JoinStatusDialog::followPhase);
}

void JoinStatusDialog::followPhase(Phase phase)
{
    if (phase == Phase::LookingAtFiles) {
        // Thousands of files on a slow disk take a while to look at.
        QGuiApplication::setOverrideCursor(Qt::BusyCursor);
        m_busyCursor = true;
        return;
    }
    restoreCursor();
    if (phase == Phase::Joining) {
        show();
        m_clock.start();
    } else if (phase == Phase::Ended) {
        showEnding();
    }
}

void JoinStatusDialog::restoreCursor()
{
    if (m_busyCursor)
        QGuiApplication::restoreOverrideCursor();
    m_busyCursor = false;
}

JoinSession::Choice JoinStatusDialog::howToJoin(const QString& question, bool oneMovie)
{
    using Choice = JoinSession::Choice;
    restoreCursor();
    const QString title = MovieKind::questionTitle();
    if (!oneMovie)
        return m_desktop.askYesNo(m_main, title, question, Desktop::Default::No) ? Choice::Bytes
                                                                                 : Choice::Cancel;
    static constexpr Choice kButtons[] = {Choice::OneMovie, Choice::Bytes, Choice::Cancel};
    const int pressed =
        m_desktop.choose(m_main, title, question, MovieKind::oneMovieButtons(), 0, 2);
    return kButtons[qBound(0, pressed, 2)];
}

QString JoinStatusDialog::chooseTarget(const QString& folder, const QString& filter)
{
    return m_desktop.getSaveFileName(m_main, folder, Desktop::movieFilters(filter));
}

void JoinStatusDialog::tell(const QString& message)
{
    m_desktop.message(m_main, message);
}

void JoinStatusDialog::showEnding()
{
    const Ending ending = m_session.ending();
    if (std::exchange(m_launcherShown, false))
        m_desktop.launcherProgress(0, false);
    if (ending == Ending::NoTarget) {
        emit unloadRequested();
        return;
    }
    // A long join that ends while the user looks elsewhere: one notification.
    if (m_clock.isValid() && m_clock.elapsed() > m_longJoinMs && !isActiveWindow())
        m_desktop.notify(m_session.caption(), m_session.finalText());
    if (ending != Ending::NoSpace) {
        holdPaints(false);
        if (ending == Ending::Failed)
            m_desktop.message(this, m_session.finalText());
        else
            m_desktop.beep();
    }
    showPace(QString());
    m_outcome->show();
    m_outcome->setPlainText(m_session.finalText());
    fitOutcome();
    setWindowTitle(m_session.caption());
    m_cancel->setText(tr("Finished"));
    if (ending == Ending::Joined || ending == Ending::Cancelled) {
        const bool joined = ending == Ending::Joined;
        m_view->setEnabled(joined);
        m_view->show();
        m_delete->setEnabled(joined);
        m_delete->show();
    }
    if (ending != Ending::NoSpace) {
        // The bars end empty; the percentages keep the last figures.
        setFileLine(QString());
        showFigures(m_throttle.ended());
    }
    if (m_closeRequested)
        emit unloadRequested();
    else
        show();
}

void JoinStatusDialog::fitOutcome()
{
    // A text longer than the room above the bars gets the bars' place too, down to the
    // buttons, and scrolls beyond that: no line of it lies hidden under another control.
    const QString text = m_outcome->toPlainText();
    const int margins =
        2 * (m_outcome->frameWidth() + int(m_outcome->document()->documentMargin()));
    const int needed = m_outcome->fontMetrics()
                           .boundingRect(QRect(0, 0, m_outcome->width() - margins, 1 << 20),
                                         Qt::TextWordWrap | Qt::TextWrapAnywhere, text)
                           .height() +
                       margins;
    const bool fits = needed <= m_fileBar->y() - m_outcome->y();
    for (QWidget* w : {static_cast<QWidget*>(m_fileBar), static_cast<QWidget*>(m_batchBar),
                       static_cast<QWidget*>(m_filePercent), static_cast<QWidget*>(m_batchPercent)})
        w->setVisible(fits);
    if (!fits)
        m_outcome->resize(m_outcome->width(), m_cancel->y() - Layout::px(90) - m_outcome->y());
}

void JoinStatusDialog::showPace(const QString& text)
{
    m_paceLine->setText(text);
    const bool shown = !text.isEmpty();
    if (shown == !m_paceLine->isHidden())
        return;
    // A line of its own: the window grows by it, the buttons move down.
    const int step = (shown ? 1 : -1) * Layout::px(kPaceLineTwips);
    for (QWidget* button : {m_cancel, m_view, m_delete})
        button->move(button->x(), button->y() + step);
    setFixedSize(width(), height() + step);
    m_paceLine->setVisible(shown);
    // The window painted anew: the held controls too, in the next frame.
    for (int item = 1; item <= ProgressThrottle::BatchBar; item <<= 1)
        m_throttle.markChanged(item);
}

void JoinStatusDialog::batchStarted(qint64 batchTotal)
{
    m_throttle.batchStarted(batchTotal);
    m_pace.start(batchTotal);
}

void JoinStatusDialog::fileStarted(int index, const JoinFigures& figures)
{
    showFigures(m_throttle.fileStarted(figures));
    const QList<QueueRow>& rows = m_session.rows();
    const QString name = index >= 0 && index < rows.size() ? rows.at(index).name : QString();
    setFileLine(m_session.joinsAsOneMovie()
                    ? tr("Now joining file: %1 to %2 as one movie").arg(name, m_session.target())
                    : tr("Now joining file: %1 to %2 using a chunk size of %3 bytes")
                          .arg(name, m_session.target(), Format::grouped(m_session.chunkSize())));
}

void JoinStatusDialog::copied(const JoinFigures& figures)
{
    showFigures(m_throttle.copied(figures));
    const qint64 now = m_clock.elapsed();
    if (const std::optional<QString> pace = m_pace.update(figures.batchDone, now))
        showPace(*pace);
    // The launcher icon: at most four times a second.
    if (!m_launcherShown || now - m_launcherMs >= 250) {
        m_launcherShown = true;
        m_launcherMs = now;
        m_desktop.launcherProgress(
            figures.batchTotal > 0 ? double(figures.batchDone) / double(figures.batchTotal) : 1.0,
            true);
    }
    // The controls always hold the current figures, but while the copy runs
    // they are painted in frames, all in one go, once the window is on screen.
    if (m_throttle.framesOn()) {
        if (const int items = m_throttle.takeFrame(m_clock.elapsed()))
            paintFrame(items);
    } else if (windowHandle() && windowHandle()->isExposed()) {
        holdPaints(true);
    }
}

void JoinStatusDialog::showFigures(int changed)
{
    if (changed & ProgressThrottle::FilePercent)
        m_filePercent->setText(m_throttle.filePercent());
    if (changed & ProgressThrottle::BatchPercent)
        m_batchPercent->setText(m_throttle.batchPercent());
    if (changed & ProgressThrottle::FileBar)
        m_fileBar->setValue(m_throttle.fileBar());
    if (changed & ProgressThrottle::BatchBar)
        m_batchBar->setValue(m_throttle.batchBar());
}

void JoinStatusDialog::setFileLine(const QString& text)
{
    if (m_fileLine->text() == text)
        return;
    m_fileLine->setText(text);
    m_throttle.markChanged(ProgressThrottle::FileLine);
}

QWidget* JoinStatusDialog::control(int item) const
{
    switch (item) {
    case ProgressThrottle::FileLine:
        return m_fileLine;
    case ProgressThrottle::FilePercent:
        return m_filePercent;
    case ProgressThrottle::BatchPercent:
        return m_batchPercent;
    case ProgressThrottle::FileBar:
        return m_fileBar;
    default:
        return m_batchBar;
    }
}

void JoinStatusDialog::holdPaints(bool hold)
{
    for (int item = 1; item <= ProgressThrottle::BatchBar; item <<= 1)
        control(item)->setUpdatesEnabled(!hold);
    if (hold)
        m_throttle.startFrames(m_clock.elapsed());
    else
        m_throttle.stopFrames();
}

void JoinStatusDialog::paintFrame(int items)
{
    QRegion region;
    for (int item = 1; item <= ProgressThrottle::BatchBar; item <<= 1) {
        if (items & item) {
            control(item)->setUpdatesEnabled(true);
            region += control(item)->geometry();
        }
    }
    repaint(region);
    for (int item = 1; item <= ProgressThrottle::BatchBar; item <<= 1)
        if (items & item)
            control(item)->setUpdatesEnabled(false);
}

void JoinStatusDialog::cancelOrFinish()
{
    if (m_session.isRunning()) {
        m_session.cancel();
        return;
    }
    m_session.after().finish();
    emit unloadRequested();
}

void JoinStatusDialog::deleteSources()
{
    AfterJoin& after = m_session.after();
    const QString title = tr("Delete Source Files?");
    const bool go = !after.asksBeforeDelete() ||
                    m_desktop.askYesNo(this, title,
                                       tr("Are you sure you want to delete the source files?  "
                                          "These files will be moved to the trash."));
    if (go) {
        const AfterJoin::Deletion done = after.deleteSources();
        QStringList told{done.message};
        if (!done.noTrash.isEmpty() &&
            m_desktop.askYesNo(this, title, AfterJoin::deleteForGoodQuestion(done.noTrash),
                               Desktop::Default::No))
            told << after.deleteForGood(done.noTrash);
        told.removeAll(QString());
        if (!told.isEmpty())
            m_desktop.message(this, told.join(QStringLiteral("\n\n")));
    }
    // Then as Finished.
    after.finish();
    emit unloadRequested();
}

void JoinStatusDialog::closeEvent(QCloseEvent* event)
{
    if (m_session.isRunning()) {
        // The join still uses this window: stop it; the window asks to be
        // unloaded once the join has ended.
        event->ignore();
        m_closeRequested = true;
        m_session.cancel();
        return;
    }
    event->accept();
    emit unloadRequested();
}

void JoinStatusDialog::reject()
{
    // Esc presses the cancel button; the close box comes through closeEvent.
    m_cancel->click();
}
