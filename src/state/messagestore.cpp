#include "messagestore.h"

namespace tolvex {

namespace {

// Writes slot `index` of a growable slot array, growing it with empty slots as needed.
void putSlot(QStringList &slots, qsizetype index, const QString &value)
{
    if (slots.size() <= index)
        slots.resize(index + 1);
    slots[index] = value;
}

QString slotAt(const QStringList &slots, qsizetype i)
{
    return i >= 0 && i < slots.size() ? slots.at(i) : QString();
}

} // namespace

MessageStore::MessageStore(QObject *parent)
    : QAbstractListModel(parent)
    , selectionModel(this)
{
}

void MessageStore::storeText(const QString &text)
{
    putSlot(MessageTexts, count, text);
}

void MessageStore::storeHost(const QString &host)
{
    putSlot(MessageHosts, count, host);
}

void MessageStore::appendLine(const QString &entry)
{
    const int row = int(lines.size());
    beginInsertRows({}, row, row);
    lines.append(entry);
    endInsertRows();
}

void MessageStore::raiseCount()
{
    ++count;
}

QString MessageStore::line(qsizetype i) const
{
    return slotAt(lines, i);
}

QString MessageStore::text(qsizetype i) const
{
    return slotAt(MessageTexts, i);
}

QString MessageStore::host(qsizetype i) const
{
    return slotAt(MessageHosts, i);
}

qsizetype MessageStore::selectedIndex() const
{
    const QModelIndexList rows = selectionModel.selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void MessageStore::select(qsizetype i)
{
    if (i < 0 || i >= lines.size())
        return;
    selectionModel.setCurrentIndex(index(int(i)), QItemSelectionModel::ClearAndSelect);
}

int MessageStore::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(lines.size());
}

QVariant MessageStore::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= lines.size())
        return {};
    return lines.at(index.row());
}

} // namespace tolvex
