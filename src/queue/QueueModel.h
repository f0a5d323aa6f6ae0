#pragma once

#include <QAbstractTableModel>
#include <QList>
#include <QSet>
#include <QString>

/// One queued file: three texts as shown, plus an id that tells rows apart
/// (the same file may be queued twice).
struct QueueRow
{
    QString name;   // "Filename": the file's name without folder
    QString folder; // "Location": the folder, always ending in "/"
    QString size;   // "Filesize (in MB)": size when added, "0.00" in the user's locale
    quint64 id = 0; // assigned by the model; unique for the model's life

    QString fullPath() const { return folder + name; }
};

/// The join queue: rows in display order, which is the join order.
///
/// While sorting is on the rows are kept in ascending order of the sort
/// column (numeric-aware, case-insensitive, user's locale) and new rows take
/// their place in that order; while it is off new rows go to the end.
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
    /// at the end otherwise.
    void append(QList<QueueRow> rows);

    /// Removes the rows at the given 0-based positions, in one pass.
    void removePositions(QList<int> positions);

    /// Removes every row whose id is in `ids`.
    void removeIds(const QSet<quint64>& ids);

    /// Removes all rows. The sort mode stays.
    void clear();

    bool isSorted() const { return m_sorted; }
    int sortKey() const { return m_sortKey; }
    /// Turns sorting off; the order stays as it is.
    void setSortedOff() { m_sorted = false; }
    /// Turns sorting on for `column` and reorders the rows at once.
    void sortByColumn(int column);

private:
    void sortRows();

    QList<QueueRow> m_rows;
    quint64 m_nextId = 1;
    bool m_sorted = true;
    int m_sortKey = ColName;
};
