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

void FakeDesktop::open(const Call& call, const QVariant& escape,
                       std::function<void(const QVariant&)> done)
{
    calls.append(call);
    QVariantList& next = m_next[call.kind];
    QObject* owner = call.parent ? static_cast<QObject*>(call.parent) : &m_context;
    Dialog d{owner, [&next, escape, done](bool esc) {
                 done(esc || next.isEmpty() ? escape : next.takeFirst());
             }};
    const bool esc = next.isEmpty() || m_dismissed;
    if (next.isEmpty() && holdUnprepared && !m_dismissed)
        m_open.append(std::move(d));
    else
        QTimer::singleShot(0, owner, [answer = std::move(d.answer), esc] { answer(esc); });
}

void FakeDesktop::answerOpen()
{
    if (m_open.isEmpty())
        return;
    const Dialog d = m_open.takeLast();
    if (d.owner)
        d.answer(false);
}

void FakeDesktop::dismissAll()
{
    m_dismissed = true;
    while (!m_open.isEmpty()) {
        const Dialog d = m_open.takeLast();
        if (d.owner)
            d.answer(true);
    }
}

void FakeDesktop::chooseFilesToOpen(QWidget* parent, const QString& dir, const QStringList& filters,
                                    std::function<void(const QStringList&)> done)
{
    open({"open", {}, dir, filters, parent}, QStringList(),
         [done](const QVariant& v) { done(v.toStringList()); });
}

void FakeDesktop::chooseSaveFile(QWidget* parent, const QString& dir, const QStringList& filters,
                                 const QString& suffix, std::function<void(const QString&)> done)
{
    open({"save", suffix, dir, filters, parent}, QString(),
         [done](const QVariant& v) { done(v.toString()); });
}

void FakeDesktop::chooseFolder(QWidget* parent, const QString& prompt, const QString& dir,
                               std::function<void(const QString&)> done)
{
    open({"folder", prompt, dir, {}, parent}, QString(),
         [done](const QVariant& v) { done(v.toString()); });
}

void FakeDesktop::message(QWidget* parent, const QString& text, std::function<void()> done)
{
    open({"message", text, {}, {}, parent}, {}, [done](const QVariant&) {
        if (done)
            done();
    });
}

void FakeDesktop::messageAtExit(QWidget* parent, const QString& text)
{
    calls.append({"message", text, {}, {}, parent});
}

void FakeDesktop::askYesNo(QWidget* parent, const QString& title, const QString& text,
                           Default button, std::function<void(bool)> done)
{
    open({"yesno", title + '|' + text, {}, {}, parent, button}, false,
         [done](const QVariant& v) { done(v.toBool()); });
}

void FakeDesktop::choose(QWidget* parent, const QString& title, const QString& text,
                         const QStringList& buttons, int enter, int escape,
                         std::function<void(int)> done)
{
    QStringList shown = buttons;
    shown.move(enter, 0);
    open({"choice", title + '|' + text, {}, shown, parent}, escape,
         [done](const QVariant& v) { done(v.toInt()); });
}

void FakeDesktop::launcherProgress(double progress, bool visible)
{
    calls.append({"launcher", visible ? QString::number(progress, 'f', 2) : "hidden"});
}

void FakeDesktop::notify(const QString& summary, const QString& body)
{
    calls.append({"notify", summary + '|' + body});
}

bool FakeDesktop::openDocument(const QString& target)
{
    calls.append({"document", target});
    return true;
}

void FakeDesktop::popupMenu(QMenu* menu, const QPoint&)
{
    QStringList texts;
    const auto actions = menu->actions();
    for (QAction* a : actions)
        texts << a->text();
    calls.append({"popup", texts.join(',')});
    QVariantList& choices = m_next["popup"];
    const int choice = choices.isEmpty() ? -1 : choices.takeFirst().toInt();
    if (choice >= 0 && choice < actions.size())
        QTimer::singleShot(0, actions[choice], &QAction::trigger);
}

void FakeDesktop::beep()
{
    calls.append({"beep"});
}
