#include "views/EListModel.h"

#include "platform/host/HostServices.h"

namespace {

struct Column {
  const char* title;
  int width;
  bool right;
};

constexpr Column kColumns[kEListColumnCount] = {{"Tick", 50, true},    {"Ch", 35, true},
                                                {"Type", 150, false},  {"Value 1", 55, false},
                                                {"Value 2", 55, false}, {"Value 3", 55, false}};

}  // namespace

EListContext MakeEListContext(const CKZ1Doc& doc, SongTabKind tab, int channel) {
  const platform::IAppSettings& settings = platform::settings();
  EListContext c;
  c.tab = tab;
  c.channel = channel;
  c.chipMode = settings.GetChipMode();
  c.outputProfile = settings.GetOutputProfile();
  c.originPch = settings.GetOriginPch();
  for (int note = 0; note < 128; ++note) {
    c.slotByNote[static_cast<size_t>(note)] = static_cast<uint8_t>(doc.FindStreamPcmSlotByNote(note));
  }
  return c;
}

std::vector<EListRow> BuildEListRows(const CKZ1Doc& doc, const EListContext& context) {
  const CKZ1Doc::EventList& list =
      context.tab == SongTabKind::StreamPcm ? *doc.GetMidiListPCM() : *doc.GetMidiList();
  std::vector<EListRow> rows;
  rows.reserve(list.size());
  for (const auto& event : list) {
    if (auto row = MakeEListRow(*event, context)) rows.push_back(*row);
  }
  return rows;
}

void EListModel::Reset(std::vector<EListRow> rows, int originNote) {
  beginResetModel();
  m_rows = std::move(rows);
  m_originNote = originNote;
  m_formatted = 0;
  endResetModel();
}

int EListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int EListModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kEListColumnCount; }

QVariant EListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount() || index.column() >= kEListColumnCount) return {};
  if (role == Qt::DisplayRole) {
    ++m_formatted;
    return QString::fromStdString(EListRowText(m_rows[static_cast<size_t>(index.row())], index.column(), m_originNote));
  }
  if (role == Qt::TextAlignmentRole) {
    const Qt::Alignment align = kColumns[index.column()].right ? Qt::AlignRight : Qt::AlignLeft;
    return QVariant::fromValue(align | Qt::AlignVCenter);
  }
  if (role == Qt::UserRole) {
    return QVariant::fromValue(reinterpret_cast<quintptr>(m_rows[static_cast<size_t>(index.row())].event));
  }
  return {};
}

QVariant EListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section >= kEListColumnCount) return {};
  if (role == Qt::DisplayRole) return QString::fromLatin1(kColumns[section].title);
  if (role == Qt::TextAlignmentRole) {
    const Qt::Alignment align = kColumns[section].right ? Qt::AlignRight : Qt::AlignLeft;
    return QVariant::fromValue(align | Qt::AlignVCenter);
  }
  return {};
}

const char* EListModel::ColumnTitle(int column) {
  return column >= 0 && column < kEListColumnCount ? kColumns[column].title : "";
}

int EListModel::ColumnWidth(int column) { return column >= 0 && column < kEListColumnCount ? kColumns[column].width : 0; }
