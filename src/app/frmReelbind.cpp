#include "app/frmReelbind.h"

#include "about/frmAbout.h"
#include "app/Icons.h"
#include "app/Layout.h"
#include "join/JoinController.h"
#include "platform/Platform.h"
#include "queue/Format.h"
#include "queue/QueueController.h"
#include "queue/QueueModel.h"
#include "settings/frmPrefs.h"

#include <QCloseEvent>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QSignalBlocker>
#include <QSlider>
#include <QToolButton>
#include <QTreeView>

namespace {

using Layout::place;

/// The live preferences: the preferences window's boxes and the slider.
class MainLive : public LiveSettings
{
public:
    explicit MainLive(frmReelbind& w) : m_w(w) {}
    int checkState(Box box) override { return m_w.prefs()->checkState(box); }
    void setCheckState(Box box, int state) override { m_w.prefs()->setCheckState(box, state); }
    QString folderText(Folder f) override { return m_w.prefs()->folderText(f); }
    void setFolderText(Folder f, const QString& t) override { m_w.prefs()->setFolderText(f, t); }
    int chunkSize() override { return m_w.SldrChunkSize->value(); }
    void setChunkSize(int bytes) override { m_w.SldrChunkSize->setValue(bytes); }

private:
    frmReelbind& m_w;
};

} // namespace

frmReelbind::frmReelbind(Platform& platform, const QString& programFolder, QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                              Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                              Qt::WindowCloseButtonHint),
      m_platform(platform), m_programFolder(programFolder)
{
    setObjectName(QStringLiteral("frmReelbind"));
    setWindowIcon(Icons::program());
    m_live = new MainLive(*this);
    m_queueModel = new QueueModel(this);
    buildControls();
    buildMenus();
    m_queue = new QueueController(*this);
    m_join = new JoinController(*this);
    Form_Load();
}

frmReelbind::~frmReelbind()
{
    delete m_join;
    delete m_queue;
    delete m_prefs;
    delete m_about;
    delete m_live;
}

void frmReelbind::buildControls()
{
    // The frame is sizable, but nothing moves with it: controls keep their places.
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    client->resize(Layout::px(8625), Layout::px(3960));
    setCentralWidget(client);

    Line1 = place<QFrame>(client, "Line1", 0, 0, 8625, 30);
    Line1->setFrameShape(QFrame::HLine);
    Line1->setFrameShadow(QFrame::Sunken);

    FrameChunkSize = place<QGroupBox>(client, "FrameChunkSize", 525, 150, 4215, 840);
    SldrChunkSize = new QSlider(Qt::Horizontal, FrameChunkSize);
    SldrChunkSize->setObjectName(QStringLiteral("SldrChunkSize"));
    SldrChunkSize->setTickPosition(QSlider::TicksBelow);
    SldrChunkSize->setSingleStep(1000);
    SldrChunkSize->setPageStep(10000);
    // The ticks need more than the classic 16 px; grow downwards inside the frame.
    const int sliderTop = Layout::px(375);
    const int sliderHeight = qMin(qMax(Layout::px(240), SldrChunkSize->sizeHint().height()),
                                  Layout::px(840) - sliderTop - 2);
    SldrChunkSize->setGeometry(Layout::px(150), sliderTop, Layout::px(3915), sliderHeight);

    // The estimate may reach the client area's right edge, so that large
    // totals and wide fonts stay whole.
    LblEstFilesize = place<QLabel>(client, "LblEstFilesize", 5250, 150, 2790, 210);
    LblEstFilesize->setGeometry(Layout::px(5250), Layout::px(150),
                                Layout::px(8625) - Layout::px(5250),
                                qMax(Layout::px(210), LblEstFilesize->fontMetrics().height()));

    ListViewAdd = place<QTreeView>(client, "ListViewAdd", 480, 1275, 7665, 2115);
    ListViewAdd->setModel(m_queueModel);

    CmdMoveUp = place<QToolButton>(client, "CmdMoveUp", 75, 2025, 315, 315);
    CmdMoveUp->setIcon(Icons::arrowUp());
    CmdMoveUp->setIconSize(QSize(16, 16));
    CmdMoveDown = place<QToolButton>(client, "CmdMoveDown", 75, 2550, 315, 315);
    CmdMoveDown->setIcon(Icons::arrowDown());
    CmdMoveDown->setIconSize(QSize(16, 16));

    CmdAdd = Layout::button(client, "CmdAdd", QStringLiteral("Add"), 480, 3525, 1140, 315);
    CmdRemove =
        Layout::button(client, "CmdRemove", QStringLiteral("Remove"), 2103, 3525, 1140, 315);
    CmdClear = Layout::button(client, "CmdClear", QStringLiteral("Clear"), 3726, 3525, 1140, 315);
    CmdJoin = Layout::button(client, "CmdJoin", QStringLiteral("Join"), 5349, 3525, 1140, 315);
    CmdExit = Layout::button(client, "CmdExit", QStringLiteral("Exit"), 6975, 3525, 1140, 315);

    Layout::tabOrder({ListViewAdd, CmdJoin, CmdExit, CmdAdd, CmdRemove, CmdClear, SldrChunkSize,
                      CmdMoveUp, CmdMoveDown});

    connect(SldrChunkSize, &QSlider::valueChanged, this, &frmReelbind::SldrChunkSize_Change);
    connect(CmdAdd, &QPushButton::clicked, this, &frmReelbind::CmdAdd_Click);
    connect(CmdRemove, &QPushButton::clicked, this, &frmReelbind::CmdRemove_Click);
    connect(CmdClear, &QPushButton::clicked, this, &frmReelbind::CmdClear_Click);
    connect(CmdMoveUp, &QToolButton::clicked, this, &frmReelbind::CmdMoveUp_Click);
    connect(CmdMoveDown, &QToolButton::clicked, this, &frmReelbind::CmdMoveDown_Click);
    connect(CmdJoin, &QPushButton::clicked, this, &frmReelbind::CmdJoin_Click);
    connect(CmdExit, &QPushButton::clicked, this, &frmReelbind::CmdExit_Click);
}

