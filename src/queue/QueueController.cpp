#include "queue/QueueController.h"

#include "app/frmReelbind.h"
#include "platform/Platform.h"
#include "queue/FileCheck.h"
#include "queue/Format.h"
#include "queue/QueueModel.h"
#include "queue/StrFunc.h"

#include <QCoreApplication>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QTreeView>
#include <QUrl>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

using FileCheck::systemReason;

namespace {

const QString kSlash = QStringLiteral("/");

/// Size of the file at `path` if it is a regular file this user can read;
/// otherwise std::nullopt and the reason in `reason`.
std::optional<qint64> readableSize(const QString& path, QString& reason)
{
    const QByteArray native = QFile::encodeName(path);
    struct stat st;
    if (::stat(native.constData(), &st) != 0) {
        reason = systemReason(errno);
        return std::nullopt;
    }
    reason = FileCheck::whyNotRegular(st.st_mode);
    if (!reason.isEmpty())
        return std::nullopt;
    const int fd = ::open(native.constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        reason = systemReason(errno);
        return std::nullopt;
    }
    ::close(fd);
    return qint64(st.st_size);
}

} // namespace

QueueController::QueueController(frmReelbind& window) : QObject(&window), m_w(window)
{
    QTreeView* list = m_w.ListViewAdd;
    connect(list->header(), &QHeaderView::sectionClicked, this,
            &QueueController::ListViewAdd_ColumnClick);
    list->installEventFilter(this);
    list->viewport()->installEventFilter(this);
    list->setAcceptDrops(true);
    list->viewport()->setAcceptDrops(true);
    list->setDropIndicatorShown(false);
}

QueueController::~QueueController() = default;

void QueueController::CmdAdd_Click()
{
    QString dir = m_w.live().folderText(LiveSettings::SourceFolder);
    if (dir.isEmpty())
        dir = QDir::homePath();
    const QStringList answer = m_w.platform().getOpenFileNames(
        &m_w, dir, {QStringLiteral("MPG Files (*.mpg)"), QStringLiteral("All Files (*)")});
    if (answer.isEmpty())
        return; // Cancel
    addFiles(answer);
}

void QueueController::addFiles(const QStringList& paths)
{
    QList<QueueRow> rows;
    rows.reserve(paths.size());
    QStringList leftOut;
    QString lastFolder;
    for (QString path : paths) {
        if (!path.startsWith(kSlash))
            path = QDir::current().absoluteFilePath(path);
        const QString folder = StrFunc::LeftOfLast(path, kSlash) + kSlash;
        const QString name = StrFunc::RightOfLast(path, kSlash);
        QString reason;
        const std::optional<qint64> size = readableSize(folder + name, reason);
        if (!size) {
            leftOut << folder + name + QStringLiteral(": ") + reason;
            continue;
        }
        rows.append(QueueRow{name, folder, Format::megabytes(*size)});
        lastFolder = folder;
    }
    m_w.queue()->append(std::move(rows));
    RefreshEstimate();

    if (!lastFolder.isEmpty() && m_w.live().isTicked(LiveSettings::RememberSource)) {
        QString dir = StrFunc::LeftOfLast(lastFolder, kSlash);
        if (dir.isEmpty())
            dir = kSlash; // the root keeps its slash
        m_w.live().setFolderText(LiveSettings::SourceFolder, dir);
        m_w.settings().SourceDir = dir;
    }
    if (m_w.queue()->count() > 0)
        setQueueButtonsEnabled(true);

    if (!leftOut.isEmpty()) {
        const QString head = leftOut.size() == 1
                                 ? QStringLiteral("This file was not added to the queue:")
                                 : QStringLiteral("These files were not added to the queue:");
        m_w.platform().message(&m_w, Format::listMessage(head + QLatin1Char('\n'), leftOut));
    }
}

