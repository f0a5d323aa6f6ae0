#include "gui/QtDesktop.h"

#include "Product.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QUrl>

QtDesktop::QtDesktop(QString title) : m_title(title), m_bus(Product::kDesktopId, title) {}

void QtDesktop::launcherProgress(double progress, bool visible)
{
    m_bus.launcherProgress(progress, visible);
}

void QtDesktop::notify(const QString& summary, const QString& body)
{
    m_bus.notify(summary, body);
}

QStringList QtDesktop::getOpenFileNames(QWidget* parent, const QString& dir,
                                        const QStringList& filters)
{
    return QFileDialog::getOpenFileNames(parent, QString(), dir,
                                         filters.join(QStringLiteral(";;")));
}

QString QtDesktop::getSaveFileName(QWidget* parent, const QString& dir, const QStringList& filters)
{
    // QFileDialog asks before replacing an existing file by default.
    return QFileDialog::getSaveFileName(parent, QString(), dir, filters.join(QStringLiteral(";;")));
}

QString QtDesktop::getExistingDirectory(QWidget* parent, const QString& prompt, const QString& dir)
{
    QString chosen = QFileDialog::getExistingDirectory(parent, prompt, dir);
    if (chosen.size() > 1 && chosen.endsWith(QLatin1Char('/')))
        chosen.chop(1);
    return chosen;
}

void QtDesktop::message(QWidget* parent, const QString& text)
{
    QMessageBox box(QMessageBox::NoIcon, m_title, text, QMessageBox::Ok, parent);
    box.exec();
}

bool QtDesktop::askYesNo(QWidget* parent, const QString& title, const QString& text, Default button)
{
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Yes | QMessageBox::No, parent);
    box.setDefaultButton(button == Default::No ? QMessageBox::No : QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}

int QtDesktop::choose(QWidget* parent, const QString& title, const QString& text,
                      const QStringList& buttons, int enter, int escape)
{
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::NoButton, parent);
    QList<QPushButton*> added;
    for (int i = 0; i < buttons.size(); ++i)
        added << box.addButton(buttons[i],
                               i == escape ? QMessageBox::RejectRole : QMessageBox::AcceptRole);
    box.setDefaultButton(added.value(enter));
    box.setEscapeButton(added.value(escape));
    box.exec();
    const int pressed = int(added.indexOf(static_cast<QPushButton*>(box.clickedButton())));
    return pressed < 0 ? escape : pressed;
}

bool QtDesktop::openDocument(const QString& target)
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

QAction* QtDesktop::popupMenu(QMenu* menu, const QPoint& globalPos)
{
    return menu->exec(globalPos);
}

void QtDesktop::beep()
{
    QApplication::beep();
}
