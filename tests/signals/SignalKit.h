#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <cstring>
#include <initializer_list>
#include <ostream>
#include <string>

#include "TestSupport.h"

// Readable failures of QString comparisons.
inline void PrintTo(const QString& text, std::ostream* os) {
  *os << '"' << text.toStdString() << '"';
}

namespace signalkit {

using testsupport::Folder;

// Little-endian elements of type T, as a data file holds them.
template <class T>
QByteArray le(std::initializer_list<T> values) {
  QByteArray out;
  for (T v : values) {
    char bytes[sizeof(T)];
    std::memcpy(bytes, &v, sizeof(T));
    out.append(bytes, sizeof(T));
  }
  return out;
}

// A header: the global block holds `global` lines, then one channel block per entry of
// `channels` (each a run of "key,value" lines, CR LF added).
inline QByteArray header(const std::string& global, std::initializer_list<std::string> channels) {
  const auto lines = [](const std::string& text) {
    QByteArray b = QByteArray::fromStdString(text);
    if (!b.isEmpty() && !b.endsWith('\n')) b += '\n';
    return b.replace("\n", "\r\n");
  };
  QByteArray out = "DIAEXTENDED {@:ENGLISH\r\n\r\n#BEGINGLOBALHEADER\r\n" + lines(global) +
                   "#ENDGLOBALHEADER\r\n";
  for (const std::string& c : channels)
    out += "\r\n#BEGINCHANNELHEADER\r\n" + lines(c) + "#ENDCHANNELHEADER\r\n";
  return out;
}

// An implicit time channel in seconds: `count` samples every `step` s from `first` s.
inline std::string timeAxis(int count, const char* first, const char* step) {
  return "200,Time\n202,s\n210,IMPLICIT\n220," + std::to_string(count) + "\n240," + first +
         "\n241," + step;
}

// An explicit channel of `type` in `file` from 1-based `pointer`, scale 1 and offset 0.
inline std::string channel(const char* name, const char* type, const char* file, int count,
                           int pointer = 1) {
  return std::string("200,") + name + "\n202,g\n210,EXPLICIT\n211," + file + "\n214," + type +
         "\n220," + std::to_string(count) + "\n221," + std::to_string(pointer) + "\n240,0\n241,1";
}

}  // namespace signalkit