void frmReelbind::buildMenus()
{
    auto item = [this](QMenu* menu, const char* name, const QString& text) {
        QAction* a = menu->addAction(text);
        a->setObjectName(QLatin1String(name));
        return a;
    };
    auto link = [this, item](QMenu* menu, const char* name, const QString& text, char page) {
        QAction* a = item(menu, name, text);
        connect(a, &QAction::triggered, this, [this, page] { ShellOpen(linkAddress(page)); });
        return a;
    };

    mnu_prefs = menuBar()->addMenu(QStringLiteral("Preferences"));
    mnu_prefs->setObjectName(QStringLiteral("mnu_prefs"));
    mnu_subPrefs = item(mnu_prefs, "mnu_subPrefs", QStringLiteral("Preferences"));
    mnu_prefs->addSeparator()->setObjectName(QStringLiteral("Space1"));
    mnu_Exit = item(mnu_prefs, "mnu_Exit", QStringLiteral("Exit"));

    mnu_Links = menuBar()->addMenu(QStringLiteral("Useful Links"));
    mnu_Links->setObjectName(QStringLiteral("mnu_Links"));
    mnu_ZIDA_FAQ = link(mnu_Links, "mnu_ZIDA_FAQ", QStringLiteral("ZIDA FAQ"), 'A');
    mnu_BWI263 = link(mnu_Links, "mnu_BWI263", QStringLiteral("Brightwater's I.263 Site"), 'B');
    mnu_MW =
        link(mnu_Links, "mnu_MW", QStringLiteral("Marlowe's IR21 and Tesk's Power Post/Join"), 'C');
    mnu_I263 = link(mnu_Links, "mnu_I263",
                    QStringLiteral("Intel's I.263 video CODEC (without IMC audio)"), 'D');
    mnu_Indeo =
        link(mnu_Links, "mnu_Indeo", QStringLiteral("Intel Indeo CODECs (IV3.x, IV4.x, IV5)"), 'E');
    mnu_FA = link(mnu_Links, "mnu_FA", QStringLiteral("Free Agent (Newsreader)"), 'F');
    mnu_Quorvik = link(mnu_Links, "mnu_Quorvik",
                       QStringLiteral("Get The Latest Version of Orvel's Reelbind"), 'A');

    mnu_Help = menuBar()->addMenu(QStringLiteral("Help"));
    mnu_Help->setObjectName(QStringLiteral("mnu_Help"));
    mnu_Readme = item(mnu_Help, "mnu_Readme", QStringLiteral("View Readme File"));
    mnu_Help->addSeparator()->setObjectName(QStringLiteral("Space2"));
    mnu_About = item(mnu_Help, "mnu_About", QStringLiteral("About"));

    Option_mnu = new QMenu(QStringLiteral("Options"), this);
    Option_mnu->setObjectName(QStringLiteral("Option_mnu"));
    mnu_View = item(Option_mnu, "mnu_View", QStringLiteral("View Selecte File"));
    mnu_Remove = item(Option_mnu, "mnu_Remove", QStringLiteral("Remove Selected File(s)"));

    connect(mnu_subPrefs, &QAction::triggered, this, &frmReelbind::mnu_subPrefs_Click);
    connect(mnu_Exit, &QAction::triggered, this, &frmReelbind::mnu_Exit_Click);
    connect(mnu_Readme, &QAction::triggered, this, &frmReelbind::mnu_Readme_Click);
    connect(mnu_About, &QAction::triggered, this, &frmReelbind::mnu_About_Click);
    connect(mnu_View, &QAction::triggered, this, &frmReelbind::mnu_View_Click);
    connect(mnu_Remove, &QAction::triggered, this, &frmReelbind::mnu_Remove_Click);
}

