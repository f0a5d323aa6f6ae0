#include "gui/frmPrefs.h"

#include "core/Program.h"
#include "gui/Icons.h"
#include "gui/Layout.h"
#include "platform/Desktop.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
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

using Layout::place;

constexpr int kClientWidth = 5355 / 15;
constexpr int kClientHeight = 3255 / 15;
const QString kBrowsePrompt = QStringLiteral("Select your default Source folder:");

/// A user's click only toggles between clear and ticked; the greyed state
/// comes from a hand-edited settings file alone, and a click on it ticks.
class SwitchBox : public QCheckBox
{
public:
    using QCheckBox::QCheckBox;

protected:
    void nextCheckState() override
    {
        setCheckState(checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
    }
};

/// Widens a one-line control whose text the face in use draws wider than
/// the layout allows; one that would then leave the window moves left.
void fitText(QWidget* w)
{
    QRect r = w->geometry();
    const QSize need = w->sizeHint();
    if (need.width() > r.width())
        r.setWidth(need.width());
    const int textHeight = w->fontMetrics().height();
    if (textHeight > r.height())
        r.setHeight(textHeight);
    if (r.right() > kClientWidth - 2)
        r.moveRight(kClientWidth - 2);
    w->setGeometry(r);
}

QCheckBox* switchBox(QWidget* parent, const char* name, const QString& text, int l, int t, int w,
                     int h, Qt::CheckState design)
{
    auto* c = place<SwitchBox>(parent, name, l, t, w, h);
    c->setText(text);
    c->setTristate(true);
    c->setCheckState(design);
    fitText(c);
    return c;
}

QPushButton* button(QWidget* parent, const char* name, const QString& text, int l, int t, int w,
                    int h)
{
    auto* b = Layout::button(parent, name, text, l, t, w, h);
    // Neither OK nor Cancel is a default button: Enter presses only the
    // focused button (see keyPressEvent), Esc none at all.
    b->setAutoDefault(false);
    b->setDefault(false);
    return b;
}

QLabel* label(QWidget* parent, const char* name, const QString& text, int l, int t, int w, int h)
{
    auto* lbl = place<QLabel>(parent, name, l, t, w, h);
    lbl->setText(text);
    fitText(lbl);
    return lbl;
}

} // namespace

