#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <string>

namespace lumark {

// File names are bytes on Linux. The program keeps paths as std::string bytes; these two are
// the only crossing to and from Qt, so every place agrees on the encoding. Qt cannot hold bytes
// that are not valid in the file-name encoding: file operations on such a path use the bytes,
// and only display goes through QString.
inline QString PathToQString(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}

inline std::string PathFromQString(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

}  // namespace lumark
