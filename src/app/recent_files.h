// Most-recently-used record files of the File menu, newest first.
#pragma once

#include <QString>
#include <QStringList>

class CRecentFileList {
  public:
    static constexpr int kMaxEntries = 4;

    // Puts the path at the front; an entry naming the same file moves instead of repeating.
    void Add(const QString& path);
    // Drops a path that could not be opened, so the menu stops offering it.
    void Remove(const QString& path);
    void SetEntries(const QStringList& entries);
    const QStringList& Entries() const { return entries_; }

  private:
    QStringList entries_;
};
