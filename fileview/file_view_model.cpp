#include "fileview/file_view_model.h"

#include <QDateTime>
#include <QFile>
#include <QLocale>
#include <QRegularExpression>

#include "fileview/dialog_support.h"
#include "fileview/resources/fileview_strings.h"

// The embedded fallback icons live in this library's static part; referencing the resource's
// initialiser keeps the linker from dropping it.
static void InitFileViewIcons() { Q_INIT_RESOURCE(fileview_icons); }

namespace vok::fileview {
namespace {

QIcon Embedded(const char* name) {
  return QIcon(QStringLiteral(":/vokFileView/") + QLatin1String(name));
}

// The user's short time format without seconds.
QString TimeFormatWithoutSeconds(const QLocale& locale) {
  QString format = locale.timeFormat(QLocale::ShortFormat);
  format.remove(QRegularExpression(QStringLiteral("[:.,]?s+")));
  return format;
}

}  // namespace

FileViewModel::FileViewModel(QObject* parent)
    : QAbstractTableModel(parent), timeFormat_(TimeFormatWithoutSeconds(QLocale())) {
  InitFileViewIcons();
}

void FileViewModel::SetEntries(std::vector<FileEntry> entries, std::string folder) {
  beginResetModel();
  rows_.clear();
  rows_.reserve(entries.size());
  for (FileEntry& entry : entries) rows_.emplace_back().entry = std::move(entry);
  folder_ = std::move(folder);
  endResetModel();
}

void FileViewModel::Sort(const EntryOrder& order) {
  emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
  std::vector<const FileEntry*> entries;
  entries.reserve(rows_.size());
  for (const Row& row : rows_) entries.push_back(&row.entry);
  const std::vector<int> sorted = SortedOrder(entries, order);
  std::vector<int> newRowOf(rows_.size());
  std::vector<Row> reordered;
  reordered.reserve(rows_.size());
  for (int row : sorted) {
    newRowOf[row] = static_cast<int>(reordered.size());
    reordered.push_back(std::move(rows_[row]));
  }
  rows_ = std::move(reordered);
  const QModelIndexList before = persistentIndexList();
  QModelIndexList after;
  after.reserve(before.size());
  for (const QModelIndex& index : before)
    after.push_back(createIndex(newRowOf[index.row()], index.column()));
  changePersistentIndexList(before, after);
  emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void FileViewModel::RenameEntry(int row, std::string name) {
  Row& changed = rows_[row];
  changed.entry.name = std::move(name);
  changed.typeKnown = changed.iconKnown = false;
  emit dataChanged(index(row, 0), index(row, kColumnCount - 1));
}

std::string FileViewModel::PathOf(int row) const {
  const FileEntry& entry = rows_[row].entry;
  return entry.type == EntryType::kDrive ? entry.name : folder_ + entry.name;
}

int FileViewModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : EntryCount();
}

int FileViewModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kColumnCount;
}

QMimeType FileViewModel::MimeTypeOf(const Row& row) const {
  switch (row.entry.type) {
    case EntryType::kFolder:
      return mimeTypes_.mimeTypeForName(QStringLiteral("inode/directory"));
    case EntryType::kDrive: {
      QMimeType mount = mimeTypes_.mimeTypeForName(QStringLiteral("inode/mount-point"));
      return mount.isValid() ? mount
                             : mimeTypes_.mimeTypeForName(QStringLiteral("inode/directory"));
    }
    case EntryType::kFile:
      return mimeTypes_.mimeTypeForFile(QFile::decodeName((folder_ + row.entry.name).c_str()));
    case EntryType::kUp:
      break;
  }
  return QMimeType();
}

const QString& FileViewModel::TypeText(const Row& row) const {
  if (!row.typeKnown) {
    row.typeKnown = true;
    if (row.entry.type != EntryType::kUp) {
      QMimeType type = MimeTypeOf(row);
      row.type = type.isValid() && !type.comment().isEmpty() ? type.comment() : UiText(kIdsUnknown);
    }
  }
  return row.type;
}

const QIcon& FileViewModel::Icon(const Row& row) const {
  if (row.iconKnown) return row.icon;
  row.iconKnown = true;
  switch (row.entry.type) {
    case EntryType::kUp:
      row.icon = QIcon::fromTheme(QStringLiteral("go-up"), Embedded("up.xpm"));
      return row.icon;
    case EntryType::kDrive:
      row.icon = QIcon::fromTheme(QStringLiteral("drive-harddisk"), Embedded("drive.xpm"));
      return row.icon;
    default:
      break;
  }
  QMimeType type = MimeTypeOf(row);
  auto cached = iconsByType_.constFind(type.name());
  if (cached != iconsByType_.constEnd()) {
    row.icon = *cached;
    return row.icon;
  }
  QIcon fallback = Embedded(row.entry.type == EntryType::kFolder ? "folder.xpm" : "file.xpm");
  QIcon icon =
      QIcon::fromTheme(type.iconName(), QIcon::fromTheme(type.genericIconName(), fallback));
  iconsByType_.insert(type.name(), icon);
  row.icon = icon;
  return row.icon;
}

QString FileViewModel::ModifiedText(const FileEntry& entry) const {
  if (entry.type != EntryType::kFile && entry.type != EntryType::kFolder) return {};
  const QDateTime when = QDateTime::fromMSecsSinceEpoch(entry.modified / 1000000);
  const QLocale locale;
  return locale.toString(when.date(), QLocale::ShortFormat) + QLatin1Char(' ') +
         locale.toString(when.time(), timeFormat_);
}

QVariant FileViewModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= EntryCount()) return {};
  const Row& row = rows_[index.row()];
  switch (role) {
    case Qt::DisplayRole:
      switch (index.column()) {
        case kNameColumn:
          return QString::fromUtf8(row.entry.name);
        case kSizeColumn:
          return QString::fromStdString(SizeText(row.entry));
        case kTypeColumn:
          return TypeText(row);
        case kModifiedColumn:
          return ModifiedText(row.entry);
      }
      break;
    case Qt::EditRole:
      if (index.column() == kNameColumn) return QString::fromUtf8(row.entry.name);
      break;
    case Qt::DecorationRole:
      if (index.column() == kNameColumn) return Icon(row);
      break;
    case Qt::TextAlignmentRole:
      if (index.column() == kSizeColumn) return QVariant(Qt::AlignRight | Qt::AlignVCenter);
      break;
  }
  return {};
}

QVariant FileViewModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal) return {};
  if (role == Qt::DisplayRole) {
    static constexpr UINT kTitles[kColumnCount] = {kIdsColumnName, kIdsColumnSize, kIdsColumnType,
                                                   kIdsColumnModified};
    if (section >= 0 && section < kColumnCount) return UiText(kTitles[section]);
  } else if (role == Qt::TextAlignmentRole && section == kSizeColumn) {
    return QVariant(Qt::AlignRight | Qt::AlignVCenter);
  }
  return {};
}

Qt::ItemFlags FileViewModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  Qt::ItemFlags flags = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
  const EntryType type = rows_[index.row()].entry.type;
  if (index.column() == kNameColumn && (type == EntryType::kFile || type == EntryType::kFolder))
    flags |= Qt::ItemIsEditable;
  return flags;
}

}  // namespace vok::fileview
