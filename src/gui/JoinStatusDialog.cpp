#include "gui/JoinStatusDialog.h"

#include "core/movies/MovieKind.h"
#include "core/text/Format.h"
#include "gui/Desktop.h"
#include "gui/Icons.h"
#include "gui/Layout.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
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
    setBusy(false);
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
        // Room for "100%" as the language writes it ("100 %").
        label->resize(
            qMax(label->width(), label->fontMetrics().horizontalAdvance(Format::percent(1.0)) + 2),
            label->height());
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

bool JoinStatusDialog::startJoin()
{
    connect(&m_session, &JoinSession::phaseChanged, this, &JoinStatusDialog::followPhase);
    connect(&m_session, &JoinSession::batchStarted, this, &JoinStatusDialog::batchStarted);
    connect(&m_session, &JoinSession::fileStarted, this, &JoinStatusDialog::fileStarted);
    connect(&m_session, &JoinSession::copied, this, &JoinStatusDialog::copied);
    if (m_session.start())
        return true;
    disconnect(&m_session, nullptr, this, nullptr);
    return false;
}

void JoinStatusDialog::followPhase(Phase phase)
{
    // Thousands of files on a slow disk take a while to look at and to check.
    setBusy(phase == Phase::LookingAtFiles || phase == Phase::Checking);
    switch (phase) {
    case Phase::Asking:
        return ask();
    case Phase::ChoosingTarget:
        return chooseTarget();
    case Phase::Joining:
        show();
        m_clock.start();
        return;
    case Phase::Ended:
        // The next join has a window of its own.
        disconnect(&m_session, nullptr, this, nullptr);
        return showEnding();
    default:
        return;
    }
}

void JoinStatusDialog::setBusy(bool busy)
{
    if (busy == m_busyCursor)
        return;
    m_busyCursor = busy;
    if (busy)
        QGuiApplication::setOverrideCursor(Qt::BusyCursor);
    else
        QGuiApplication::restoreOverrideCursor();
}

void JoinStatusDialog::ask()
{
    using Choice = JoinSession::Choice;
    JoinSession* session = &m_session;
    const QString title = MovieKind::questionTitle();
    if (!m_session.offersOneMovie()) {
        m_desktop.askYesNo(
            m_main, title, m_session.question(), Desktop::Default::No,
            [session](bool yes) { session->answer(yes ? Choice::Bytes : Choice::Cancel); });
        return;
    }
    m_desktop.choose(
        m_main, title, m_session.question(), MovieKind::oneMovieButtons(), 0, 2,
        [session](int pressed) {
            static constexpr Choice kButtons[] = {Choice::OneMovie, Choice::Bytes, Choice::Cancel};
            session->answer(kButtons[qBound(0, pressed, 2)]);
        });
}

void JoinStatusDialog::chooseTarget()
{
    JoinSession* session = &m_session;
    m_desktop.chooseSaveFile(m_main, m_session.targetFolder(),
                             Desktop::movieFilters(m_session.targetFilter()),
                             m_session.targetSuffix(),
                             [session](const QString& target) { session->chooseTarget(target); });
}

void JoinStatusDialog::showEnding()
{
    const Ending ending = m_session.ending();
    if (std::exchange(m_launcherShown, false))
        m_desktop.launcherProgress(0, false);
    if (ending == Ending::NoTarget) {
        if (!m_session.notice().isEmpty())
            m_desktop.message(m_main, m_session.notice());
        emit unloadRequested();
        return;
    }
    // A long join that ends while the user looks elsewhere: one notification.
    if (m_clock.isValid() && m_clock.elapsed() > m_longJoinMs && !isActiveWindow())
        m_desktop.notify(m_session.caption(), m_session.finalText());
    showOutcome();
    if (m_closeRequested) {
        emit unloadRequested();
    } else if (ending == Ending::NoSpace) {
        // The message first; the window with the same text once it is read.
        QPointer<JoinStatusDialog> self(this);
        m_desktop.message(m_main, m_session.notice(), [self] {
            if (self)
                self->show();
        });
    } else {
        show();
        if (ending == Ending::Failed || ending == Ending::Mismatched)
            m_desktop.message(this, m_session.finalText());
        else
            m_desktop.beep();
    }
}

void JoinStatusDialog::showOutcome()
{
    const Ending ending = m_session.ending();
    if (ending != Ending::NoSpace)
        holdPaints(false);
    showPace(QString());
    m_outcome->show();
    m_outcome->setPlainText(m_session.finalText());
    fitOutcome();
    setWindowTitle(m_session.caption());
    m_cancel->setText(tr("Finished"));
    if (ending == Ending::Joined || ending == Ending::Cancelled || ending == Ending::Mismatched) {
        // A file that does not match its checksum can be looked at, but its sources must stay.
        m_view->setEnabled(ending != Ending::Cancelled);
        m_view->show();
        m_delete->setEnabled(m_session.after().mayDelete());
        m_delete->setVisible(ending != Ending::Mismatched);
    }
    if (ending != Ending::NoSpace) {
        // The bars end empty; the percentages keep the last figures.
        setFileLine(QString());
        showFigures(m_throttle.ended());
    }
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
    const QString title = tr("Delete Source Files?");
    const auto deleteThenFinish = [this, title] {
        AfterJoin& after = m_session.after();
        const AfterJoin::Deletion done = after.deleteSources();
        const auto tell = [this](QStringList told) {
            told.removeAll(QString());
            if (!told.isEmpty())
                m_desktop.message(m_main, told.join(QStringLiteral("\n\n")));
            // Then as Finished.
            m_session.after().finish();
            emit unloadRequested();
        };
        if (done.noTrash.isEmpty())
            return tell({done.message});
        m_desktop.askYesNo(
            this, title, AfterJoin::deleteForGoodQuestion(done.noTrash), Desktop::Default::No,
            [this, tell, done](bool yes) {
                tell({done.message,
                      yes ? m_session.after().deleteForGood(done.noTrash) : QString()});
            });
    };
    if (!m_session.after().asksBeforeDelete())
        return deleteThenFinish();
    m_desktop.askYesNo(this, title,
                       tr("Are you sure you want to delete the source files?  These files will "
                          "be moved to the trash."),
                       Desktop::Default::Yes, [this, deleteThenFinish](bool yes) {
                           if (yes)
                               return deleteThenFinish();
                           m_session.after().finish();
                           emit unloadRequested();
                       });
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
