#pragma once

#include "gui/Desktop.h"
#include "platform/SessionBus.h"

#include <QList>
#include <QPointer>
#include <functional>

/// Scripted desktop for tests and benchmarks. Each call is recorded in
/// `calls` and answered from what the test prepared with the setNext...
/// functions, first in first out. An unprepared dialog answers as if the
/// user cancelled; an unprepared Yes/No box answers No.
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
        /// action texts joined by ",", a folder chooser's prompt.
        QString text;
        QString dir; // where a dialog opens
        QStringList filters;
        QPointer<QWidget> parent;
        Default button = Default::Yes; // the one Enter would press in a Yes/No box
    };
    QList<Call> calls;
    /// The texts of the calls of this kind, in order.
    QStringList texts(const QString& kind) const;

    void setNextOpenFiles(const QStringList& paths) { m_openAnswers.append(paths); }
    void setNextSaveFile(const QString& path) { m_answers[0].append(path); }
    void setNextDirectory(const QString& path) { m_answers[1].append(path); }
    void setNextAnswer(bool yes) { m_yesNoAnswers.append(yes); }
    /// The index of the button the next choose() box answers (unset: Esc's).
    void setNextChoice(int button) { m_choices.append(button); }
    /// Index of the pop-up menu action to trigger (-1: dismiss the menu).
    void setNextPopupChoice(int actionIndex) { m_popupChoices.append(actionIndex); }
    /// Runs inside the next message box, as if the user acted while it was up.
    void setOnMessage(std::function<void(const QString&)> fn) { m_onMessage = std::move(fn); }

    QStringList getOpenFileNames(QWidget* parent, const QString& dir,
                                 const QStringList& filters) override;
    QString getSaveFileName(QWidget* parent, const QString& dir,
                            const QStringList& filters) override;
    QString getExistingDirectory(QWidget* parent, const QString& prompt,
                                 const QString& dir) override;
    void message(QWidget* parent, const QString& text) override;
    bool askYesNo(QWidget* parent, const QString& title, const QString& text,
                  Default button = Default::Yes) override;
    int choose(QWidget* parent, const QString& title, const QString& text,
               const QStringList& buttons, int enter, int escape) override;
    bool openDocument(const QString& target) override;
    QAction* popupMenu(QMenu* menu, const QPoint& globalPos) override;
    void beep() override;
    /// Recorded as "launcher" ("0.25", or "hidden") and "notify" ("summary|body"); passed on
    /// to `bus` when one is set.
    void launcherProgress(double progress, bool visible) override;
    void notify(const QString& summary, const QString& body) override;
    SessionBus* bus = nullptr;

private:
    void record(const char* kind, const QString& text = {}, QWidget* parent = nullptr,
                const QString& dir = {}, const QStringList& filters = {},
                Default button = Default::Yes);
    QList<QStringList> m_openAnswers;
    QStringList m_answers[2]; // of the save dialog, of the folder chooser
    QList<bool> m_yesNoAnswers;
    QList<int> m_popupChoices;
    QList<int> m_choices;
    std::function<void(const QString&)> m_onMessage;
};
