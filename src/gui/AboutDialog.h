#pragma once

#include <QDialog>
#include <QPointer>

class QPushButton;
class Program;

/// The about box (objectName "frmAbout"): the program's title and version,
/// a freeware notice, a disclaimer, OK and Exit. It does not block the main
/// window, stays out of the task bar and is destroyed when it closes.
class AboutDialog : public QDialog
{
    Q_OBJECT
public:
    /// OK brings `mainWindow` forward again; Exit runs the program's exit
    /// sequence. The box has no Qt parent, so it opens centred on the screen.
    AboutDialog(Program& program, QWidget* mainWindow);
    ~AboutDialog() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    /// Closes the box and brings the main window forward.
    void closeToMainWindow();

    Program& m_program;
    QPointer<QWidget> m_main;
    QPushButton* m_ok = nullptr;
};
