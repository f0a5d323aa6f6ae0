#pragma once

#include "core/join/JoinSession.h"
#include "core/queue/JoinQueue.h"
#include "core/settings/Locations.h"
#include "core/settings/Preferences.h"
#include "core/settings/Settings.h"
#include "core/settings/SettingsStore.h"

#include <QObject>
#include <optional>

class FileSystem;

/// The program without its windows: the stored settings and their file,
/// the live preferences, the join queue and the join, and the start-up and
/// exit sequences. The windows show it and forward the user's actions to
/// it; it never calls a window.
class Program : public QObject
{
    Q_OBJECT
public:
    /// `where` says where the settings file and the user's guide are.
    Program(FileSystem& files, const Locations& where, QObject* parent = nullptr);
    ~Program() override;

    /// Start-up: the settings folder is made when it is missing (an
    /// installed program's first start), the settings file is loaded (or the
    /// defaults taken) and written anew; the live preferences hold the values
    /// from then on.
    void startUp();

    /// Exit (button, menu item, about box) saves the settings; the close
    /// box does not. Either way every open question and dialog is first
    /// closed as its Esc would (dismissDialogs()), and a running join is
    /// cancelled as Cancel does; the rest waits until it has ended. Then,
    /// from the event loop, the settings are saved (Save) and closing() is
    /// emitted, after which every window closes and the program ends.
    /// Stopped (a signal, a logout): as WithoutSaving, and a running join
    /// keeps nothing. A later exit changes what is saved no more; a Stopped
    /// one still makes a join that is being waited for keep nothing.
    enum class ExitKind { Save, WithoutSaving, Stopped };
    void exit(ExitKind kind);
    /// Whether an exit was asked for.
    bool isExiting() const { return m_exit.has_value(); }
    /// Whether closing() has been emitted.
    bool isClosing() const { return m_closing; }

    const QString& iniPath() const { return m_store.iniPath(); }
    /// The user's guide.
    const QString& readmePath() const { return m_where.readme; }
    /// The main window's caption: "Orvel's Reelbind 1.0.7b".
    static QString caption();

    Settings& settings() { return m_settings; }
    SettingsStore& store() { return m_store; }
    Preferences& prefs() { return m_prefs; }
    JoinQueue& queue() { return m_queue; }
    JoinSession& join() { return m_join; }

signals:
    /// The program is ending: every open question and dialog closes as its
    /// Esc would, and none opens from now on.
    void dismissDialogs();
    /// Exit could not write the settings file; the message names it and why.
    void settingsNotSaved(const QString& message);
    /// The program ends now: every window closes.
    void closing();

private:
    /// The exit's last steps, once no join runs.
    void finishExit();

    FileSystem& m_files;
    Locations m_where;
    Settings m_settings;
    Preferences m_prefs;
    SettingsStore m_store;
    JoinQueue m_queue;
    JoinSession m_join;
    std::optional<ExitKind> m_exit;
    bool m_closing = false;
};
