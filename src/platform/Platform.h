#pragma once

#include <QPoint>
#include <QString>
#include <QStringList>
#include <optional>

class QWidget;
class QMenu;
class QAction;

/// The one door from the program's windows to the desktop.
///
/// Every window receives a Platform and uses nothing else for dialogs,
/// message boxes, opening documents, free-space queries, pop-up menus and
/// the beep. The Qt implementation (QtPlatform) talks to the real desktop;
/// the scripted fake (FakePlatform) lets every handler run in a test
/// without a human.
class Platform
{
public:
    virtual ~Platform();

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

    /// Yes/No box without an icon. Returns true for Yes.
    virtual bool askYesNo(QWidget* parent, const QString& title, const QString& text) = 0;

    /// Opens a web address or a local file with its associated program.
    /// `target` is a URL when it has a scheme ("https://..."), otherwise a
    /// local path. Returns false when the desktop refused; callers may ignore it.
    virtual bool shellOpen(const QString& target) = 0;

    /// Bytes available to this user on the file system that holds `path`
    /// (a folder). std::nullopt when the query fails.
    virtual std::optional<qint64> freeSpace(const QString& path) = 0;

    /// Shows `menu` as a pop-up at `globalPos` and waits for the user.
    /// Returns the triggered action (already triggered), or nullptr.
    virtual QAction* popupMenu(QMenu* menu, const QPoint& globalPos) = 0;

    /// The system beep.
    virtual void beep() = 0;
};

/// The program's title, used as every message box's title.
QString appTitle();
