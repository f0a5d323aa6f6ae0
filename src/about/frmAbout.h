#pragma once

#include <QDialog>

class frmReelbind;

/// The about box: title, version, a freeware notice and a disclaimer, OK
/// and Exit. Shown without blocking the main window.
class frmAbout : public QDialog
{
    Q_OBJECT
public:
    explicit frmAbout(frmReelbind& main);
    ~frmAbout() override;

public slots:
    void Form_Load();

private:
    frmReelbind& m_main;
};
