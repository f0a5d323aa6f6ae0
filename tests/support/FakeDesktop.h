#pragma once

#include "gui/Desktop.h"

#include <QList>
#include <QPointer>
#include <functional>

/// Scripted desktop for tests and benchmarks. Each call is recorded in
/// `calls` (one line per call, "kind: detail") and answered from what the
/// test prepared with the setNext... functions. An unprepared dialog
/// answers as if the user cancelled; an unprepared Yes/No box answers No.
class FakeDesktop : public Desktop
{
public:
    struct DialogCall
    {
        QString kind;   // "open", "save", "folder"
        QString dir;    // initial folder
        QString prompt; // folder chooser prompt
        QStringList filters;
        QPointer<QWidget> parent;
    };

    // Answers, consumed one per call, first in first out.
    void setNextOpenFiles(const QStringList& paths) { m_openAnswers.append(paths); }
    void setNextSaveFile(const QString& path) { m_saveAnswers.append(path); }
    void setNextDirectory(const QString& path) { m_dirAnswers.append(path); }
    void setNextAnswer(bool yes) { m_yesNoAnswers.append(yes); }
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
    bool openDocument(const QString& target) override;
    QAction* popupMenu(QMenu* menu, const QPoint& globalPos) override;
    void beep() override;

    // What happened, in order.
    QStringList calls;
    QList<DialogCall> dialogs;
    QStringList messages;            // texts of message boxes
    QStringList questions;           // "title|text" of Yes/No boxes
    QList<Default> questionDefaults; // the button Enter would press, per box
    QStringList opened;              // targets given to openDocument
    QList<QStringList> popups;       // the action texts of each shown pop-up menu
    int beeps = 0;

private:
    QList<QStringList> m_openAnswers;
    QStringList m_saveAnswers;
    QStringList m_dirAnswers;
    QList<bool> m_yesNoAnswers;
    QList<int> m_popupChoices;
    std::function<void(const QString&)> m_onMessage;
};
