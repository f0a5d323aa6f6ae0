#include "about/frmAbout.h"

#include "app/Icons.h"
#include "app/frmReelbind.h"

frmAbout::frmAbout(frmReelbind& main) : QDialog(nullptr), m_main(main)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowIcon(Icons::program());
    setAttribute(Qt::WA_DeleteOnClose);
    Form_Load();
}

frmAbout::~frmAbout() = default;

void frmAbout::Form_Load()
{
    setWindowTitle(QStringLiteral("About Orvel's Reelbind"));
}
