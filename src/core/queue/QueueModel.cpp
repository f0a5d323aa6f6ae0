#include "core/queue/QueueModel.h"

#include <QCollator>
#include <QLocale>
#include <algorithm>
#include <numeric>

QueueModel::QueueModel(QObject* parent) : QAbstractTableModel(parent) {}
QueueModel::~QueueModel() = default;

int QueueModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int QueueModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : 3;
}

QVariant QueueModel::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= m_rows.size())
        return QVariant();
    const QueueRow& r = m_rows.at(index.row());
    switch (index.column()) {
    case ColName:
        return r.name;
    case ColFolder:
        return r.folder;
    case ColSize:
        return r.size;
    default:
        return QVariant();
    }
}

QVariant QueueModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QVariant();
    switch (section) {
    case ColName:
        return tr("Filename");
    case ColFolder:
        return tr("Location");
    case ColSize:
        return tr("Filesize (in MB)");
    default:
        return QVariant();
    }
}

const QString& QueueModel::columnText(const QueueRow& row, int column)
{
    return column == ColFolder ? row.folder : column == ColSize ? row.size : row.name;
}

std::vector<QCollatorSortKey> QueueModel::keysFor(const QList<QueueRow>& rows, int column) const
{
    // Qt's collator compares plain code points in the C locale, which would
    // put "clip10" before "clip2"; C asks for no language, so take the
    // language-neutral order there.
    QLocale locale;
    if (locale.language() == QLocale::C)
        locale = QLocale(QLocale::English, QLocale::UnitedStates);
    QCollator coll(locale);
    coll.setNumericMode(true);
    coll.setCaseSensitivity(Qt::CaseInsensitive);
    std::vector<QCollatorSortKey> keys;
    keys.reserve(size_t(rows.size()));
    for (const QueueRow& r : rows)
        keys.push_back(coll.sortKey(columnText(r, column)));
    return keys;
}

void QueueModel::remapPersistent(const std::vector<int>& oldToNew)
{
    const QModelIndexList from = persistentIndexList();
    if (from.isEmpty())
        return;
    QModelIndexList to;
    to.reserve(from.size());
    for (const QModelIndex& i : from) {
        const int row = i.row() >= 0 && size_t(i.row()) < oldToNew.size() ? oldToNew[i.row()] : -1;
        to.append(row < 0 ? QModelIndex() : index(row, i.column()));
    }
    changePersistentIndexList(from, to);
}

void QueueModel::append(QList<QueueRow> rows)
{
    if (rows.isEmpty())
        return;
    for (QueueRow& r : rows)
        r.id = m_nextId++;
    const int n = int(m_rows.size());
    const int k = int(rows.size());
    if (!m_sorted) {
        beginInsertRows(QModelIndex(), n, n + k - 1);
        m_rows.append(std::move(rows));
        endInsertRows();
        return;
    }

    std::vector<QCollatorSortKey> newKeys = keysFor(rows, m_sortKey);
    std::vector<int> order(static_cast<size_t>(k));
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return newKeys[a].compare(newKeys[b]) < 0; });

    // All new rows after the existing ones: a plain insertion at the end.
    if (n == 0 || newKeys[order.front()].compare(m_keys.back()) >= 0) {
        beginInsertRows(QModelIndex(), n, n + k - 1);
        m_rows.reserve(n + k);
        m_keys.reserve(size_t(n + k));
        for (int j : order) {
            m_rows.append(std::move(rows[j]));
            m_keys.push_back(std::move(newKeys[j]));
        }
        endInsertRows();
        return;
    }

    // Otherwise one merge; an existing row stays ahead of a new one that
    // compares equal.
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    QList<QueueRow> merged;
    merged.reserve(n + k);
    std::vector<QCollatorSortKey> mergedKeys;
    mergedKeys.reserve(size_t(n + k));
    std::vector<int> oldToNew(static_cast<size_t>(n));
    int i = 0, j = 0;
    while (i < n || j < k) {
        if (j == k || (i < n && newKeys[order[j]].compare(m_keys[i]) >= 0)) {
            oldToNew[i] = int(merged.size());
            merged.append(std::move(m_rows[i]));
            mergedKeys.push_back(std::move(m_keys[i]));
            ++i;
        } else {
            merged.append(std::move(rows[order[j]]));
            mergedKeys.push_back(std::move(newKeys[order[j]]));
            ++j;
        }
    }
    m_rows = std::move(merged);
    m_keys = std::move(mergedKeys);
    remapPersistent(oldToNew);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

QList<int> QueueModel::normalized(QList<int> positions, int count)
{
    positions.removeIf([count](int p) { return p < 0 || p >= count; });
    std::sort(positions.begin(), positions.end());
    positions.erase(std::unique(positions.begin(), positions.end()), positions.end());
    return positions;
}

void QueueModel::removePositions(QList<int> positions)
{
    positions = normalized(std::move(positions), count());
    if (positions.isEmpty())
        return;
    std::vector<char> gone(size_t(m_rows.size()), 0);
    for (int p : positions)
        gone[p] = 1;
    removeMarked(gone, int(positions.size()));
}