QString frmReelbind::linkAddress(char page)
{
    switch (page) {
    case 'A':
        return QStringLiteral("https://en.wikipedia.org/wiki/MPEG-1");
    case 'B':
        return QStringLiteral("https://en.wikipedia.org/wiki/H.263");
    case 'C':
        return QStringLiteral("https://en.wikipedia.org/wiki/Usenet");
    case 'D':
        return QStringLiteral("https://www.itu.int/rec/T-REC-H.263");
    case 'E':
        return QStringLiteral("https://en.wikipedia.org/wiki/Indeo");
    case 'F':
        return QStringLiteral("https://en.wikipedia.org/wiki/Fort%C3%A9_Agent");
    default:
        return QString();
    }
}

void frmReelbind::Form_Load()
{
    setWindowTitle(
        QStringLiteral("Orvel's Reelbind %1.%2.%3b").arg(kMajor).arg(kMinor).arg(kRevision));
    m_iniPath = m_programFolder + QLatin1Char('/') + kSettingsFileName;

    ListViewAdd->setRootIsDecorated(false);
    ListViewAdd->setUniformRowHeights(true);
    ListViewAdd->setItemsExpandable(false);
    ListViewAdd->setAllColumnsShowFocus(true);
    ListViewAdd->setSelectionMode(QAbstractItemView::ExtendedSelection);
    ListViewAdd->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // The last column reaches the list's right edge, so its title is never cut.
    ListViewAdd->header()->setStretchLastSection(true);
    ListViewAdd->header()->setSectionsClickable(true);
    ListViewAdd->header()->setSectionsMovable(false);
    ListViewAdd->header()->resizeSection(0, Layout::px(2900));
    ListViewAdd->header()->resizeSection(1, Layout::px(2800));
    ListViewAdd->header()->resizeSection(2, Layout::px(1000));

    LblEstFilesize->setText(Format::estimateCaption(0));

    {
        // Setting the range moves the value; that is no user's move.
        const QSignalBlocker quiet(SldrChunkSize);
        SldrChunkSize->setMaximum(kChunkMax);
        SldrChunkSize->setMinimum(kChunkMin);
        SldrChunkSize->setTickInterval(10000);
    }

    CmdRemove->setEnabled(false);
    CmdClear->setEnabled(false);
    CmdJoin->setEnabled(false);

    StartUpSettings(m_settings, m_iniPath, File_Exists(m_iniPath), *m_live);

    FrameChunkSize->setTitle(Format::chunkCaption(SldrChunkSize->value()));
    ListViewAdd->setSelectionBehavior(QAbstractItemView::SelectRows);

    resize(Layout::px(8625), Layout::px(3960) + menuBar()->sizeHint().height());
    if (QScreen* s = screen()) {
        const QRect avail = s->availableGeometry();
        move(avail.center() - QPoint(width() / 2, height() / 2));
    }
}

void frmReelbind::SldrChunkSize_Change()
{
    const QString caption = Format::chunkCaption(SldrChunkSize->value());
    if (FrameChunkSize->title() != caption) {
        FrameChunkSize->setTitle(caption);
        FrameChunkSize->repaint();
    }
    if (m_live->isTicked(LiveSettings::ChunkSizeSave))
        m_settings.ChunkSize = QString::number(SldrChunkSize->value());
}

frmPrefs* frmReelbind::prefs()
{
    // A closed window waits for its deletion; the live values are built anew.
    if (m_prefs && m_prefs->isClosed())
        m_prefs = nullptr;
    if (!m_prefs)
        m_prefs = new frmPrefs(m_settings, *m_live, m_platform, m_iniPath);
    return m_prefs;
}

