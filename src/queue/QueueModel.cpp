#include "queue/QueueModel.h"

#include <QCollator>
#include <QCollatorSortKey>
#include <algorithm>

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
        return QStringLiteral("Filename");
    case ColFolder:
        return QStringLiteral("Location");
    case ColSize:
        return QStringLiteral("Filesize (in MB)");
    default:
        return QVariant();
    }
}

void QueueModel::append(QList<QueueRow> rows)
{
    if (rows.isEmpty())
        return;
    for (QueueRow& r : rows)
        r.id = m_nextId++;
    if (!m_sorted) {
        beginInsertRows(QModelIndex(), int(m_rows.size()), int(m_rows.size() + rows.size() - 1));
        m_rows.append(rows);
        endInsertRows();
        return;
    }
    beginResetModel();
    m_rows.append(rows);
    sortRows();
    endResetModel();
}

void QueueModel::removePositions(QList<int> positions)
{
    if (positions.isEmpty())
        return;
    std::sort(positions.begin(), positions.end());
    positions.erase(std::unique(positions.begin(), positions.end()), positions.end());
    QSet<quint64> ids;
    for (int p : positions)
        if (p >= 0 && p < m_rows.size())
            ids.insert(m_rows.at(p).id);
    removeIds(ids);
}

void QueueModel::removeIds(const QSet<quint64>& ids)
{
    if (ids.isEmpty())
        return;
    beginResetModel();
    m_rows.removeIf([&](const QueueRow& r) { return ids.contains(r.id); });
    endResetModel();
}

void QueueModel::clear()
{
    beginResetModel();
    m_rows.clear();
    endResetModel();
}

void QueueModel::sortByColumn(int column)
{
    m_sortKey = column;
    m_sorted = true;
    emit layoutAboutToBeChanged();
    sortRows();
    emit layoutChanged();
}

void QueueModel::sortRows()
{
    QCollator coll;
    coll.setNumericMode(true);
    coll.setCaseSensitivity(Qt::CaseInsensitive);
    const int key = m_sortKey;
    std::stable_sort(m_rows.begin(), m_rows.end(), [&](const QueueRow& a, const QueueRow& b) {
        const QString& x = key == ColName ? a.name : key == ColFolder ? a.folder : a.size;
        const QString& y = key == ColName ? b.name : key == ColFolder ? b.folder : b.size;
        return coll.compare(x, y) < 0;
    });
}
