// The rows of the file view: a table model over the shown entries with the columns Name,
// Size, Type and Modified, shared by the details view and the icon and list views.
//
// Type texts (the MIME type's description) and icons (from the icon theme for the MIME type,
// with embedded fallbacks) are looked up only when a view asks for a row, once per row: a
// folder of 100,000 files lists without a single MIME look-up.
#pragma once

#include <QAbstractTableModel>
#include <QHash>
#include <QIcon>
#include <QMimeDatabase>
#include <QString>
#include <string>
#include <vector>

#include "fileview/file_entries.h"

namespace vok::fileview {

class FileViewModel final : public QAbstractTableModel {
 public:
  enum Column { kNameColumn = 0, kSizeColumn, kTypeColumn, kModifiedColumn, kColumnCount };

  explicit FileViewModel(QObject* parent = nullptr);

  // Replaces every row (a model reset). `folder` is the shown folder with its trailing "/".
  void SetEntries(std::vector<FileEntry> entries, std::string folder);
  // Reorders the rows by `order` (a layout change: selection and current row follow their
  // entries).
  void Sort(const EntryOrder& order);
  // Gives row `row` a new name (after the entry was renamed on disk); its type and icon are
  // looked up anew.
  void RenameEntry(int row, std::string name);

  int EntryCount() const { return static_cast<int>(rows_.size()); }
  // `row` must be in range.
  const FileEntry& Entry(int row) const { return rows_[row].entry; }
  // The file-system path of row `row`: the folder and the name; a drive's mount point.
  std::string PathOf(int row) const;
  const std::string& Folder() const { return folder_; }

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;
  // Names of files and folders can be edited in place.
  Qt::ItemFlags flags(const QModelIndex& index) const override;

 private:
  struct Row {
    FileEntry entry;
    // Filled on first request.
    mutable QString type;
    mutable QIcon icon;
    mutable bool typeKnown = false;
    mutable bool iconKnown = false;
  };

  QMimeType MimeTypeOf(const Row& row) const;
  const QString& TypeText(const Row& row) const;
  const QIcon& Icon(const Row& row) const;
  QString ModifiedText(const FileEntry& entry) const;

  std::vector<Row> rows_;
  std::string folder_;
  QMimeDatabase mimeTypes_;
  QString timeFormat_;
  // Theme icons by MIME type name: one theme look-up per type, not per row.
  mutable QHash<QString, QIcon> iconsByType_;
};

}  // namespace vok::fileview
