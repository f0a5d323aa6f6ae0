#pragma once

#include "core/queue/QueueRow.h"

#include <QAbstractTableModel>
#include <QCollatorSortKey>
#include <QList>
#include <QSet>
#include <QString>
#include <vector>

/// The join queue: rows in display order, which is the join order.
///
/// While sorting is on the rows are kept in ascending order of the sort
/// column (numeric-aware, case-insensitive, user's locale) and new rows take
/// their place in that order, after rows that compare equal; while it is off
/// new rows go to the end.
///
/// Every bulk change (adding in sort order, removing many rows, moving,
/// sorting) is one layout change whose cost is linear in the number of rows
/// (plus a sort), and it keeps persistent indexes, so a view's selection and
/// current row follow their rows.
class QueueModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Column { ColName = 0, ColFolder = 1, ColSize = 2 };

    explicit QueueModel(QObject* parent = nullptr);
    ~QueueModel() override;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    int count() const { return int(m_rows.size()); }
    const QueueRow& at(int position) const { return m_rows.at(position); } // 0-based
    const QList<QueueRow>& rows() const { return m_rows; }

    /// Adds rows (ids are assigned here), in sort order while sorting is on,
    /// at the end otherwise. Rows given together keep their order among
    /// themselves when they compare equal.
    void append(QList<QueueRow> rows);

    /// Removes the rows at the given 0-based positions, in one pass.
    /// Positions out of range and repeats are ignored.
    void removePositions(QList<int> positions);

    /// Removes every row whose id is in `ids`.
    void removeIds(const QSet<quint64>& ids);

    /// Removes all rows. The sort mode stays.
    void clear();

    /// Moves each run of consecutive rows among `positions` (0-based) one
    /// place up: the row just above a run goes to just below it. Returns
    /// false and changes nothing when row 0 is among them. Either way sorting
    /// is off afterwards: the order is the user's from now on.
    bool moveUp(QList<int> positions);

    /// The mirror of moveUp: the row just below each run goes to just above
    /// it. Returns false and changes nothing when the last row is among them.
    bool moveDown(QList<int> positions);

    /// Turns sorting off; the order stays as it is.
    void setSortedOff();
    /// Turns sorting on for `column` and reorders the rows at once.
    void sortByColumn(int column);

private:
    /// Keeps rows whose `gone` flag is 0, in order.
    void removeMarked(const std::vector<char>& gone, int goneCount);
    /// Applies a new order given as newOrder[newPosition] = oldPosition.
    void reorder(const std::vector<int>& newOrder);
    /// Moves persistent indexes: oldToNew[oldRow] is the new row or -1.
    void remapPersistent(const std::vector<int>& oldToNew);
    static QList<int> normalized(QList<int> positions, int count);
    static const QString& columnText(const QueueRow& row, int column);
    std::vector<QCollatorSortKey> keysFor(const QList<QueueRow>& rows, int column) const;

    QList<QueueRow> m_rows;
    // Sort keys of m_rows for the sort column, parallel to m_rows; kept only
    // while sorting is on.
    std::vector<QCollatorSortKey> m_keys;
    quint64 m_nextId = 1;
    bool m_sorted = true;
    int m_sortKey = ColName;
};
