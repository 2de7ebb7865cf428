// The event list's row model: one walk of the song builds the rows, texts are made on demand.
#pragma once

#include <QAbstractTableModel>
#include <vector>

#include "song/document/KZ1Doc.h"
#include "views/EListRow.h"

/// The context of a tab of the song's document: chip mode, profile and "OriginPch" from the
/// application, the stream-PCM keys from the document's own table.
EListContext MakeEListContext(const CKZ1Doc& doc, SongTabKind tab, int channel);

/// The rows of the event list that holds the tab's events (the stream-PCM list or the song's).
std::vector<EListRow> BuildEListRows(const CKZ1Doc& doc, const EListContext& context);

class EListModel : public QAbstractTableModel {
 public:
  explicit EListModel(QObject* parent = nullptr) : QAbstractTableModel(parent) {}

  /// Replaces every row in one reset.
  void Reset(std::vector<EListRow> rows, int originNote);
  void Clear() { Reset({}, m_originNote); }
  const std::vector<EListRow>& Rows() const { return m_rows; }
  /// How many cell texts were made since the last reset: only rows that are shown ask.
  long long FormattedCount() const { return m_formatted; }

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  /// Header text and width in pixels of a column.
  static const char* ColumnTitle(int column);
  static int ColumnWidth(int column);

 private:
  std::vector<EListRow> m_rows;
  int m_originNote = 0;
  mutable long long m_formatted = 0;
};