void QueueModel::removeIds(const QSet<quint64>& ids)
{
    if (ids.isEmpty())
        return;
    std::vector<char> gone(size_t(m_rows.size()), 0);
    int goneCount = 0;
    for (int p = 0; p < m_rows.size(); ++p)
        if (ids.contains(m_rows.at(p).id)) {
            gone[p] = 1;
            ++goneCount;
        }
    removeMarked(gone, goneCount);
}

void QueueModel::removeMarked(const std::vector<char>& gone, int goneCount)
{
    const int n = int(m_rows.size());
    if (goneCount == 0)
        return;
    if (goneCount == n) {
        clear();
        return;
    }
    // One contiguous run: the ordinary removal signals are exact and cheap.
    const auto first = std::find(gone.begin(), gone.end(), 1) - gone.begin();
    if (std::all_of(gone.begin() + first, gone.begin() + first + goneCount,
                    [](char g) { return g == 1; })) {
        beginRemoveRows(QModelIndex(), int(first), int(first) + goneCount - 1);
        m_rows.remove(first, goneCount);
        if (!m_keys.empty())
            m_keys.erase(m_keys.begin() + first, m_keys.begin() + first + goneCount);
        endRemoveRows();
        return;
    }

    // Scattered rows: one compaction and one layout change instead of a
    // removal signal per row, each of which would shift the whole list.
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    std::vector<int> oldToNew(static_cast<size_t>(n), -1);
    QList<QueueRow> kept;
    kept.reserve(n - goneCount);
    std::vector<QCollatorSortKey> keptKeys;
    const bool withKeys = !m_keys.empty();
    if (withKeys)
        keptKeys.reserve(size_t(n - goneCount));
    for (int p = 0; p < n; ++p) {
        if (gone[p])
            continue;
        oldToNew[p] = int(kept.size());
        kept.append(std::move(m_rows[p]));
        if (withKeys)
            keptKeys.push_back(std::move(m_keys[p]));
    }
    m_rows = std::move(kept);
    m_keys = std::move(keptKeys);
    remapPersistent(oldToNew);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void QueueModel::clear()
{
    beginResetModel();
    m_rows.clear();
    m_keys.clear();
    endResetModel();
}

void QueueModel::reorder(const std::vector<int>& newOrder)
{
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const int n = int(m_rows.size());
    std::vector<int> oldToNew(static_cast<size_t>(n));
    QList<QueueRow> rows;
    rows.reserve(n);
    std::vector<QCollatorSortKey> keys;
    const bool withKeys = !m_keys.empty();
    if (withKeys)
        keys.reserve(size_t(n));
    for (int p = 0; p < n; ++p) {
        const int old = newOrder[p];
        oldToNew[old] = p;
        rows.append(std::move(m_rows[old]));
        if (withKeys)
            keys.push_back(std::move(m_keys[old]));
    }
    m_rows = std::move(rows);
    m_keys = std::move(keys);
    remapPersistent(oldToNew);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

// Calls fn(first, last) for each run of consecutive positions (sorted, unique).
template <typename Fn> static void forEachRun(const QList<int>& positions, Fn fn)
{
    for (qsizetype i = 0; i < positions.size();) {
        const int first = positions[i];
        int last = first;
        while (i + 1 < positions.size() && positions[i + 1] == last + 1) {
            ++i;
            ++last;
        }
        ++i;
        fn(first, last);
    }
}

bool QueueModel::moveUp(QList<int> positions)
{
    setSortedOff();
    positions = normalized(std::move(positions), count());
    if (positions.isEmpty())
        return true;
    if (positions.front() == 0)
        return false;
    const int n = count();
    std::vector<int> order(static_cast<size_t>(n));
    std::iota(order.begin(), order.end(), 0);
    // Each run [s..e] moves up by one; the row above it (s-1) lands at e.
    forEachRun(positions, [&](int s, int e) {
        for (int p = s - 1; p < e; ++p)
            order[p] = p + 1;
        order[e] = s - 1;
    });
    reorder(order);
    return true;
}

bool QueueModel::moveDown(QList<int> positions)
{
    setSortedOff();
    positions = normalized(std::move(positions), count());
    if (positions.isEmpty())
        return true;
    const int n = count();
    if (positions.back() == n - 1)
        return false;
    std::vector<int> order(static_cast<size_t>(n));
    std::iota(order.begin(), order.end(), 0);
    // Each run [s..e] moves down by one; the row below it (e+1) lands at s.
    forEachRun(positions, [&](int s, int e) {
        order[s] = e + 1;
        for (int p = s + 1; p <= e + 1; ++p)
            order[p] = p - 1;
    });
    reorder(order);
    return true;
}

void QueueModel::setSortedOff()
{
    m_sorted = false;
    m_keys.clear();
    m_keys.shrink_to_fit();
}

void QueueModel::sortByColumn(int column)
{
    if (column < ColName || column > ColSize)
        return;
    m_sortKey = column;
    m_sorted = true;
    m_keys = keysFor(m_rows, column);
    const int n = count();
    std::vector<int> order(static_cast<size_t>(n));
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return m_keys[a].compare(m_keys[b]) < 0; });
    reorder(order);
}
