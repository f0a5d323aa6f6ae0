#include "platform/QtPlatform.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QMenu>
#include <QMessageBox>
#include <QStorageInfo>
#include <QUrl>

Platform::~Platform() = default;

QString appTitle()
{
    return QStringLiteral("Orvel's Reelbind");
}

QStringList QtPlatform::getOpenFileNames(QWidget* parent, const QString& dir,
                                         const QStringList& filters)
{
    return QFileDialog::getOpenFileNames(parent, QString(), dir,
                                         filters.join(QStringLiteral(";;")));
}

QString QtPlatform::getSaveFileName(QWidget* parent, const QString& dir, const QStringList& filters)
{
    // QFileDialog asks before replacing an existing file by default.
    return QFileDialog::getSaveFileName(parent, QString(), dir, filters.join(QStringLiteral(";;")));
}

QString QtPlatform::getExistingDirectory(QWidget* parent, const QString& prompt, const QString& dir)
{
    QString chosen = QFileDialog::getExistingDirectory(parent, prompt, dir);
    if (chosen.size() > 1 && chosen.endsWith(QLatin1Char('/')))
        chosen.chop(1);
    return chosen;
}

void QtPlatform::message(QWidget* parent, const QString& text)
{
    QMessageBox box(QMessageBox::NoIcon, appTitle(), text, QMessageBox::Ok, parent);
    box.exec();
}

bool QtPlatform::askYesNo(QWidget* parent, const QString& title, const QString& text)
{
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Yes | QMessageBox::No, parent);
    return box.exec() == QMessageBox::Yes;
}

bool QtPlatform::shellOpen(const QString& target)
{
    const QUrl asUrl(target, QUrl::StrictMode);
    if (asUrl.isValid() && asUrl.scheme().size() > 1)
        return QDesktopServices::openUrl(asUrl);
    // A program in "/" gives "//Readme.html"; to QUrl a leading "//" names a host.
    QString path = target;
    while (path.startsWith(QLatin1String("//")))
        path.remove(0, 1);
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

std::optional<qint64> QtPlatform::freeSpace(const QString& path)
{
    // A fresh QStorageInfo each time: it caches its figures.
    QStorageInfo info(path);
    if (!info.isValid() || !info.isReady())
        return std::nullopt;
    const qint64 avail = info.bytesAvailable();
    if (avail < 0)
        return std::nullopt;
    return avail;
}

QAction* QtPlatform::popupMenu(QMenu* menu, const QPoint& globalPos)
{
    return menu->exec(globalPos);
}

void QtPlatform::beep()
{
    QApplication::beep();
}
