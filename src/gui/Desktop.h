#pragma once

#include <QPoint>
#include <QString>
#include <QStringList>

class QWidget;
class QMenu;
class QAction;

/// The one door from the program's windows to the desktop.
///
/// Every window receives a Desktop and uses nothing else for dialogs,
/// message boxes, opening documents, pop-up menus and the beep. QtDesktop
/// talks to the real desktop; the tests give the windows a scripted one
/// whose answers they set beforehand.
class Desktop
{
public:
    virtual ~Desktop();

    /// Open dialog with multiple selection. `filters` are Qt filter strings,
    /// the first one is selected. Returns the chosen full paths in the order
    /// the dialog gave them; an empty list means the user cancelled.
    virtual QStringList getOpenFileNames(QWidget* parent, const QString& dir,
                                         const QStringList& filters) = 0;

    /// Save dialog that asks before replacing an existing file. Returns the
    /// chosen full path, or an empty text when the user cancelled.
    virtual QString getSaveFileName(QWidget* parent, const QString& dir,
                                    const QStringList& filters) = 0;

    /// Folder chooser owned by `parent`, showing `prompt`. Returns the chosen
    /// folder without a trailing "/" (except the root), or an empty text.
    virtual QString getExistingDirectory(QWidget* parent, const QString& prompt,
                                         const QString& dir) = 0;

    /// Message box: OK button only, no icon, the program's title.
    virtual void message(QWidget* parent, const QString& text) = 0;

    /// Which button of a Yes/No box Enter presses.
    enum class Default { Yes, No };

    /// Yes/No box without an icon. Returns true for Yes; Esc answers No.
    virtual bool askYesNo(QWidget* parent, const QString& title, const QString& text,
                          Default button = Default::Yes) = 0;

    /// Box without an icon with `buttons` (texts), the one at `enter` the
    /// default and the one at `escape` what Esc and the close box answer.
    /// Returns the index of the button pressed.
    virtual int choose(QWidget* parent, const QString& title, const QString& text,
                       const QStringList& buttons, int enter, int escape) = 0;

    /// Opens a web address or a local file with its associated program.
    /// `target` is a URL when it has a scheme ("https://..."), otherwise a
    /// local path. Returns false when the desktop refused; callers may ignore it.
    virtual bool openDocument(const QString& target) = 0;

    /// Shows `menu` as a pop-up at `globalPos` and waits for the user.
    /// Returns the triggered action (already triggered), or nullptr.
    virtual QAction* popupMenu(QMenu* menu, const QPoint& globalPos) = 0;

    /// The system beep.
    virtual void beep() = 0;

    /// A long job's progress (0 to 1) on the program's launcher icon;
    /// `visible` false takes it away.
    virtual void launcherProgress(double progress, bool visible) = 0;
    /// One notification from the program: `summary`, then `body`.
    virtual void notify(const QString& summary, const QString& body) = 0;

    /// The filters of the program's open and save dialogs: MPG files first,
    /// or `first` when one is given.
    static QStringList movieFilters(const QString& first = QString());
};
