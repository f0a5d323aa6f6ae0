#pragma once

#include "gui/MainWindow.h"
#include "support/CoreSupport.h"
#include "support/FakeDesktop.h"

namespace TestSupport {

/// Settings every GUI test wants: Qt's own dialogs, the program's font.
void initGuiTest();

/// The child (control, action or menu) of `parent` with this objectName;
/// the test program stops when there is none.
template <typename T = QWidget> T* child(const QObject* parent, const char* name)
{
    T* found = parent ? parent->findChild<T*>(QLatin1String(name)) : nullptr;
    if (!found)
        qFatal("no %s named %s", T::staticMetaObject.className(), name);
    return found;
}

/// A started program with its main window on a scripted desktop (the window goes first).
struct App : Core
{
    FakeDesktop desktop;
    std::unique_ptr<MainWindow> window;

    template <typename... Args>
    explicit App(Args&&... args)
        : Core(std::forward<Args>(args)...), window(std::make_unique<MainWindow>(*program, desktop))
    {
    }
};

} // namespace TestSupport
