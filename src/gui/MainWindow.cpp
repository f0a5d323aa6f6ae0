#include "gui/MainWindow.h"

#include "Product.h"
#include "core/Program.h"
#include "core/text/Format.h"
#include "gui/AboutDialog.h"
#include "gui/Desktop.h"
#include "gui/Icons.h"
#include "gui/JoinStatusDialog.h"
#include "gui/Layout.h"
#include "gui/PreferencesDialog.h"
#include "gui/QueueList.h"

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

using Layout::place;

MainWindow::MainWindow(Program& program, Desktop& desktop, QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                              Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                              Qt::WindowCloseButtonHint),
      m_program(program), m_desktop(desktop)
{
    setObjectName(QStringLiteral("frmReelbind"));
    setWindowIcon(Icons::program());
    buildControls();
    buildMenus();
    showProgram();
    bindToProgram();
}

MainWindow::~MainWindow()
{
    delete m_prefs;
    delete m_about;
    delete m_status;
}

void MainWindow::buildControls()
{
    // The frame is sizable, but nothing moves with it: controls keep their places.
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    client->resize(Layout::px(8625), Layout::px(3960));
    setCentralWidget(client);

    auto* line = place<QFrame>(client, "Line1", 0, 0, 8625, 30);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);

    m_chunkFrame = place<QGroupBox>(client, "FrameChunkSize", 525, 150, 4215, 840);
    m_chunkSlider = new QSlider(Qt::Horizontal, m_chunkFrame);
    m_chunkSlider->setObjectName(QStringLiteral("SldrChunkSize"));
    m_chunkSlider->setTickPosition(QSlider::TicksBelow);
    m_chunkSlider->setAccessibleName(tr("Chunk size in bytes"));
    m_chunkSlider->setSingleStep(1000);
    m_chunkSlider->setPageStep(10000);
    // The ticks need more than the classic 16 px; grow downwards inside the frame.
    const int sliderTop = Layout::px(375);
    const int sliderHeight = qMin(qMax(Layout::px(240), m_chunkSlider->sizeHint().height()),
                                  Layout::px(840) - sliderTop - 2);
    m_chunkSlider->setGeometry(Layout::px(150), sliderTop, Layout::px(3915), sliderHeight);

    // The estimate may reach the client area's right edge, so that large
    // totals and wide fonts stay whole.
    m_estimate = place<QLabel>(client, "LblEstFilesize", 5250, 150, 2790, 210);
    m_estimate->setGeometry(Layout::px(5250), Layout::px(150), Layout::px(8625) - Layout::px(5250),
                            qMax(Layout::px(210), m_estimate->fontMetrics().height()));

    m_list = place<QueueList>(client, "ListViewAdd", 480, 1275, 7665, 2115);
    m_list->setModel(&m_program.queue().model());
    m_list->setAccessibleName(tr("Files to join"));

    auto arrow = [client](const char* name, int top, const QIcon& icon, const QString& text) {
        auto* b = place<QToolButton>(client, name, 75, top, 315, 315);
        b->setIcon(icon);
        b->setIconSize(QSize(16, 16));
        b->setAccessibleName(text);
        b->setToolTip(text);
        return b;
    };
    QToolButton* up = arrow("CmdMoveUp", 2025, Icons::arrowUp(), tr("Move Up"));
    QToolButton* down = arrow("CmdMoveDown", 2550, Icons::arrowDown(), tr("Move Down"));

    m_add = Layout::button(client, "CmdAdd", tr("Add"), 480, 3525, 1140, 315);
    m_remove = Layout::button(client, "CmdRemove", tr("Remove"), 2103, 3525, 1140, 315);
    m_clear = Layout::button(client, "CmdClear", tr("Clear"), 3726, 3525, 1140, 315);
    m_join = Layout::button(client, "CmdJoin", tr("Join"), 5349, 3525, 1140, 315);
    m_exit = Layout::button(client, "CmdExit", tr("Exit"), 6975, 3525, 1140, 315);

    Layout::tabOrder({m_list, m_join, m_exit, m_add, m_remove, m_clear, m_chunkSlider, up, down});

    connect(m_chunkSlider, &QSlider::valueChanged, this, &MainWindow::showChunkSize);
    connect(m_add, &QPushButton::clicked, this, &MainWindow::addFromDialog);
    connect(m_remove, &QPushButton::clicked, this, &MainWindow::removeSelected);
    connect(m_clear, &QPushButton::clicked, &m_program.queue(), &JoinQueue::clear);
    connect(up, &QToolButton::clicked, this, [this] { moveSelected(true); });
    connect(down, &QToolButton::clicked, this, [this] { moveSelected(false); });
    connect(m_join, &QPushButton::clicked, this, &MainWindow::startJoin);
    connect(m_exit, &QPushButton::clicked, this, &MainWindow::exitProgram);
}

