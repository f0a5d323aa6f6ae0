#pragma once

#include <QDialog>
#include <QPointer>
#include <array>

class QFrame;
class QLabel;
class QPushButton;
class Program;

/// The about box: the program's title and version, a freeware notice, a
/// disclaimer, OK and Exit. It does not block the main window, stays out
/// of the task bar and is destroyed when it closes.
class frmAbout : public QDialog
{
    Q_OBJECT
public:
    /// OK brings `mainWindow` forward again; Exit runs the program's exit
    /// sequence. The box has no Qt parent, so it opens centred on the screen.
    frmAbout(Program& program, QWidget* mainWindow);
    ~frmAbout() override;

    /// The texts shown below the version.
    static QString descriptionText();
    static QString disclaimerText();

    // Controls, in tab order; the two halves of the etched rule are Line1[0]
    // (white, below) and Line1[1] (grey, above).
    QPushButton* cmdOK;
    QLabel* picIcon;
    QLabel* lblDescription;
    QLabel* lblDisclaimer;
    QLabel* lblTitle;
    QLabel* lblVersion;
    QPushButton* CmdExit;
    std::array<QFrame*, 2> Line1{};

public slots:
    /// Sets the caption, the title and the version from the program's own.
    void Form_Load();
    /// Closes the box and brings the main window forward.
    void cmdOK_Click();
    /// Ends the program exactly as the main window's Exit does.
    void CmdExit_Click();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    Program& m_program;
    QPointer<QWidget> m_main;
};
