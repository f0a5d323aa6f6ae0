#pragma once

#include "gui/Desktop.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QVariant>
#include <functional>
#include <map>

/// Scripted desktop for tests and benchmarks. Each call is recorded in
/// `calls`; a dialog is answered from what the test prepared with the
/// setNext... functions, first in first out, from the event loop (as a user
/// would answer), never inside the call. An unprepared dialog answers as its
/// Esc would: cancelled, No, the escape button. With holdUnprepared set, an
/// unprepared dialog stays open instead (isOpen()) until answerOpen() or
/// dismissAll().
class FakeDesktop : public Desktop
{
public:
    struct Call
    {
        /// "open", "save", "folder", "message", "yesno", "choice" (its buttons,
        /// Enter's first, as the filters), "document", "popup", "beep", "launcher",
        /// "notify".
        QString kind;
        /// A message, a question's "title|text", a document, a pop-up menu's
        /// action texts joined by ",", a folder chooser's prompt, a save dialog's suffix.
        QString text = {};
        QString dir = {}; // where a dialog opens
        QStringList filters = {};
        QPointer<QWidget> parent = {};
        Default button = Default::Yes; // the one Enter would press in a Yes/No box
    };
    QList<Call> calls;
    /// The texts of the calls of this kind, in order.
    QStringList texts(const QString& kind) const;

    void setNextOpenFiles(const QStringList& paths) { m_next["open"] << paths; }
    void setNextSaveFile(const QString& path) { m_next["save"] << path; }
    void setNextDirectory(const QString& path) { m_next["folder"] << path; }
    void setNextAnswer(bool yes) { m_next["yesno"] << yes; }
    /// The index of the button the next choose() box answers (unset: Esc's).
    void setNextChoice(int button) { m_next["choice"] << button; }
    /// Index of the pop-up menu action to trigger (-1: dismiss the menu).
    void setNextPopupChoice(int actionIndex) { m_next["popup"] << actionIndex; }

    bool holdUnprepared = false;
    /// Whether a dialog is held open.
    bool isOpen() const { return !m_open.isEmpty(); }
    /// Answers the newest held dialog as prepared now (setNext...), or as Esc.
    void answerOpen();
    /// Whether dismissAll() was called.
    bool dismissed() const { return m_dismissed; }

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
    /// Recorded as "launcher" ("0.25", or "hidden") and "notify" ("summary|body").
    void launcherProgress(double progress, bool visible) override;
    void notify(const QString& summary, const QString& body) override;

private:
    /// A dialog, owned by its window (or by the desktop); `answer(escape)` answers it as
    /// Esc, or as prepared. Once its owner is gone nothing answers it, as with a real dialog.
    struct Dialog
    {
        QPointer<QObject> owner;
        std::function<void(bool escape)> answer;
    };
    /// Records the call and opens its dialog: answered by the next prepared answer of its kind,
    /// else by `escape`.
    void open(const Call& call, const QVariant& escape, std::function<void(const QVariant&)> done);

    std::map<QString, QVariantList> m_next; // the prepared answers of each kind
    QList<Dialog> m_open;
    bool m_dismissed = false;
    QObject m_context;
};
