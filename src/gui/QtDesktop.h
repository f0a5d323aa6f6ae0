#pragma once

#include "gui/Desktop.h"
#include "platform/SessionBus.h"

/// The real desktop: QFileDialog, QMessageBox, QDesktopServices,
/// QMenu::exec, QApplication::beep and the session bus.
class QtDesktop : public Desktop
{
public:
    /// `title` is every message box's title (the program's name).
    explicit QtDesktop(QString title);

    QStringList getOpenFileNames(QWidget* parent, const QString& dir,
                                 const QStringList& filters) override;
    QString getSaveFileName(QWidget* parent, const QString& dir,
                            const QStringList& filters) override;
    QString getExistingDirectory(QWidget* parent, const QString& prompt,
                                 const QString& dir) override;
    void message(QWidget* parent, const QString& text) override;
    int choose(QWidget* parent, const QString& title, const QString& text,
               const QStringList& buttons, int enter, int escape) override;
    bool askYesNo(QWidget* parent, const QString& title, const QString& text,
                  Default button = Default::Yes) override;
    bool openDocument(const QString& target) override;
    QAction* popupMenu(QMenu* menu, const QPoint& globalPos) override;
    void beep() override;
    void launcherProgress(double progress, bool visible) override;
    void notify(const QString& summary, const QString& body) override;

private:
    QString m_title;
    SessionBus m_bus;
};
