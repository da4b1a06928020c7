#pragma once
// File names between Qt and the layers below it. The file system takes names as bytes
// in the locale's encoding (not always UTF-8: a GBK locale is common on mine office
// machines), so a name goes down encoded as the system wants it and comes back decoded
// the same way.

#include <QFile>
#include <QString>
#include <string>

inline std::string LocalPath(const QString& path) { return QFile::encodeName(path).toStdString(); }

inline QString QtPath(const std::string& path) { return QFile::decodeName(QByteArray::fromStdString(path)); }