frmPrefs* frmReelbind::existingPrefs() const
{
    return m_prefs && !m_prefs->isClosed() ? m_prefs.data() : nullptr;
}

frmAbout* frmReelbind::about() const
{
    return m_about;
}

bool frmReelbind::File_Exists(const QString& PathName) const
{
    // Only regular files count; hidden files, folders and special files do not.
    auto counts = [](const QFileInfo& f) { return f.isFile() && !f.isHidden(); };
    const QFileInfo info(PathName);
    const QString name = info.fileName();
    if (!name.contains(QLatin1Char('*')) && !name.contains(QLatin1Char('?')))
        return !name.isEmpty() && counts(info);

    // A directory search: "*" any run, "?" one character, all else literal.
    QString pattern;
    for (const QChar c : name) {
        if (c == QLatin1Char('*'))
            pattern += QStringLiteral(".*");
        else if (c == QLatin1Char('?'))
            pattern += QLatin1Char('.');
        else
            pattern += QRegularExpression::escape(QString(c));
    }
    const QRegularExpression re(QRegularExpression::anchoredPattern(pattern),
                                QRegularExpression::DotMatchesEverythingOption);
    QDirIterator it(info.path(), QDir::Files | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        it.next();
        if (re.match(it.fileName()).hasMatch() && counts(it.fileInfo()))
            return true;
    }
    return false;
}

int frmReelbind::ShellOpen(const QString& Target)
{
    // Like the shell: above 32 is success, anything else an error code.
    return m_platform.shellOpen(Target) ? 33 : 2;
}

void frmReelbind::mnu_Readme_Click()
{
    ShellOpen(m_programFolder + QStringLiteral("/Readme.html"));
}

void frmReelbind::mnu_subPrefs_Click()
{
    frmPrefs* p = prefs();
    p->show();
    p->raise();
    p->activateWindow();
}

void frmReelbind::mnu_About_Click()
{
    if (!m_about)
        m_about = new frmAbout(*this);
    m_about->show();
    m_about->raise();
    m_about->activateWindow();
}

void frmReelbind::mnu_Exit_Click()
{
    CmdExit_Click();
}

void frmReelbind::CmdExit_Click()
{
    // An exit during a join cancels the join and goes on once it has ended.
    if (m_join->isRunning()) {
        m_join->cancelThen([this] { CmdExit_Click(); });
        return;
    }
    QString reason;
    if (!SaveSettings(kSettingsSection, m_settings, m_iniPath, *m_live, false, &reason))
        m_platform.message(this, settingsNotSavedMessage(m_iniPath, reason));
    closeAllWindows();
}

void frmReelbind::closeOtherWindows()
{
    if (m_prefs) {
        m_prefs->close();
        delete m_prefs;
    }
    m_join->closeStatusWindow();
    if (m_about) {
        m_about->close();
        delete m_about;
    }
}

void frmReelbind::closeAllWindows()
{
    closeOtherWindows();
    m_exiting = true;
    close();
}

void frmReelbind::closeEvent(QCloseEvent* event)
{
    if (m_join->isRunning()) {
        event->ignore();
        m_join->cancelThen([this] { close(); });
        return;
    }
    if (!m_exiting) {
        // The close box: end without saving, leaving no window behind.
        m_exiting = true;
        closeOtherWindows();
    }
    event->accept();
}

// Queue commands.
void frmReelbind::CmdAdd_Click()
{
    m_queue->CmdAdd_Click();
}
void frmReelbind::CmdRemove_Click()
{
    m_queue->CmdRemove_Click();
}
void frmReelbind::CmdMoveUp_Click()
{
    m_queue->CmdMoveUp_Click();
}
void frmReelbind::CmdMoveDown_Click()
{
    m_queue->CmdMoveDown_Click();
}
void frmReelbind::CmdClear_Click()
{
    m_queue->CmdClear_Click();
}
void frmReelbind::mnu_View_Click()
{
    m_queue->mnu_View_Click();
}
void frmReelbind::mnu_Remove_Click()
{
    m_queue->mnu_Remove_Click();
}
void frmReelbind::RefreshEstimate()
{
    m_queue->RefreshEstimate();
}

// The join.
void frmReelbind::CmdJoin_Click()
{
    m_join->CmdJoin_Click();
}
