#pragma once

#include "gui/MainWindow.h"
#include "support/CoreSupport.h"
#include "support/FakeDesktop.h"

#include <QStringList>
#include <QWidget>

namespace TestSupport {

/// Settings every GUI test wants: Qt's own dialogs, the program's font.
void initGuiTest();

/// Object names (or titles) of top-level widgets that are still visible.
QStringList visibleTopLevels();

/// Closes every visible top-level widget; returns what was visible.
QStringList closeAllTopLevels();

/// How many top-level widgets inherit `className` (shown or hidden).
int topLevelCount(const char* className);

/// Faults in a fixed layout of `window`'s direct children: a control that
/// leaves the window, two that overlap, or a text drawn larger than its
/// control (a push button keeps 4 pixels of bevel a side). Empty if none.
QStringList layoutFaults(const QWidget* window);

/// The controls of `window` a screen reader could not name: each that takes
/// the keyboard, and each progress bar, without an accessible name.
QStringList unnamedControls(const QWidget* window);

/// The child (a control, action or menu) of `parent` with this objectName;
/// the test fails hard when there is none.
template <typename T = QWidget> T* child(const QObject* parent, const char* name)
{
    T* found = parent ? parent->findChild<T*>(QLatin1String(name)) : nullptr;
    if (!found)
        qFatal("no %s named %s", T::staticMetaObject.className(), name);
    return found;
}

/// A started program with its main window on a scripted desktop.
struct App : Core
{
    FakeDesktop desktop;
    std::unique_ptr<MainWindow> window;

    explicit App(const QByteArray& ini = QByteArray());
    explicit App(const char* ini) : App(QByteArray(ini)) {}
    explicit App(InFolder where);
    ~App() override;
};

} // namespace TestSupport
