#include "gui/frmReelbind.h"

#include "Product.h"
#include "core/Format.h"
#include "core/Program.h"
#include "gui/Icons.h"
#include "gui/Layout.h"
#include "gui/QueueList.h"
#include "gui/frmAbout.h"
#include "gui/frmJoinStatus.h"
#include "gui/frmPrefs.h"
#include "platform/Desktop.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QSlider>
#include <QToolButton>

namespace {
using Layout::place;
const QStringList kFilters = {QStringLiteral("MPG Files (*.mpg)"), QStringLiteral("All Files (*)")};
} // namespace

frmReelbind::frmReelbind(Program& program, Desktop& desktop, QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                              Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                              Qt::WindowCloseButtonHint),
      m_program(program), m_desktop(desktop)
{
    setObjectName(QStringLiteral("frmReelbind"));
    setWindowIcon(Icons::program());
    buildControls();
    buildMenus();
    Form_Load();
    bindToProgram();
}

frmReelbind::~frmReelbind()
{
    delete m_prefs;
    delete m_about;
    delete m_status;
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
    SldrChunkSize->setAccessibleName(QStringLiteral("Chunk size in bytes"));
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

    ListViewAdd = place<QueueList>(client, "ListViewAdd", 480, 1275, 7665, 2115);
    ListViewAdd->setModel(&m_program.queue().model());
    ListViewAdd->setAccessibleName(QStringLiteral("Files to join"));

    CmdMoveUp = place<QToolButton>(client, "CmdMoveUp", 75, 2025, 315, 315);
    CmdMoveUp->setIcon(Icons::arrowUp());
    CmdMoveUp->setAccessibleName(QStringLiteral("Move Up"));
    CmdMoveUp->setToolTip(QStringLiteral("Move Up"));
    CmdMoveUp->setIconSize(QSize(16, 16));
    CmdMoveDown = place<QToolButton>(client, "CmdMoveDown", 75, 2550, 315, 315);
    CmdMoveDown->setIcon(Icons::arrowDown());
    CmdMoveDown->setAccessibleName(QStringLiteral("Move Down"));
    CmdMoveDown->setToolTip(QStringLiteral("Move Down"));
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
        connect(a, &QAction::triggered, this,
                [this, page] { m_desktop.ShellOpen(linkAddress(page)); });
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
                       QStringLiteral("Get The Latest Version of ") + Product::kName, 'A');

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
    setWindowTitle(Program::caption());

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
    ListViewAdd->setSelectionBehavior(QAbstractItemView::SelectRows);

    LblEstFilesize->setText(m_program.queue().estimate());
    {
        // Setting the range moves the value; that is no user's move.
        const QSignalBlocker quiet(SldrChunkSize);
        SldrChunkSize->setMaximum(kChunkMax);
        SldrChunkSize->setMinimum(kChunkMin);
        SldrChunkSize->setTickInterval(10000);
        SldrChunkSize->setValue(m_program.prefs().chunkSize());
    }
    FrameChunkSize->setTitle(Format::chunkCaption(SldrChunkSize->value()));
    showCommands();

    resize(Layout::px(8625), Layout::px(3960) + menuBar()->sizeHint().height());
    if (QScreen* s = screen()) {
        const QRect avail = s->availableGeometry();
        move(avail.center() - QPoint(width() / 2, height() / 2));
    }
}

void frmReelbind::bindToProgram()
{
    JoinQueue& queue = m_program.queue();
    connect(&queue, &JoinQueue::estimateChanged, LblEstFilesize, &QLabel::setText);
    connect(&queue, &JoinQueue::commandsChanged, this, &frmReelbind::showCommands);
    connect(&m_program.prefs(), &Preferences::chunkSizeChanged, SldrChunkSize, &QSlider::setValue);
    connect(ListViewAdd->header(), &QHeaderView::sectionClicked, this,
            &frmReelbind::ListViewAdd_ColumnClick);
    connect(ListViewAdd, &QueueList::rightButtonPressed, this, &frmReelbind::ListViewAdd_MouseDown);
    connect(ListViewAdd, &QueueList::deletePressed, this, [this] {
        if (m_program.queue().commands().remove)
            CmdRemove_Click();
    });
    connect(ListViewAdd, &QueueList::filesDropped, this, &frmReelbind::openFiles);
    connect(&m_program, &Program::settingsNotSaved, this,
            [this](const QString& message) { m_desktop.message(this, message); });
    connect(&m_program, &Program::closing, this, &frmReelbind::closeAllWindows);
}

void frmReelbind::showCommands()
{
    const JoinQueue::Commands c = m_program.queue().commands();
    CmdAdd->setEnabled(c.add);
    CmdRemove->setEnabled(c.remove);
    CmdClear->setEnabled(c.clear);
    CmdJoin->setEnabled(c.join);
    CmdExit->setEnabled(c.exit);
    ListViewAdd->setAcceptsFiles(c.add);
}

// A closed window only waits for its deletion: it counts as gone.
frmPrefs* frmReelbind::prefsWindow() const
{
    return m_prefs && m_prefs->isVisible() ? m_prefs.data() : nullptr;
}

