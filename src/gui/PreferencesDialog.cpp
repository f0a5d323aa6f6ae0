#include "gui/PreferencesDialog.h"

#include "core/Program.h"
#include "gui/Desktop.h"
#include "gui/Icons.h"
#include "gui/Layout.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>

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
using Kind = SettingInfo::Kind;

constexpr int kClientWidth = 5355 / 15;
constexpr int kClientHeight = 3255 / 15;

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

/// The window's controls in tab order, in twips, with the setting a folder
/// box or a switch shows. A folder's Browse button follows its folder box; a
/// label names the folder box after it.
struct Control
{
    enum Type { Button, Browse, Label, Folder, Switch } type;
    const char* name;
    const char* text;
    int left, top, width, height;
    SettingId shows = SettingId::ChunkSize; // the chunk size is the main window's: none here
};
const Control kControls[] = {
    {Control::Button, "CmdOK", QT_TRANSLATE_NOOP("PreferencesDialog", "OK"), 1577, 2850, 1000, 300},
    {Control::Button, "CmdCancel", QT_TRANSLATE_NOOP("PreferencesDialog", "Cancel"), 2777, 2850,
     1000, 300},
    {Control::Label, "Label1", QT_TRANSLATE_NOOP("PreferencesDialog", "Source Directory:"), 150,
     225, 1290, 240},
    {Control::Folder, "TextSourceDir", nullptr, 150, 525, 3915, 285, SettingId::SourceDir},
    {Control::Browse, "CmdBrowseSource", QT_TRANSLATE_NOOP("PreferencesDialog", "Browse"), 4275,
     525, 990, 285},
    {Control::Switch, "ChkRememberSource",
     QT_TRANSLATE_NOOP("PreferencesDialog", "Remember Source Directory"), 3000, 225, 2340, 240,
     SettingId::SaveSourceDir},
    {Control::Label, "Label2", QT_TRANSLATE_NOOP("PreferencesDialog", "Target Directory:"), 150,
     1050, 1365, 240},
    {Control::Folder, "TextTargetDir", nullptr, 150, 1350, 3915, 285, SettingId::TargetDir},
    {Control::Browse, "CmdBrowseTarget", QT_TRANSLATE_NOOP("PreferencesDialog", "Browse"), 4275,
     1350, 990, 285},
    {Control::Switch, "ChkRememberTarget",
     QT_TRANSLATE_NOOP("PreferencesDialog", "Remember Target Directory"), 3000, 1050, 2340, 240,
     SettingId::SaveTargetDir},
    {Control::Switch, "ChkConfirmDel", QT_TRANSLATE_NOOP("PreferencesDialog", "Confirm Delete"),
     3150, 2025, 1440, 240, SettingId::ConfirmDel},
    {Control::Switch, "ChkClearQue",
     QT_TRANSLATE_NOOP("PreferencesDialog", "Clear Queued Files After Join"), 150, 2025, 2715, 240,
     SettingId::ClearQue},
    {Control::Switch, "ChkChunkSizeSave",
     QT_TRANSLATE_NOOP("PreferencesDialog", "Keep Chunk Size Setting"), 150, 2400, 2115, 240,
     SettingId::ChunkSizeSave},
};

/// Widens a one-line control whose text the face in use draws wider than
/// the layout allows; it keeps its left edge (the window grows to hold it).
void fitText(QWidget* w)
{
    QRect r = w->geometry();
    const QSize need = w->sizeHint();
    if (need.width() > r.width())
        r.setWidth(need.width());
    const int textHeight = w->fontMetrics().height();
    if (textHeight > r.height())
        r.setHeight(textHeight);
    w->setGeometry(r);
}

// The name of the control that shows setting `id`.
QLatin1String controlOf(SettingId id)
{
    for (const Control& c : kControls)
        if ((c.type == Control::Folder || c.type == Control::Switch) && c.shows == id)
            return QLatin1String(c.name);
    return QLatin1String();
}

} // namespace

