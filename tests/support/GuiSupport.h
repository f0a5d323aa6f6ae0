#pragma once

#include "gui/JoinStatusDialog.h"
#include "gui/MainWindow.h"
#include "support/CoreSupport.h"
#include "support/FakeDesktop.h"

#include <QAbstractButton>

namespace TestSupport {

/// Settings every GUI test wants: Qt's own dialogs, the program's font.
void initGuiTest();

/// Names (or titles) of the visible top-level widgets; `close` closes them.
QStringList visibleTopLevels(bool close = false);

/// How many top-level widgets inherit `className` (shown or hidden).
int topLevelCount(const char* className);

/// Faults in a fixed layout of `window`'s direct children: a control that
/// leaves the window, two that overlap, or a text drawn larger than its
/// control (a push button keeps 4 pixels of bevel a side). Empty if none.
QStringList layoutFaults(const QWidget* window);

/// The controls of `window` a screen reader could not name: each that takes
/// the keyboard, and each progress bar, without an accessible name.
QStringList unnamedControls(const QWidget* window);

/// The child (control, action or menu) of `parent` with this objectName;
/// the test program stops when there is none.
template <typename T = QWidget> T* child(const QObject* parent, const char* name)
{
    T* found = parent ? parent->findChild<T*>(QLatin1String(name)) : nullptr;
    if (!found)
        qFatal("no %s named %s", T::staticMetaObject.className(), name);
    return found;
}

/// In a _data function: a QString column `column` and a row per text "tag=value" (or the
/// whole text as tag and value when it has no "=").
void tableRows(const char* column, std::initializer_list<const char*> rows);

/// What a control shows: a progress bar's value, any other's text.
QString shown(const QObject* parent, const char* name);
/// Clicks the button, or triggers the action, named `name` of `parent`.
void press(const QObject* parent, const char* name);
/// What these controls show, joined by spaces.
QString shownEach(const QObject* parent, std::initializer_list<const char*> names);

/// A started program with its main window on a scripted desktop.
struct App : Core
{
    FakeDesktop desktop;
    std::unique_ptr<MainWindow> window;

    template <typename... Args>
    explicit App(Args&&... args)
        : Core(std::forward<Args>(args)...), window(std::make_unique<MainWindow>(*program, desktop))
    {
    }
    ~App() override { window.reset(); }
};

/// An App whose main window is on screen.
struct Shown : App
{
    template <typename... Args> explicit Shown(Args&&... args) : App(std::forward<Args>(args)...)
    {
        window->show();
    }
    JoinStatusDialog* status() const { return window->statusWindow(); }
    /// Presses Join, the save dialog to answer `target` (empty: cancelled).
    void runJoin(const QString& target)
    {
        desktop.setNextSaveFile(target);
        child<QAbstractButton>(window.get(), "CmdJoin")->click();
    }
};

} // namespace TestSupport