frmPrefs::frmPrefs(Program& program, Desktop& desktop)
    : QDialog(nullptr, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      m_program(program), m_prefs(program.prefs()), m_desktop(desktop)
{
    setObjectName(QStringLiteral("frmPrefs"));
    setWindowTitle(QStringLiteral("Preferences"));
    setWindowIcon(Icons::program());
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(kClientWidth, kClientHeight);

    // Created in tab order.
    CmdOK = button(this, "CmdOK", QStringLiteral("OK"), 1577, 2850, 1000, 300);
    CmdCancel = button(this, "CmdCancel", QStringLiteral("Cancel"), 2777, 2850, 1000, 300);
    Label1 = label(this, "Label1", QStringLiteral("Source Directory:"), 150, 225, 1290, 240);
    TextSourceDir = place<QLineEdit>(this, "TextSourceDir", 150, 525, 3915, 285);
    Label1->setBuddy(TextSourceDir); // a screen reader names the folder box after its label
    CmdBrowseSource =
        button(this, "CmdBrowseSource", QStringLiteral("Browse"), 4275, 525, 990, 285);
    ChkRememberSource =
        switchBox(this, "ChkRememberSource", QStringLiteral("Remember Source Directory"), 3000, 225,
                  2340, 240, Qt::Checked);
    Label2 = label(this, "Label2", QStringLiteral("Target Directory:"), 150, 1050, 1365, 240);
    TextTargetDir = place<QLineEdit>(this, "TextTargetDir", 150, 1350, 3915, 285);
    Label2->setBuddy(TextTargetDir);
    CmdBrowseTarget =
        button(this, "CmdBrowseTarget", QStringLiteral("Browse"), 4275, 1350, 990, 285);
    ChkRememberTarget =
        switchBox(this, "ChkRememberTarget", QStringLiteral("Remember Target Directory"), 3000,
                  1050, 2340, 240, Qt::Checked);
    ChkConfirmDel = switchBox(this, "ChkConfirmDel", QStringLiteral("Confirm Delete"), 3150, 2025,
                              1440, 240, Qt::Checked);
    ChkClearQue = switchBox(this, "ChkClearQue", QStringLiteral("Clear Queued Files After Join"),
                            150, 2025, 2715, 240, Qt::Unchecked);
    ChkChunkSizeSave =
        switchBox(this, "ChkChunkSizeSave", QStringLiteral("Keep Chunk Size Setting"), 150, 2400,
                  2115, 240, Qt::Checked);

    // A two-pixel rule in the grey-text colour between the folders and the switches.
    Line1 = new QFrame(this);
    Line1->setObjectName(QStringLiteral("Line1"));
    Line1->setFrameShape(QFrame::NoFrame);
    Line1->setGeometry(75 / 15, 1875 / 15 - 1, (5325 - 75) / 15, 2);
    Line1->setAutoFillBackground(true);
    QPalette rule = Line1->palette();
    rule.setColor(QPalette::Window, palette().color(QPalette::Disabled, QPalette::WindowText));
    Line1->setPalette(rule);

    connect(ChkRememberSource, &QCheckBox::stateChanged, this, &frmPrefs::ChkRememberSource_Click);
    connect(ChkRememberTarget, &QCheckBox::stateChanged, this, &frmPrefs::ChkRememberTarget_Click);
    connect(CmdBrowseSource, &QPushButton::clicked, this, &frmPrefs::CmdBrowseSource_Click);
    connect(CmdBrowseTarget, &QPushButton::clicked, this, &frmPrefs::CmdBrowseTarget_Click);
    connect(CmdOK, &QPushButton::clicked, this, &frmPrefs::CmdOK_Click);
    connect(CmdCancel, &QPushButton::clicked, this, &frmPrefs::CmdCancel_Click);

    // An edit in the window is a live value at once; a live value changed
    // elsewhere (a folder remembered by Add or Join, OK) shows at once.
    for (int b = 0; b < Preferences::kBoxCount; ++b)
        connect(box(Preferences::Box(b)), &QCheckBox::stateChanged, this, [this, b](int state) {
            if (!m_showing && !m_closed)
                m_prefs.setCheckState(Preferences::Box(b),
                                      toStoredCheckState(Qt::CheckState(state)));
        });
    for (int f : {Preferences::SourceFolder, Preferences::TargetFolder})
        connect(folderBox(Preferences::Folder(f)), &QLineEdit::textChanged, this,
                [this, f](const QString& text) {
                    if (!m_showing && !m_closed)
                        m_prefs.setFolderText(Preferences::Folder(f), text);
                });
    connect(&m_prefs, &Preferences::checkStateChanged, this, &frmPrefs::showState);
    connect(&m_prefs, &Preferences::folderTextChanged, this, &frmPrefs::showFolder);

    CmdOK->setFocus();
    Form_Load();
}

frmPrefs::~frmPrefs() = default;

void frmPrefs::Form_Load()
{
    for (int b = 0; b < Preferences::kBoxCount; ++b)
        showState(Preferences::Box(b), m_prefs.checkState(Preferences::Box(b)));
    for (int f : {Preferences::SourceFolder, Preferences::TargetFolder})
        showFolder(Preferences::Folder(f), m_prefs.folderText(Preferences::Folder(f)));
    // The click handlers run only on a change; make the looks right either way.
    followRememberBox(ChkRememberSource, TextSourceDir);
    followRememberBox(ChkRememberTarget, TextTargetDir);
}

void frmPrefs::showState(Preferences::Box b, int state)
{
    m_showing = true;
    box(b)->setCheckState(toQtCheckState(state));
    m_showing = false;
}

void frmPrefs::showFolder(Preferences::Folder f, const QString& text)
{
    if (folderBox(f)->text() == text)
        return; // keeps the cursor where the user types
    m_showing = true;
    folderBox(f)->setText(text);
    m_showing = false;
}

QCheckBox* frmPrefs::box(Preferences::Box b) const
{
    switch (b) {
    case Preferences::RememberSource:
        return ChkRememberSource;
    case Preferences::RememberTarget:
        return ChkRememberTarget;
    case Preferences::ConfirmDel:
        return ChkConfirmDel;
    case Preferences::ClearQue:
        return ChkClearQue;
    default:
        return ChkChunkSizeSave;
    }
}

QLineEdit* frmPrefs::folderBox(Preferences::Folder folder) const
{
    return folder == Preferences::SourceFolder ? TextSourceDir : TextTargetDir;
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

void frmPrefs::CmdBrowseSource_Click()
{
    browseFor(Preferences::RememberSource, Preferences::SourceFolder);
}

void frmPrefs::CmdBrowseTarget_Click()
{
    browseFor(Preferences::RememberTarget, Preferences::TargetFolder);
}

void frmPrefs::browseFor(Preferences::Box remember, Preferences::Folder folder)
{
    QPointer<frmPrefs> self(this);
    const QString chosen =
        m_desktop.getExistingDirectory(this, kBrowsePrompt, folderBox(folder)->text());
    // The chooser runs its own event loop: the window may be gone by now.
    if (!self || m_closed || chosen.isEmpty())
        return;
    // Choosing a folder means remembering it.
    m_prefs.setCheckState(remember, 1);
    m_prefs.setFolderText(folder, chosen);
}

void frmPrefs::CmdOK_Click()
{
    // Also puts every live value back, the chunk size included.
    QString reason;
    if (!m_program.store().storePreferences(&reason))
        m_desktop.message(this, m_program.store().notSavedMessage(reason));
    close();
}

void frmPrefs::CmdCancel_Click()
{
    close();
}

void frmPrefs::keyPressEvent(QKeyEvent* event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && event->modifiers() == Qt::NoModifier) {
        // Only a focused button answers Enter; the folder boxes and the
        // switches pass it on to no one.
        if (auto* b = qobject_cast<QPushButton*>(focusWidget()); b && b->window() == this)
            b->click();
        event->accept();
        return;
    }
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void frmPrefs::closeEvent(QCloseEvent* event)
{
    QDialog::closeEvent(event);
    if (!event->isAccepted() || m_closed)
        return;
    // The values this window held go with it.
    m_closed = true;
    disconnect(&m_prefs, nullptr, this, nullptr);
    m_prefs.discardWindowValues();
}
