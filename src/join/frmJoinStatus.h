#pragma once

#include <QDialog>

class frmReelbind;

/// The status window in which one join runs and which offers the actions
/// after it.
class frmJoinStatus : public QDialog
{
    Q_OBJECT
public:
    explicit frmJoinStatus(frmReelbind& main);
    ~frmJoinStatus() override;

private:
    frmReelbind& m_main;
};