PreferencesDialog::PreferencesDialog(Program& program, Desktop& desktop)
    : QDialog(nullptr, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      m_program(program), m_prefs(program.prefs()), m_desktop(desktop)
{
    setObjectName(QStringLiteral("frmPrefs"));
    setWindowTitle(tr("Preferences"));
    setWindowIcon(Icons::program());
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(kClientWidth, kClientHeight);
    buildControls();

    // A live value changed elsewhere (a folder remembered by Add or Join, OK) shows at once.
    connect(&m_prefs, &Preferences::checkStateChanged, this, &PreferencesDialog::showState);
    connect(&m_prefs, &Preferences::folderTextChanged, this, &PreferencesDialog::showFolder);
    for (const SettingInfo& s : kSettingTable) {
        if (s.kind == Kind::Switch)
            showState(s.id, m_prefs.checkState(s.id));
        else if (s.kind == Kind::Folder)
            showFolder(s.id, m_prefs.folderText(s.id));
    }
    // The switches' handlers run only on a change; make the looks right either way.
    followSwitch(SettingId::SourceDir);
    followSwitch(SettingId::TargetDir);
    findChild<QPushButton*>(QStringLiteral("CmdOK"))->setFocus();
}

PreferencesDialog::~PreferencesDialog() = default;

void PreferencesDialog::buildControls()
{
    QLabel* label = nullptr;
    const SettingInfo* folder = nullptr;
    int widest = kClientWidth;
    for (const Control& c : kControls) {
        const SettingInfo* setting = &settingInfo(c.shows);
        QWidget* w = nullptr;
        if (c.type == Control::Folder) {
            auto* edit = place<QLineEdit>(this, c.name, c.left, c.top, c.width, c.height);
            label->setBuddy(edit); // a screen reader names the folder box after its label
            folder = setting;
            // An edit in the window is a live value at once.
            connect(edit, &QLineEdit::textChanged, this, [this, setting](const QString& text) {
                m_prefs.setFolderText(setting->id, text);
            });
            continue;
        }
        if (c.type == Control::Switch) {
            auto* box = place<SwitchBox>(this, c.name, c.left, c.top, c.width, c.height);
            box->setTristate(true);
            box->setCheckState(toQtCheckState(QByteArray(setting->firstStart).toInt()));
            connect(box, &QCheckBox::stateChanged, this, [this, setting](int state) {
                m_prefs.setCheckState(setting->id, toStoredCheckState(Qt::CheckState(state)));
            });
            w = box;
        } else if (c.type == Control::Label) {
            w = label = place<QLabel>(this, c.name, c.left, c.top, c.width, c.height);
        } else {
            auto* b = Layout::button(this, c.name, QString(), c.left, c.top, c.width, c.height);
            // Neither OK nor Cancel is a default button: Enter presses only the
            // focused button (see keyPressEvent), Esc none at all.
            b->setAutoDefault(false);
            b->setDefault(false);
            if (c.type == Control::Browse)
                connect(b, &QPushButton::clicked, this, [this, folder] { browseFor(folder->id); });
            w = b;
        }
        w->setProperty("text", tr(c.text));
        if (c.type != Control::Button && c.type != Control::Browse)
            fitText(w);
        widest = qMax(widest, w->geometry().right() + 3);
    }
    setFixedSize(widest, kClientHeight);
    connect(findChild<QPushButton*>(QStringLiteral("CmdOK")), &QPushButton::clicked, this,
            &PreferencesDialog::storeAndClose);
    connect(findChild<QPushButton*>(QStringLiteral("CmdCancel")), &QPushButton::clicked, this,
            &QWidget::close);

    // A two-pixel rule in the grey-text colour between the folders and the switches.
    auto* rule = new QFrame(this);
    rule->setObjectName(QStringLiteral("Line1"));
    rule->setFrameShape(QFrame::NoFrame);
    rule->setGeometry(75 / 15, 1875 / 15 - 1, (5325 - 75) / 15, 2);
    rule->setAutoFillBackground(true);
    QPalette pal = rule->palette();
    pal.setColor(QPalette::Window, palette().color(QPalette::Disabled, QPalette::WindowText));
    rule->setPalette(pal);
}

QCheckBox* PreferencesDialog::switchBox(SettingId id) const
{
    return findChild<QCheckBox*>(controlOf(id));
}

QLineEdit* PreferencesDialog::folderBox(SettingId id) const
{
    return findChild<QLineEdit*>(controlOf(id));
}

void PreferencesDialog::showState(SettingId id, int state)
{
    {
        const QSignalBlocker quiet(switchBox(id)); // shown, not edited
        switchBox(id)->setCheckState(toQtCheckState(state));
    }
    for (const SettingInfo& s : kSettingTable)
        if (s.kind == Kind::Folder && s.switchedBy == id)
            followSwitch(s.id);
}

void PreferencesDialog::showFolder(SettingId id, const QString& text)
{
    QLineEdit* box = folderBox(id);
    if (box->text() == text)
        return;                      // keeps the cursor where the user types
    const QSignalBlocker quiet(box); // shown, not edited
    box->setText(text);
}

void PreferencesDialog::followSwitch(SettingId folder)
{
    // Locked folder boxes sit on the button-face colour, like a disabled field.
    QLineEdit* box = folderBox(folder);
    const bool ticked =
        toStoredCheckState(switchBox(settingInfo(folder).switchedBy)->checkState()) == 1;
    QPalette pal = box->palette();
    const QPalette base = QApplication::palette(box);
    pal.setColor(QPalette::Base,
                 ticked ? base.color(QPalette::Base) : base.color(QPalette::Button));
    box->setPalette(pal);
    box->setReadOnly(!ticked);
}

void PreferencesDialog::browseFor(SettingId folder)
{
    m_desktop.chooseFolder(this, tr("Select your default Source folder:"),
                           folderBox(folder)->text(), [this, folder](const QString& chosen) {
                               if (chosen.isEmpty())
                                   return;
                               // Choosing a folder means remembering it.
                               m_prefs.setCheckState(settingInfo(folder).switchedBy, 1);
                               m_prefs.setFolderText(folder, chosen);
                           });
}

void PreferencesDialog::storeAndClose()
{
    // Also puts every live value back, the chunk size included.
    QString reason;
    if (!m_program.store().storePreferences(&reason))
        m_desktop.message(parentWidget(), m_program.store().notSavedMessage(reason));
    close();
}

void PreferencesDialog::keyPressEvent(QKeyEvent* event)
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

void PreferencesDialog::closeEvent(QCloseEvent* event)
{
    QDialog::closeEvent(event);
    if (!event->isAccepted())
        return;
    // The values this window held go with it.
    disconnect(&m_prefs, nullptr, this, nullptr);
    m_prefs.discardWindowValues();
}