void MainWindow::buildMenus()
{
    auto item = [this](QMenu* menu, const char* name, const QString& text, auto slot) {
        QAction* a = menu->addAction(text);
        a->setObjectName(QLatin1String(name));
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    auto menu = [this](const char* name, const QString& title) {
        QMenu* m = menuBar()->addMenu(title);
        m->setObjectName(QLatin1String(name));
        return m;
    };
    auto link = [this, item](QMenu* m, const char* name, const QString& text, char page) {
        item(m, name, text, [this, page] { m_desktop.openDocument(linkAddress(page)); });
    };

    QMenu* prefs = menu("mnu_prefs", tr("Preferences"));
    item(prefs, "mnu_subPrefs", tr("Preferences"), &MainWindow::showPreferences);
    prefs->addSeparator()->setObjectName(QStringLiteral("Space1"));
    item(prefs, "mnu_Exit", tr("Exit"), &MainWindow::exitProgram);

    QMenu* links = menu("mnu_Links", tr("Useful Links"));
    link(links, "mnu_ZIDA_FAQ", tr("ZIDA FAQ"), 'A');
    link(links, "mnu_BWI263", tr("Brightwater's I.263 Site"), 'B');
    link(links, "mnu_MW", tr("Marlowe's IR21 and Tesk's Power Post/Join"), 'C');
    link(links, "mnu_I263", tr("Intel's I.263 video CODEC (without IMC audio)"), 'D');
    link(links, "mnu_Indeo", tr("Intel Indeo CODECs (IV3.x, IV4.x, IV5)"), 'E');
    link(links, "mnu_FA", tr("Free Agent (Newsreader)"), 'F');
    link(links, "mnu_Quorvik", tr("Get The Latest Version of %1").arg(Product::kName), 'A');

    QMenu* help = menu("mnu_Help", tr("Help"));
    item(help, "mnu_Readme", tr("View Readme File"),
         [this] { m_desktop.openDocument(m_program.readmePath()); });
    help->addSeparator()->setObjectName(QStringLiteral("Space2"));
    item(help, "mnu_About", tr("About"), &MainWindow::showAbout);

    m_queueMenu = new QMenu(tr("Options"), this);
    m_queueMenu->setObjectName(QStringLiteral("Option_mnu"));
    item(m_queueMenu, "mnu_View", tr("View Selecte File"), &MainWindow::viewSelected);
    item(m_queueMenu, "mnu_Remove", tr("Remove Selected File(s)"), &MainWindow::removeSelected);
}

QString MainWindow::linkAddress(char page)
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

void MainWindow::showProgram()
{
    setWindowTitle(Program::caption());

    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setItemsExpandable(false);
    m_list->setAllColumnsShowFocus(true);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // The last column reaches the list's right edge, so its title is never cut.
    m_list->header()->setStretchLastSection(true);
    m_list->header()->setSectionsClickable(true);
    m_list->header()->setSectionsMovable(false);
    m_list->header()->resizeSection(0, Layout::px(2900));
    m_list->header()->resizeSection(1, Layout::px(2800));
    m_list->header()->resizeSection(2, Layout::px(1000));
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);

    m_estimate->setText(m_program.queue().estimate());
    {
        // Setting the range moves the value; that is no user's move.
        const QSignalBlocker quiet(m_chunkSlider);
        m_chunkSlider->setMaximum(kChunkMax);
        m_chunkSlider->setMinimum(kChunkMin);
        m_chunkSlider->setTickInterval(10000);
        m_chunkSlider->setValue(m_program.prefs().chunkSize());
    }
    m_chunkFrame->setTitle(Format::chunkCaption(m_chunkSlider->value()));
    showCommands();

    resize(Layout::px(8625), Layout::px(3960) + menuBar()->sizeHint().height());
    if (QScreen* s = screen()) {
        const QRect avail = s->availableGeometry();
        move(avail.center() - QPoint(width() / 2, height() / 2));
    }
}

void MainWindow::bindToProgram()
{
    JoinQueue& queue = m_program.queue();
    connect(&queue, &JoinQueue::estimateChanged, m_estimate, &QLabel::setText);
    connect(&queue, &JoinQueue::commandsChanged, this, &MainWindow::showCommands);
    connect(&m_program.prefs(), &Preferences::chunkSizeChanged, m_chunkSlider, &QSlider::setValue);
    connect(m_list->header(), &QHeaderView::sectionClicked, &queue, &JoinQueue::sortByColumn);
    connect(m_list, &QueueList::rightButtonPressed, this, &MainWindow::showQueueMenu);
    connect(m_list, &QueueList::deletePressed, this, [this] {
        if (m_program.queue().commands().remove)
            removeSelected();
    });
    connect(m_list, &QueueList::filesDropped, this, &MainWindow::openFiles);
    connect(&m_program, &Program::settingsNotSaved, this,
            [this](const QString& message) { m_desktop.messageAtExit(this, message); });
    connect(&m_program, &Program::dismissDialogs, this, [this] { m_desktop.dismissAll(); });
    connect(&m_program, &Program::closing, this, &MainWindow::closeAllWindows);
}

