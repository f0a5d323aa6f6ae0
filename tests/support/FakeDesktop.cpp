#include "support/FakeDesktop.h"

#include <QAction>
#include <QMenu>

QStringList FakeDesktop::getOpenFileNames(QWidget* parent, const QString& dir,
                                          const QStringList& filters)
{
    calls << QStringLiteral("open: ") + dir;
    dialogs.append({QStringLiteral("open"), dir, QString(), filters, parent});
    return m_openAnswers.isEmpty() ? QStringList() : m_openAnswers.takeFirst();
}

QString FakeDesktop::getSaveFileName(QWidget* parent, const QString& dir,
                                     const QStringList& filters)
{
    calls << QStringLiteral("save: ") + dir;
    dialogs.append({QStringLiteral("save"), dir, QString(), filters, parent});
    return m_saveAnswers.isEmpty() ? QString() : m_saveAnswers.takeFirst();
}

QString FakeDesktop::getExistingDirectory(QWidget* parent, const QString& prompt,
                                          const QString& dir)
{
    calls << QStringLiteral("folder: ") + prompt;
    dialogs.append({QStringLiteral("folder"), dir, prompt, {}, parent});
    return m_dirAnswers.isEmpty() ? QString() : m_dirAnswers.takeFirst();
}

void FakeDesktop::message(QWidget*, const QString& text)
{
    calls << QStringLiteral("message: ") + text;
    messages << text;
    if (auto fn = std::exchange(m_onMessage, nullptr))
        fn(text);
}

bool FakeDesktop::askYesNo(QWidget*, const QString& title, const QString& text, Default button)
{
    questionDefaults << button;
    calls << QStringLiteral("yesno: ") + title;
    questions << title + QLatin1Char('|') + text;
    return !m_yesNoAnswers.isEmpty() && m_yesNoAnswers.takeFirst();
}

bool FakeDesktop::openDocument(const QString& target)
{
    calls << QStringLiteral("shell: ") + target;
    opened << target;
    return true;
}

QAction* FakeDesktop::popupMenu(QMenu* menu, const QPoint&)
{
    QStringList texts;
    const auto actions = menu->actions();
    for (QAction* a : actions)
        texts << a->text();
    popups.append(texts);
    calls << QStringLiteral("popup: ") + texts.join(QLatin1Char(','));
    const int choice = m_popupChoices.isEmpty() ? -1 : m_popupChoices.takeFirst();
    if (choice < 0 || choice >= actions.size())
        return nullptr;
    actions[choice]->trigger();
    return actions[choice];
}

void FakeDesktop::beep()
{
    calls << QStringLiteral("beep");
    ++beeps;
}
