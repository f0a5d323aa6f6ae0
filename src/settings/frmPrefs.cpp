#include "settings/frmPrefs.h"

#include "app/Icons.h"
#include "platform/Platform.h"

#include <QApplication>
#include <QCheckBox>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

Qt::CheckState toQtCheckState(int stored)
{
    switch (stored) {
    case 1:
        return Qt::Checked;
    case 2:
        return Qt::PartiallyChecked;
    default:
        return Qt::Unchecked;
    }
}

int toStoredCheckState(Qt::CheckState state)
{
    switch (state) {
    case Qt::Checked:
        return 1;
    case Qt::PartiallyChecked:
        return 2;
    default:
        return 0;
    }
}

namespace {
template <typename W> W* place(QWidget* parent, const char* name, int x, int y, int w, int h)
{
    auto* widget = new W(parent);
    widget->setObjectName(QLatin1String(name));
    widget->setGeometry(x, y, w, h);
    return widget;
}

QCheckBox* tristate(QWidget* parent, const char* name, const QString& text, int x, int y, int w,
                    int h)
{
    auto* c = place<QCheckBox>(parent, name, x, y, w, h);
    c->setText(text);
    c->setTristate(true);
    c->setCheckState(Qt::Checked);
    return c;
}
} // namespace

frmPrefs::frmPrefs(Settings& settings, LiveSettings& live, Platform& platform,
                   const QString& iniPath)
    : QDialog(nullptr, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      m_settings(settings), m_live(live), m_platform(platform), m_iniPath(iniPath)
{
    setObjectName(QStringLiteral("frmPrefs"));
    setWindowTitle(QStringLiteral("Preferences"));
    setWindowIcon(Icons::program());
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(357, 217);

    // Created in tab order.
    CmdOK = place<QPushButton>(this, "CmdOK", 105, 190, 67, 20);
    CmdOK->setText(QStringLiteral("OK"));
    CmdCancel = place<QPushButton>(this, "CmdCancel", 185, 190, 67, 20);
    CmdCancel->setText(QStringLiteral("Cancel"));
    Label1 = place<QLabel>(this, "Label1", 10, 15, 86, 16);
    Label1->setText(QStringLiteral("Source Directory:"));
    TextSourceDir = place<QLineEdit>(this, "TextSourceDir", 10, 35, 261, 19);
    CmdBrowseSource = place<QPushButton>(this, "CmdBrowseSource", 285, 35, 66, 19);
    CmdBrowseSource->setText(QStringLiteral("Browse"));
    ChkRememberSource = tristate(this, "ChkRememberSource",
                                 QStringLiteral("Remember Source Directory"), 200, 15, 156, 16);
    Label2 = place<QLabel>(this, "Label2", 10, 70, 91, 16);
    Label2->setText(QStringLiteral("Target Directory:"));
    TextTargetDir = place<QLineEdit>(this, "TextTargetDir", 10, 90, 261, 19);
    CmdBrowseTarget = place<QPushButton>(this, "CmdBrowseTarget", 285, 90, 66, 19);
    CmdBrowseTarget->setText(QStringLiteral("Browse"));
    ChkRememberTarget = tristate(this, "ChkRememberTarget",
                                 QStringLiteral("Remember Target Directory"), 200, 70, 156, 16);
    ChkConfirmDel =
        tristate(this, "ChkConfirmDel", QStringLiteral("Confirm Delete"), 210, 135, 96, 16);
    ChkClearQue = tristate(this, "ChkClearQue", QStringLiteral("Clear Queued Files After Join"), 10,
                           135, 181, 16);
    ChkClearQue->setCheckState(Qt::Unchecked);
    ChkChunkSizeSave = tristate(this, "ChkChunkSizeSave", QStringLiteral("Keep Chunk Size Setting"),
                                10, 160, 141, 16);
    Line1 = place<QFrame>(this, "Line1", 5, 124, 350, 2);
    Line1->setFrameShape(QFrame::HLine);
    Line1->setFrameShadow(QFrame::Sunken);

    for (QPushButton* b : {CmdOK, CmdCancel, CmdBrowseSource, CmdBrowseTarget}) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }

    connect(ChkRememberSource, &QCheckBox::stateChanged, this, &frmPrefs::ChkRememberSource_Click);
    connect(ChkRememberTarget, &QCheckBox::stateChanged, this, &frmPrefs::ChkRememberTarget_Click);
    connect(CmdBrowseSource, &QPushButton::clicked, this, &frmPrefs::CmdBrowseSource_Click);
    connect(CmdBrowseTarget, &QPushButton::clicked, this, &frmPrefs::CmdBrowseTarget_Click);
    connect(CmdOK, &QPushButton::clicked, this, &frmPrefs::CmdOK_Click);
    connect(CmdCancel, &QPushButton::clicked, this, &frmPrefs::CmdCancel_Click);

    Form_Load();
}

