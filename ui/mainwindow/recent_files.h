#pragma once
// The four most recently opened survey files, kept in the user's settings.

#include <QSettings>
#include <QStringList>

#include <memory>

class RecentFiles {
public:
    static constexpr int kMaxEntries = 4;

    // An empty settings path means the user's own settings of the program.
    explicit RecentFiles(const QString& settingsPath = {});

    QStringList list() const;
    void Add(const QString& path);
    void Remove(const QString& path);

private:
    void Store(const QStringList& paths);
    std::unique_ptr<QSettings> settings_;
};
