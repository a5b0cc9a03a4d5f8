#pragma once

#include <QAbstractListModel>
#include <QItemSelectionModel>
#include <QString>
#include <QStringList>

namespace tolvex {

/// The pages of this run, kept side by side under one 0-based index: line i of `List1`
/// (the list entry), slot i of `MessageTexts` (the text) and slot i of `MessageHosts`
/// (the peer's address). Pages are only appended. There is no capacity limit: every page
/// keeps its text and its address, however many arrive.
///
/// Storing a page is four writes that each arrival path makes in its own order:
/// storeText(), storeHost(), appendLine() and raiseCount(). When all four have run,
/// lineCount() == MessageCount() and slot MessageCount()-1 holds the new page.
///
/// The store is also the model that the main window's list view shows, and owns the
/// selection of that list, so the handlers need no widget to read or move it.
class MessageStore : public QAbstractListModel
{
    Q_OBJECT

public:
    explicit MessageStore(QObject *parent = nullptr);

    /// The number of pages stored, and the index the next page is stored under.
    qsizetype MessageCount() const { return count; }

    /// Store the text of the page being stored, in slot MessageCount().
    void storeText(const QString &text);
    /// Store the peer's address of the page being stored, in slot MessageCount().
    void storeHost(const QString &host);
    /// Append a line at the end of `List1`.
    void appendLine(const QString &entry);
    /// Raise MessageCount() by one: the page being stored is complete.
    void raiseCount();

    /// Number of lines of `List1`.
    qsizetype lineCount() const { return lines.size(); }
    /// Text of line i of `List1`; empty for an index that names no line.
    QString line(qsizetype i) const;
    /// Slot i of `MessageTexts`; empty for a slot that holds no page.
    QString text(qsizetype i) const;
    /// Slot i of `MessageHosts`; empty for a slot that holds no page.
    QString host(qsizetype i) const;

    /// Index of the selected line of `List1`, or -1 when no line is selected.
    qsizetype selectedIndex() const;
    /// Make line i the one selected line (the current line too, so the view follows it).
    void select(qsizetype i);
    /// The selection the list view shares with the handlers.
    QItemSelectionModel *selection() { return &selectionModel; }

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

private:
    QStringList lines;
    QStringList MessageTexts;
    QStringList MessageHosts;
    qsizetype count = 0;
    QItemSelectionModel selectionModel;
};

} // namespace tolvex
