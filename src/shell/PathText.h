#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <string>

#include "PathStyle.h"

namespace lumark {

// File names are bytes on Linux. The program keeps paths as std::string bytes; these two are
// the only crossing to and from Qt, so every place agrees on the encoding. Qt cannot hold bytes
// that are not valid in the file-name encoding: file operations on such a path use the bytes,
// and only display goes through QString. On Windows paths are UTF-8 throughout, as the
// platform layer takes them (Qt's file-name encoding there is the ANSI code page, which cannot
// hold every name), and a path from Qt, which writes "/", gets the backslashes users read.
inline QString PathToQString(const std::string& path) {
    if constexpr (HostPathStyle == PathStyle::Windows) {
        return QString::fromStdString(path);
    }
    return QFile::decodeName(QByteArray::fromStdString(path));
}

inline std::string PathFromQString(const QString& path) {
    if constexpr (HostPathStyle == PathStyle::Windows) {
        return QDir::toNativeSeparators(path).toStdString();
    }
    return QFile::encodeName(path).toStdString();
}

}  // namespace lumark
