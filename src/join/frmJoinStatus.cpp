#include "join/frmJoinStatus.h"

#include "app/Icons.h"
#include "app/frmReelbind.h"

frmJoinStatus::frmJoinStatus(frmReelbind& main) : QDialog(&main), m_main(main)
{
    setObjectName(QStringLiteral("frmJoinStatus"));
    setWindowTitle(QStringLiteral("Joining Files..."));
    setWindowIcon(Icons::program());
}

frmJoinStatus::~frmJoinStatus() = default;
