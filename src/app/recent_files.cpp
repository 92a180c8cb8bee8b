#include "app/recent_files.h"

#include <QFileInfo>

namespace {

// Two spellings of one file (relative, with "..") count as the same entry.
QString CanonicalKey(const QString& path) {
    return QFileInfo(path).absoluteFilePath();
}

}  // namespace

void CRecentFileList::Add(const QString& path) {
    if (path.isEmpty()) {
        return;
    }
    Remove(path);
    entries_.prepend(CanonicalKey(path));
    while (entries_.size() > kMaxEntries) {
        entries_.removeLast();
    }
}

void CRecentFileList::Remove(const QString& path) {
    const QString key = CanonicalKey(path);
    entries_.removeIf([&](const QString& entry) { return CanonicalKey(entry) == key; });
}

void CRecentFileList::SetEntries(const QStringList& entries) {
    entries_.clear();
    for (auto it = entries.crbegin(); it != entries.crend(); ++it) {
        Add(*it);
    }
}