QList<int> QueueController::selectedPositions() const
{
    // Walk the ranges, never ask row by row: isSelected() scans every range.
    QList<int> rows;
    const QItemSelectionModel* sel = m_w.ListViewAdd->selectionModel();
    if (!sel)
        return rows;
    const QItemSelection ranges = sel->selection();
    for (const QItemSelectionRange& r : ranges) {
        if (!r.isValid())
            continue;
        for (int row = r.top(); row <= r.bottom(); ++row)
            rows.append(row);
    }
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

void QueueController::CmdRemove_Click()
{
    QueueModel* queue = m_w.queue();
    const bool hadRows = queue->count() > 0;
    queue->removePositions(selectedPositions());
    if (hadRows)
        m_w.ListViewAdd->setFocus();
    if (queue->count() == 0)
        setQueueButtonsEnabled(false);
    RefreshEstimate();
}

void QueueController::mnu_Remove_Click()
{
    CmdRemove_Click();
}

void QueueController::CmdMoveUp_Click()
{
    QueueModel* queue = m_w.queue();
    queue->setSortedOff();
    const QList<int> selected = selectedPositions();
    if (selected.isEmpty())
        return;
    if (!queue->moveUp(selected))
        m_w.platform().message(
            &m_w, QStringLiteral("Can't move the selected item above the beginning of the list."));
    m_w.ListViewAdd->setFocus();
}

void QueueController::CmdMoveDown_Click()
{
    QueueModel* queue = m_w.queue();
    queue->setSortedOff();
    const QList<int> selected = selectedPositions();
    if (selected.isEmpty())
        return;
    if (!queue->moveDown(selected))
        m_w.platform().message(
            &m_w, QStringLiteral("Can't move the selected item below the end of the list."));
    m_w.ListViewAdd->setFocus();
}

void QueueController::CmdClear_Click()
{
    clearQueue();
}

void QueueController::clearQueue()
{
    m_w.queue()->clear();
    setEstimateCaption(Format::estimateCaption(0));
    setQueueButtonsEnabled(false);
}

void QueueController::RefreshEstimate()
{
    // The sum of the sizes as shown, kept in single precision at every step.
    const QLocale locale;
    float total = 0.0f;
    for (const QueueRow& r : m_w.queue()->rows())
        total = float(double(total) + Format::readFixed(r.size, locale).value_or(0.0));
    setEstimateCaption(Format::estimateCaption(total));
}

void QueueController::mnu_View_Click()
{
    const QList<int> selected = selectedPositions();
    if (selected.isEmpty())
        return;
    m_w.ShellOpen(m_w.queue()->at(selected.front()).fullPath());
}

void QueueController::ListViewAdd_ColumnClick(int column)
{
    m_w.queue()->sortByColumn(column);
}

void QueueController::ListViewAdd_MouseDown(Qt::MouseButton button, const QPoint& globalPos)
{
    if (button != Qt::RightButton || m_w.queue()->count() == 0)
        return;
    if (selectedPositions().isEmpty())
        return;
    m_w.platform().popupMenu(m_w.Option_mnu, globalPos);
}

void QueueController::setEstimateCaption(const QString& caption)
{
    if (m_w.LblEstFilesize->text() != caption)
        m_w.LblEstFilesize->setText(caption);
}

void QueueController::setQueueButtonsEnabled(bool enabled)
{
    m_w.CmdRemove->setEnabled(enabled);
    m_w.CmdClear->setEnabled(enabled);
    m_w.CmdJoin->setEnabled(enabled);
}

QStringList QueueController::localFiles(const QMimeData* mime)
{
    QStringList paths;
    if (!mime || !mime->hasUrls())
        return paths;
    const QList<QUrl> urls = mime->urls();
    for (const QUrl& url : urls)
        if (url.isLocalFile())
            paths << url.toLocalFile();
    return paths;
}

bool QueueController::acceptDrag(QDropEvent* event)
{
    // Adding is off while Add is (during a join). Ask for a copy, never a
    // move: the sender must not take the files away.
    if (!m_w.CmdAdd->isEnabled() || localFiles(event->mimeData()).isEmpty())
        return false;
    if (event->possibleActions() & Qt::CopyAction)
        event->setDropAction(Qt::CopyAction);
    else if (event->possibleActions() & Qt::LinkAction)
        event->setDropAction(Qt::LinkAction);
    else
        return false;
    return true;
}

bool QueueController::eventFilter(QObject* watched, QEvent* event)
{
    QTreeView* list = m_w.ListViewAdd;
    if (watched == list) {
        if (event->type() == QEvent::KeyPress) {
            auto* key = static_cast<QKeyEvent*>(event);
            const auto mods = key->modifiers() & ~Qt::KeypadModifier;
            if (key->key() == Qt::Key_Delete && mods == Qt::NoModifier &&
                m_w.CmdRemove->isEnabled()) {
                CmdRemove_Click();
                return true;
            }
        }
        return false;
    }
    if (watched != list->viewport())
        return false;

    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (m_forwardingPress || mouse->button() != Qt::RightButton)
            return false;
        // The list first selects the row under the pointer, as it does for
        // any click; the menu then acts on that selection.
        m_forwardingPress = true;
        QCoreApplication::sendEvent(watched, event);
        m_forwardingPress = false;
        ListViewAdd_MouseDown(mouse->button(), mouse->globalPosition().toPoint());
        event->accept();
        return true;
    }
    case QEvent::DragEnter: {
        auto* drag = static_cast<QDragEnterEvent*>(event);
        m_dragAccepted = acceptDrag(drag);
        drag->setAccepted(m_dragAccepted);
        return true;
    }
    case QEvent::DragMove: {
        auto* drag = static_cast<QDragMoveEvent*>(event);
        if (m_dragAccepted && m_w.CmdAdd->isEnabled()) {
            drag->setDropAction((drag->possibleActions() & Qt::CopyAction) ? Qt::CopyAction
                                                                           : Qt::LinkAction);
            drag->accept();
        } else {
            drag->ignore();
        }
        return true;
    }
    case QEvent::DragLeave:
        m_dragAccepted = false;
        return true;
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        m_dragAccepted = false;
        if (!acceptDrag(drop)) {
            drop->ignore();
            return true;
        }
        drop->accept();
        // Added after the drop has returned, so that the sender is not kept
        // waiting behind a message box.
        const QStringList paths = localFiles(drop->mimeData());
        QMetaObject::invokeMethod(
            this,
            [this, paths] {
                if (m_w.CmdAdd->isEnabled())
                    addFiles(paths);
            },
            Qt::QueuedConnection);
        return true;
    }
    default:
        return false;
    }
}