void MainWindow::showCommands()
{
    const JoinQueue::Commands c = m_program.queue().commands();
    m_add->setEnabled(c.add);
    m_remove->setEnabled(c.remove);
    m_clear->setEnabled(c.clear);
    m_join->setEnabled(c.join);
    m_exit->setEnabled(c.exit);
    m_list->setAcceptsFiles(c.add);
    if (c.add && !m_waitingFiles.isEmpty()) // after the join's own end, not inside it
        QMetaObject::invokeMethod(
            this, [this] { openFiles(std::exchange(m_waitingFiles, {})); }, Qt::QueuedConnection);
}

// A closed window only waits for its deletion: it counts as gone.
PreferencesDialog* MainWindow::prefsWindow() const
{
    return m_prefs && m_prefs->isVisible() ? m_prefs.data() : nullptr;
}

AboutDialog* MainWindow::aboutWindow() const
{
    return m_about && m_about->isVisible() ? m_about.data() : nullptr;
}

JoinStatusDialog* MainWindow::statusWindow() const
{
    return m_status;
}

void MainWindow::showChunkSize(int bytes)
{
    const QString caption = Format::chunkCaption(bytes);
    if (m_chunkFrame->title() != caption) {
        m_chunkFrame->setTitle(caption);
        m_chunkFrame->repaint();
    }
    m_program.prefs().setChunkSize(bytes);
}

void MainWindow::showPreferences()
{
    if (!prefsWindow())
        m_prefs = new PreferencesDialog(m_program, m_desktop);
    Layout::bringForward(m_prefs);
}

void MainWindow::showAbout()
{
    if (!aboutWindow())
        m_about = new AboutDialog(m_program, this);
    Layout::bringForward(m_about);
}

void MainWindow::exitProgram()
{
    m_program.exit(Program::ExitKind::Save);
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    // The close box ends the program without saving, once a join has ended;
    // the window closes when the program says so (closing()).
    if (m_program.isClosing())
        return event->accept();
    event->ignore();
    m_program.exit(Program::ExitKind::WithoutSaving);
}

void MainWindow::closeAllWindows()
{
    // Closed, not deleted: a window's own button may be what ended the program.
    if (m_prefs)
        m_prefs->close();
    closeStatusWindow();
    if (m_about)
        m_about->close();
    close();
}

void MainWindow::addFromDialog()
{
    m_desktop.chooseFilesToOpen(this, m_program.queue().addFolder(), Desktop::addFilters(),
                                [this](const QStringList& answer) {
                                    if (!answer.isEmpty())
                                        addFiles(answer);
                                });
}

void MainWindow::openFiles(const QStringList& paths)
{
    if (m_program.queue().commands().add)
        addFiles(paths);
    else // a join runs: the files join the queue at its end
        m_waitingFiles += paths;
}

void MainWindow::addFiles(const QStringList& paths)
{
    JoinQueue& queue = m_program.queue();
    const auto add = [this](const QStringList& files) {
        const QString leftOut = m_program.queue().add(files);
        if (!leftOut.isEmpty())
            m_desktop.message(this, leftOut);
    };
    const QList<PartSets::Set> sets = queue.setsOf(paths);
    if (sets.isEmpty())
        return add(paths);
    m_desktop.askYesNo(
        this, PartSets::questionTitle(), PartSets::question(sets), Desktop::Default::Yes,
        [add, paths, sets](bool more) { add(more ? PartSets::withOthers(paths, sets) : paths); });
}

void MainWindow::removeSelected()
{
    const bool hadRows = m_program.queue().count() > 0;
    m_program.queue().remove(m_list->selectedPositions());
    if (hadRows)
        m_list->setFocus();
}

void MainWindow::moveSelected(bool up)
{
    const QList<int> selected = m_list->selectedPositions();
    const QString refused =
        up ? m_program.queue().moveUp(selected) : m_program.queue().moveDown(selected);
    if (!refused.isEmpty())
        m_desktop.message(this, refused);
    // The list keeps the keyboard.
    if (!selected.isEmpty())
        m_list->setFocus();
}

void MainWindow::viewSelected()
{
    const QList<int> selected = m_list->selectedPositions();
    if (!selected.isEmpty())
        m_desktop.openDocument(m_program.queue().rows().at(selected.front()).fullPath());
}

void MainWindow::showQueueMenu(const QPoint& globalPos)
{
    if (m_program.queue().count() == 0 || m_list->selectedPositions().isEmpty())
        return;
    m_desktop.popupMenu(m_queueMenu, globalPos);
}

void MainWindow::startJoin()
{
    if (m_program.join().isRunning())
        return;
    closeStatusWindow();
    auto* window = new JoinStatusDialog(m_program.join(), m_desktop, this);
    m_status = window;
    connect(window, &JoinStatusDialog::unloadRequested, this,
            [this, window] { unloadStatusWindow(window); });
    if (!window->startJoin())
        unloadStatusWindow(window);
}

void MainWindow::closeStatusWindow()
{
    if (!m_status)
        return;
    if (m_program.join().isRunning())
        m_status->close(); // cancels; the window goes when the join has ended
    else
        unloadStatusWindow(m_status);
}

void MainWindow::unloadStatusWindow(JoinStatusDialog* window)
{
    if (!window)
        return;
    window->hide();
    if (m_status == window)
        m_status = nullptr;
    window->deleteLater();
}
