#include "ui/mainwindow/recent_files.h"

#include <QFileInfo>

namespace {
constexpr char kKey[] = "RecentFiles/paths";
}

RecentFiles::RecentFiles(const QString& settingsPath)
    : settings_(settingsPath.isEmpty() ? std::make_unique<QSettings>("Sondara", "Sondara")
                                       : std::make_unique<QSettings>(settingsPath, QSettings::IniFormat)) {}

QStringList RecentFiles::list() const { return settings_->value(kKey).toStringList().mid(0, kMaxEntries); }

void RecentFiles::Add(const QString& path) {
    const QString absolute = QFileInfo(path).absoluteFilePath();
    QStringList paths = list();
    paths.removeAll(absolute);
    paths.prepend(absolute);
    Store(paths.mid(0, kMaxEntries));
}

void RecentFiles::Remove(const QString& path) {
    QStringList paths = list();
    paths.removeAll(path);
    Store(paths);
}

void RecentFiles::Store(const QStringList& paths) {
    settings_->setValue(kKey, paths);
    settings_->sync();
}
