#pragma once

#include "platform/Platform.h"

/// The real desktop: QFileDialog, QMessageBox, QDesktopServices,
/// QStorageInfo, QMenu::exec and QApplication::beep.
class QtPlatform : public Platform
{
public:
    QStringList getOpenFileNames(QWidget* parent, const QString& dir,
                                 const QStringList& filters) override;
    QString getSaveFileName(QWidget* parent, const QString& dir,
                            const QStringList& filters) override;
    QString getExistingDirectory(QWidget* parent, const QString& prompt,
                                 const QString& dir) override;
    void message(QWidget* parent, const QString& text) override;
    bool askYesNo(QWidget* parent, const QString& title, const QString& text) override;
    bool shellOpen(const QString& target) override;
    std::optional<qint64> freeSpace(const QString& path) override;
    QAction* popupMenu(QMenu* menu, const QPoint& globalPos) override;
    void beep() override;
};