frmPrefs::~frmPrefs() = default;

void frmPrefs::Form_Load()
{
    using namespace SettingRules;
    setCheckState(LiveSettings::RememberSource, checkStateOf(m_settings.SaveSourceDir));
    if (checkState(LiveSettings::RememberSource) == 1)
        TextSourceDir->setText(m_settings.SourceDir.value_or(QString()));
    setCheckState(LiveSettings::RememberTarget, checkStateOf(m_settings.SaveTargetDir));
    if (checkState(LiveSettings::RememberTarget) == 1)
        TextTargetDir->setText(m_settings.TargetDir.value_or(QString()));
    setCheckState(LiveSettings::ConfirmDel, checkStateOf(m_settings.ConfirmDel));
    setCheckState(LiveSettings::ClearQue, checkStateOf(m_settings.ClearQue));
    setCheckState(LiveSettings::ChunkSizeSave, checkStateOf(m_settings.ChunkSizeSave));
    // The click handlers run only on a change; make the looks right either way.
    followRememberBox(ChkRememberSource, TextSourceDir);
    followRememberBox(ChkRememberTarget, TextTargetDir);
}

QCheckBox* frmPrefs::box(LiveSettings::Box b) const
{
    switch (b) {
    case LiveSettings::RememberSource:
        return ChkRememberSource;
    case LiveSettings::RememberTarget:
        return ChkRememberTarget;
    case LiveSettings::ConfirmDel:
        return ChkConfirmDel;
    case LiveSettings::ClearQue:
        return ChkClearQue;
    default:
        return ChkChunkSizeSave;
    }
}

QLineEdit* frmPrefs::folderBox(LiveSettings::Folder folder) const
{
    return folder == LiveSettings::SourceFolder ? TextSourceDir : TextTargetDir;
}

int frmPrefs::checkState(LiveSettings::Box b) const
{
    return toStoredCheckState(box(b)->checkState());
}

void frmPrefs::setCheckState(LiveSettings::Box b, int state)
{
    box(b)->setCheckState(toQtCheckState(state));
}

QString frmPrefs::folderText(LiveSettings::Folder folder) const
{
    return folderBox(folder)->text();
}

void frmPrefs::setFolderText(LiveSettings::Folder folder, const QString& text)
{
    folderBox(folder)->setText(text);
}

void frmPrefs::followRememberBox(QCheckBox* remember, QLineEdit* folder)
{
    // Locked folder boxes sit on the button-face colour, like a disabled field.
    const bool ticked = toStoredCheckState(remember->checkState()) == 1;
    QPalette pal = folder->palette();
    const QPalette base = QApplication::palette(folder);
    pal.setColor(QPalette::Base,
                 ticked ? base.color(QPalette::Base) : base.color(QPalette::Button));
    folder->setPalette(pal);
    folder->setReadOnly(!ticked);
}

void frmPrefs::ChkRememberSource_Click()
{
    followRememberBox(ChkRememberSource, TextSourceDir);
}

void frmPrefs::ChkRememberTarget_Click()
{
    followRememberBox(ChkRememberTarget, TextTargetDir);
}

void frmPrefs::CmdBrowseSource_Click() {}
void frmPrefs::CmdBrowseTarget_Click() {}
void frmPrefs::CmdOK_Click() {}
void frmPrefs::CmdCancel_Click() {}

void frmPrefs::keyPressEvent(QKeyEvent* event)
{
    // Neither OK nor Cancel answers Esc; Enter only presses a focused button.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
