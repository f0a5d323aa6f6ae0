#include "support/FakeDesktop.h"

#include <QAction>
#include <QMenu>
#include <QTimer>

QStringList FakeDesktop::texts(const QString& kind) const
{
    QStringList out;
    for (const Call& c : calls)
        if (c.kind == kind)
            out << c.text;
    return out;
}

void FakeDesktop::record(const char* kind, const QString& text, QWidget* parent, const QString& dir,
                         const QStringList& filters, Default button)
{
    calls.append({QLatin1String(kind), text, dir, filters, parent, button});
}

void FakeDesktop::open(const char* kind, QWidget* parent, bool prepared,
                       std::function<void(bool)> answer)
{
    Dialog d{QLatin1String(kind), parent, parent != nullptr, std::move(answer)};
    if (!prepared && holdUnprepared && !m_dismissed)
        m_open.append(std::move(d));
    else
        answerLater(std::move(d), !prepared || m_dismissed);
}

void FakeDesktop::answerLater(Dialog d, bool escape)
{
    QObject* context = d.hasParent ? static_cast<QObject*>(d.parent.data()) : &m_context;
    if (!context)
        return; // its window is gone: no answer, as with a real dialog
    QTimer::singleShot(0, context, [answer = std::move(d.answer), escape] { answer(escape); });
}

void FakeDesktop::answerOpen()
{
    if (m_open.isEmpty())
        return;
    Dialog d = m_open.takeLast();
    if (!d.hasParent || d.parent)
        d.answer(false);
}

void FakeDesktop::dismissAll()
{
    m_dismissed = true;
    while (!m_open.isEmpty()) {
        Dialog d = m_open.takeLast();
        if (!d.hasParent || d.parent)
            d.answer(true);
    }
}

namespace {
// The next prepared answer, or Esc's.
template <typename T> T next(QList<T>& answers, bool escape, const T& escapes)
{
    return escape || answers.isEmpty() ? escapes : answers.takeFirst();
}
} // namespace

void FakeDesktop::chooseFilesToOpen(QWidget* parent, const QString& dir, const QStringList& filters,
                                    std::function<void(const QStringList&)> done)
{
    record("open", {}, parent, dir, filters);
    open("open", parent, !m_openAnswers.isEmpty(),
         [this, done](bool esc) { done(next(m_openAnswers, esc, {})); });
}

void FakeDesktop::chooseSaveFile(QWidget* parent, const QString& dir, const QStringList& filters,
                                 std::function<void(const QString&)> done)
{
    record("save", {}, parent, dir, filters);
    open("save", parent, !m_answers[0].isEmpty(),
         [this, done](bool esc) { done(next(m_answers[0], esc, {})); });
}

void FakeDesktop::chooseFolder(QWidget* parent, const QString& prompt, const QString& dir,
                               std::function<void(const QString&)> done)
{
    record("folder", prompt, parent, dir);
    open("folder", parent, !m_answers[1].isEmpty(),
         [this, done](bool esc) { done(next(m_answers[1], esc, {})); });
}

void FakeDesktop::message(QWidget* parent, const QString& text, std::function<void()> done)
{
    record("message", text, parent);
    open("message", parent, !holdUnprepared, [done](bool) { done ? done() : void(); });
}

void FakeDesktop::messageAtExit(QWidget* parent, const QString& text)
{
    record("message", text, parent);
}

void FakeDesktop::askYesNo(QWidget* parent, const QString& title, const QString& text,
                           Default button, std::function<void(bool)> done)
{
    record("yesno", title + QLatin1Char('|') + text, parent, {}, {}, button);
    open("yesno", parent, !m_yesNoAnswers.isEmpty(),
         [this, done](bool esc) { done(next(m_yesNoAnswers, esc, false)); });
}

void FakeDesktop::choose(QWidget* parent, const QString& title, const QString& text,
                         const QStringList& buttons, int enter, int escape,
                         std::function<void(int)> done)
{
    QStringList shown = buttons;
    shown.move(enter, 0);
    record("choice", title + QLatin1Char('|') + text, parent, {}, shown);
    open("choice", parent, !m_choices.isEmpty(),
         [this, done, escape](bool esc) { done(next(m_choices, esc, escape)); });
}

void FakeDesktop::launcherProgress(double progress, bool visible)
{
    record("launcher", visible ? QString::number(progress, 'f', 2) : QStringLiteral("hidden"));
    bus ? bus->launcherProgress(progress, visible) : void();
}

void FakeDesktop::notify(const QString& summary, const QString& body)
{
    record("notify", summary + QLatin1Char('|') + body);
    bus ? bus->notify(summary, body) : void();
}

bool FakeDesktop::openDocument(const QString& target)
{
    record("document", target);
    return true;
}

void FakeDesktop::popupMenu(QMenu* menu, const QPoint&)
{
    QStringList texts;
    const auto actions = menu->actions();
    for (QAction* a : actions)
        texts << a->text();
    record("popup", texts.join(QLatin1Char(',')));
    const int choice = m_popupChoices.isEmpty() ? -1 : m_popupChoices.takeFirst();
    if (choice >= 0 && choice < actions.size())
        QTimer::singleShot(0, actions[choice], &QAction::trigger);
}

void FakeDesktop::beep()
{
    record("beep");
}
