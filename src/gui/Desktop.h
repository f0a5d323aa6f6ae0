#pragma once

#include <QPoint>
#include <QString>
#include <QStringList>
#include <functional>

class QWidget;
class QMenu;

/// The one door from the program's windows to the desktop.
///
/// Every window receives a Desktop and uses nothing else for dialogs,
/// message boxes, opening documents, pop-up menus and the beep. QtDesktop
/// talks to the real desktop; the tests give the windows a scripted one.
///
/// No dialog waits: each opens (modal for the application) and returns at
/// once, and its `done` runs from the event loop once the user answered,
/// never inside the call that opened it and never once `parent` is gone.
/// The program's windows keep no event loop of their own.
class Desktop
{
public:
    virtual ~Desktop();

    /// Open dialog with multiple selection. `filters` are Qt filter strings,
    /// the first one is selected. `done` gets the chosen full paths in the
    /// order the dialog gave them; an empty list means the user cancelled.
    virtual void chooseFilesToOpen(QWidget* parent, const QString& dir, const QStringList& filters,
                                   std::function<void(const QStringList&)> done) = 0;

    /// Save dialog that asks before replacing an existing file. A name typed
    /// without an ending gets `suffix` (without the dot; none when empty)
    /// before that question. `done` gets the chosen full path, or an empty
    /// text when the user cancelled.
    virtual void chooseSaveFile(QWidget* parent, const QString& dir, const QStringList& filters,
                                const QString& suffix,
                                std::function<void(const QString&)> done) = 0;

    /// Folder chooser owned by `parent`, showing `prompt`. `done` gets the
    /// chosen folder without a trailing "/" (except the root), or an empty text.
    virtual void chooseFolder(QWidget* parent, const QString& prompt, const QString& dir,
                              std::function<void(const QString&)> done) = 0;

    /// Message box: OK button only, no icon, the program's title. `done`,
    /// if any, runs once it is closed.
    virtual void message(QWidget* parent, const QString& text,
                         std::function<void()> done = nullptr) = 0;
    /// The same for what the user must read as the program ends (the
    /// settings could not be saved): shown even after dismissAll(), and
    /// closed by the next one.
    virtual void messageAtExit(QWidget* parent, const QString& text) = 0;

    /// Which button of a Yes/No box Enter presses.
    enum class Default { Yes, No };

    /// Yes/No box without an icon; `done` gets true for Yes. Esc answers No.
    virtual void askYesNo(QWidget* parent, const QString& title, const QString& text,
                          Default button, std::function<void(bool)> done) = 0;

    /// Box without an icon with `buttons` (texts), the one at `enter` the
    /// default and the one at `escape` what Esc and the close box answer.
    /// `done` gets the index of the button pressed.
    virtual void choose(QWidget* parent, const QString& title, const QString& text,
                        const QStringList& buttons, int enter, int escape,
                        std::function<void(int)> done) = 0;

    /// Closes every dialog and box open now as its Esc would (their `done`
    /// runs with that answer), and from now on answers every new one so at
    /// once, from the event loop, without showing it (but messageAtExit()):
    /// the program is ending.
    virtual void dismissAll() = 0;

    /// Opens a web address or a local file with its associated program.
    /// `target` is a URL when it has a scheme ("https://..."), otherwise a
    /// local path. Returns false when the desktop refused; callers may ignore it.
    virtual bool openDocument(const QString& target) = 0;

    /// Shows `menu` as a pop-up at `globalPos`; its actions do the rest.
    virtual void popupMenu(QMenu* menu, const QPoint& globalPos) = 0;

    /// The system beep.
    virtual void beep() = 0;

    /// A long job's progress (0 to 1) on the program's launcher icon;
    /// `visible` false takes it away.
    virtual void launcherProgress(double progress, bool visible) = 0;
    /// One notification from the program: `summary`, then `body`.
    virtual void notify(const QString& summary, const QString& body) = 0;

    /// The filters of the program's save dialog: MPG files first, or `first`
    /// when one is given.
    static QStringList movieFilters(const QString& first = QString());
    /// The filters of the Add dialog: every kind of file the program joins,
    /// by bytes or as one movie, then MPG files, then all.
    static QStringList addFilters();
};
