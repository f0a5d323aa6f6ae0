#include "support/FakeDesktop.h"

#include <QAction>
#include <QMenu>

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

QStringList FakeDesktop::getOpenFileNames(QWidget* parent, const QString& dir,
                                          const QStringList& filters)
{
    record("open", {}, parent, dir, filters);
    return m_openAnswers.isEmpty() ? QStringList() : m_openAnswers.takeFirst();
}

QString FakeDesktop::getSaveFileName(QWidget* parent, const QString& dir,
                                     const QStringList& filters)
{
    record("save", {}, parent, dir, filters);
    return m_answers[0].isEmpty() ? QString() : m_answers[0].takeFirst();
}

QString FakeDesktop::getExistingDirectory(QWidget* parent, const QString& prompt,
                                          const QString& dir)
{
    record("folder", prompt, parent, dir);
    return m_answers[1].isEmpty() ? QString() : m_answers[1].takeFirst();
}

void FakeDesktop::message(QWidget* parent, const QString& text)
{
    record("message", text, parent);
    if (auto fn = std::exchange(m_onMessage, nullptr))
        fn(text);
}

bool FakeDesktop::askYesNo(QWidget* parent, const QString& title, const QString& text,
                           Default button)
{
    record("yesno", title + QLatin1Char('|') + text, parent, {}, {}, button);
    return !m_yesNoAnswers.isEmpty() && m_yesNoAnswers.takeFirst();
}

int FakeDesktop::choose(QWidget* parent, const QString& title, const QString& text,
                        const QStringList& buttons, int enter, int escape)
{
    QStringList shown = buttons;
    shown.move(enter, 0);
    record("choice", title + QLatin1Char('|') + text, parent, {}, shown);
    return m_choices.isEmpty() ? escape : m_choices.takeFirst();
}

void FakeDesktop::launcherProgress(double progress, bool visible)
{
    record("launcher", visible ? QString::number(progress, 'f', 2) : QStringLiteral("hidden"));
    if (bus)
        bus->launcherProgress(progress, visible);
}

void FakeDesktop::notify(const QString& summary, const QString& body)
{
    record("notify", summary + QLatin1Char('|') + body);
    if (bus)
        bus->notify(summary, body);
}

bool FakeDesktop::openDocument(const QString& target)
{
    record("document", target);
    return true;
}

QAction* FakeDesktop::popupMenu(QMenu* menu, const QPoint&)
{
    QStringList texts;
    const auto actions = menu->actions();
    for (QAction* a : actions)
        texts << a->text();
    record("popup", texts.join(QLatin1Char(',')));
    const int choice = m_popupChoices.isEmpty() ? -1 : m_popupChoices.takeFirst();
    if (choice < 0 || choice >= actions.size())
        return nullptr;
    actions[choice]->trigger();
    return actions[choice];
}

void FakeDesktop::beep()
{
    record("beep");
}