frmAbout* frmReelbind::aboutWindow() const
{
    return m_about && m_about->isVisible() ? m_about.data() : nullptr;
}

frmJoinStatus* frmReelbind::statusWindow() const
{
    return m_status;
}

void frmReelbind::SldrChunkSize_Change()
{
    const QString caption = Format::chunkCaption(SldrChunkSize->value());
    if (FrameChunkSize->title() != caption) {
        FrameChunkSize->setTitle(caption);
        FrameChunkSize->repaint();
    }
    m_program.prefs().setChunkSize(SldrChunkSize->value());
}

void frmReelbind::mnu_Readme_Click()
{
    m_desktop.ShellOpen(m_program.readmePath());
}

void frmReelbind::mnu_subPrefs_Click()
{
    if (!prefsWindow())
        m_prefs = new frmPrefs(m_program, m_desktop);
    m_prefs->show();
    m_prefs->raise();
    m_prefs->activateWindow();
}

void frmReelbind::mnu_About_Click()
{
    if (!aboutWindow())
        m_about = new frmAbout(m_program, this);
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
    m_program.exit(Program::ExitKind::Save);
}

void frmReelbind::closeEvent(QCloseEvent* event)
{
    // The close box ends the program without saving, once a join has ended.
    if (!m_program.isClosing()) {
        m_inCloseEvent = true;
        m_program.exit(Program::ExitKind::WithoutSaving);
        m_inCloseEvent = false;
    }
    event->setAccepted(m_program.isClosing());
}

void frmReelbind::closeAllWindows()
{
    // Closed, not deleted: a window's own button may be what ended the program.
    if (m_prefs)
        m_prefs->close();
    closeStatusWindow();
    if (m_about)
        m_about->close();
    if (!m_inCloseEvent)
        close();
}

// The queue.

void frmReelbind::CmdAdd_Click()
{
    const QStringList answer =
        m_desktop.getOpenFileNames(this, m_program.queue().addFolder(), kFilters);
    if (!answer.isEmpty())
        addFiles(answer);
}

void frmReelbind::openFiles(const QStringList& paths)
{
    if (m_program.queue().commands().add)
        addFiles(paths);
}

void frmReelbind::addFiles(const QStringList& paths)
{
    const QString leftOut = m_program.queue().add(paths);
    if (!leftOut.isEmpty())
        m_desktop.message(this, leftOut);
}

void frmReelbind::CmdRemove_Click()
{
    const bool hadRows = m_program.queue().count() > 0;
    m_program.queue().remove(ListViewAdd->selectedPositions());
    if (hadRows)
        ListViewAdd->setFocus();
}

void frmReelbind::mnu_Remove_Click()
{
    CmdRemove_Click();
}

void frmReelbind::CmdMoveUp_Click()
{
    const QList<int> selected = ListViewAdd->selectedPositions();
    showMove(m_program.queue().moveUp(selected), !selected.isEmpty());
}

void frmReelbind::CmdMoveDown_Click()
{
    const QList<int> selected = ListViewAdd->selectedPositions();
    showMove(m_program.queue().moveDown(selected), !selected.isEmpty());
}

void frmReelbind::showMove(const QString& refused, bool anySelected)
{
    if (!refused.isEmpty())
        m_desktop.message(this, refused);
    if (anySelected)
        ListViewAdd->setFocus();
}

void frmReelbind::CmdClear_Click()
{
    m_program.queue().clear();
}

void frmReelbind::mnu_View_Click()
{
    const QList<int> selected = ListViewAdd->selectedPositions();
    if (!selected.isEmpty())
        m_desktop.ShellOpen(m_program.queue().rows().at(selected.front()).fullPath());
}

void frmReelbind::ListViewAdd_ColumnClick(int column)
{
    m_program.queue().sortByColumn(column);
}

void frmReelbind::ListViewAdd_MouseDown(const QPoint& globalPos)
{
    if (m_program.queue().count() == 0 || ListViewAdd->selectedPositions().isEmpty())
        return;
    m_desktop.popupMenu(Option_mnu, globalPos);
}

// The join.

void frmReelbind::CmdJoin_Click()
{
    JoinSession& join = m_program.join();
    if (join.isRunning())
        return;
    closeStatusWindow();
    join.begin();

    QPointer<frmJoinStatus> window = new frmJoinStatus(join, m_desktop, this);
    m_status = window;
    connect(window, &frmJoinStatus::unloadRequested, this,
            [this, w = window.data()] { unloadStatusWindow(w); });
    window->Form_Load();
    if (window) {
        if (join.target().isEmpty() || window->closeRequested())
            unloadStatusWindow(window);
        else
            window->show();
    }
    join.end();
}

void frmReelbind::closeStatusWindow()
{
    if (!m_status)
        return;
    if (m_status->isRunning())
        m_status->close(); // cancels; the window goes when the run has ended
    else
        unloadStatusWindow(m_status);
}

void frmReelbind::unloadStatusWindow(frmJoinStatus* window)
{
    if (!window)
        return;
    window->hide();
    if (m_status == window)
        m_status = nullptr;
    window->deleteLater();
}
