#include "gui/QtDesktop.h"

#include "Product.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
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

void QtDesktop::open(QDialog* dialog, std::function<void()> finished,
                     std::function<void()> dismissed, bool evenDismissed)
{
    if (m_dismissed && !evenDismissed) {
        QObject* context = dialog->parent() ? dialog->parent() : qApp;
        delete dialog;
        QTimer::singleShot(0, context, std::move(dismissed));
        return;
    }
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowModality(Qt::ApplicationModal);
    QObject::connect(dialog, &QDialog::finished, dialog, std::move(finished),
                     Qt::SingleShotConnection);
    m_open.removeAll(nullptr);
    m_open.append(dialog);
    dialog->show();
}

void QtDesktop::dismissAll()
{
    m_dismissed = true;
    // Newest first: a dialog opened over another is closed before it.
    // One answered already only waits for its deletion: it is not asked again.
    for (auto it = m_open.crbegin(); it != m_open.crend(); ++it)
        if (*it && (*it)->isVisible())
            (*it)->reject();
    m_open.clear();
}

void QtDesktop::chooseFilesToOpen(QWidget* parent, const QString& dir, const QStringList& filters,
                                  std::function<void(const QStringList&)> done)
{
    auto* d = new QFileDialog(parent, QString(), dir, filters.join(QStringLiteral(";;")));
    d->setFileMode(QFileDialog::ExistingFiles);
    open(
        d,
        [d, done] { done(d->result() == QDialog::Accepted ? d->selectedFiles() : QStringList()); },
        [done] { done({}); });
}

void QtDesktop::chooseSaveFile(QWidget* parent, const QString& dir, const QStringList& filters,
                               const QString& suffix, std::function<void(const QString&)> done)
{
    // A save dialog asks before replacing an existing file by default, about the name with
    // its default suffix.
    auto* d = new QFileDialog(parent, QString(), dir, filters.join(QStringLiteral(";;")));
    d->setAcceptMode(QFileDialog::AcceptSave);
    d->setFileMode(QFileDialog::AnyFile);
    d->setDefaultSuffix(suffix);
    open(
        d,
        [d, done] {
            done(d->result() == QDialog::Accepted ? d->selectedFiles().value(0) : QString());
        },
        [done] { done(QString()); });
}

void QtDesktop::chooseFolder(QWidget* parent, const QString& prompt, const QString& dir,
                             std::function<void(const QString&)> done)
{
    auto* d = new QFileDialog(parent, prompt, dir);
    d->setFileMode(QFileDialog::Directory);
    d->setOption(QFileDialog::ShowDirsOnly);
    open(
        d,
        [d, done] {
            QString chosen =
                d->result() == QDialog::Accepted ? d->selectedFiles().value(0) : QString();
            if (chosen.size() > 1 && chosen.endsWith(QLatin1Char('/')))
                chosen.chop(1);
            done(chosen);
        },
        [done] { done(QString()); });
}

void QtDesktop::message(QWidget* parent, const QString& text, std::function<void()> done)
{
    const auto closed = [done] {
        if (done)
            done();
    };
    open(new QMessageBox(QMessageBox::NoIcon, m_title, text, QMessageBox::Ok, parent), closed,
         closed);
}

void QtDesktop::messageAtExit(QWidget* parent, const QString& text)
{
    open(
        new QMessageBox(QMessageBox::NoIcon, m_title, text, QMessageBox::Ok, parent), [] {}, [] {},
        true);
}

void QtDesktop::askYesNo(QWidget* parent, const QString& title, const QString& text, Default button,
                         std::function<void(bool)> done)
{
    auto* box = new QMessageBox(QMessageBox::NoIcon, title, text,
                                QMessageBox::Yes | QMessageBox::No, parent);
    box->setDefaultButton(button == Default::No ? QMessageBox::No : QMessageBox::Yes);
    box->setEscapeButton(QMessageBox::No);
    open(
        box, [box, done] { done(box->clickedButton() == box->button(QMessageBox::Yes)); },
        [done] { done(false); });
}

void QtDesktop::choose(QWidget* parent, const QString& title, const QString& text,
                       const QStringList& buttons, int enter, int escape,
                       std::function<void(int)> done)
{
    auto* box = new QMessageBox(QMessageBox::NoIcon, title, text, QMessageBox::NoButton, parent);
    QList<QAbstractButton*> added;
    for (int i = 0; i < buttons.size(); ++i)
        added << box->addButton(buttons[i],
                                i == escape ? QMessageBox::RejectRole : QMessageBox::AcceptRole);
    box->setDefaultButton(qobject_cast<QPushButton*>(added.value(enter)));
    box->setEscapeButton(added.value(escape));
    open(
        box,
        [box, added, escape, done] {
            const int pressed = int(added.indexOf(box->clickedButton()));
            done(pressed < 0 ? escape : pressed);
        },
        [escape, done] { done(escape); });
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

void QtDesktop::popupMenu(QMenu* menu, const QPoint& globalPos)
{
    menu->popup(globalPos);
}

void QtDesktop::beep()
{
    QApplication::beep();
}
