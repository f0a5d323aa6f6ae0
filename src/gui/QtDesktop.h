#pragma once

#include "gui/Desktop.h"
#include "platform/SessionBus.h"

#include <QList>
#include <QPointer>

class QDialog;

/// The real desktop: QFileDialog and QMessageBox opened without waiting,
/// QDesktopServices, QMenu::popup, QApplication::beep and the session bus.
class QtDesktop : public Desktop
{
public:
    /// `title` is every message box's title (the program's name).
    explicit QtDesktop(QString title);

    void chooseFilesToOpen(QWidget* parent, const QString& dir, const QStringList& filters,
                           std::function<void(const QStringList&)> done) override;
    void chooseSaveFile(QWidget* parent, const QString& dir, const QStringList& filters,
                        const QString& suffix, std::function<void(const QString&)> done) override;
    void chooseFolder(QWidget* parent, const QString& prompt, const QString& dir,
                      std::function<void(const QString&)> done) override;
    void message(QWidget* parent, const QString& text, std::function<void()> done) override;
    void messageAtExit(QWidget* parent, const QString& text) override;
    void askYesNo(QWidget* parent, const QString& title, const QString& text, Default button,
                  std::function<void(bool)> done) override;
    void choose(QWidget* parent, const QString& title, const QString& text,
                const QStringList& buttons, int enter, int escape,
                std::function<void(int)> done) override;
    void dismissAll() override;
    bool openDocument(const QString& target) override;
    void popupMenu(QMenu* menu, const QPoint& globalPos) override;
    void beep() override;
    void launcherProgress(double progress, bool visible) override;
    void notify(const QString& summary, const QString& body) override;

private:
    /// Opens `dialog` modal for the application, deleted once closed;
    /// `finished` runs when it is; after dismissAll() it only runs
    /// `dismissed`, from the event loop, and the dialog is never shown.
    void open(QDialog* dialog, std::function<void()> finished, std::function<void()> dismissed,
              bool evenDismissed = false);

    QString m_title;
    SessionBus m_bus;
    QList<QPointer<QDialog>> m_open;
    bool m_dismissed = false;
};
