#pragma once

#include <QByteArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>
#include <cstdint>
#include <functional>

// Runs a program to its end and keeps what it printed.
struct ToolRun {
  int exitCode = -1;
  QByteArray out;
  QByteArray err;
};

// inChild runs in the child before it starts the program (limits for it, say).
inline ToolRun RunProgram(const QString& program, const QStringList& args,
                          const std::function<void()>& inChild = {}) {
  QProcess p;
  if (inChild) p.setChildProcessModifier(inChild);
  p.start(program, args);
  ToolRun r;
  if (!p.waitForFinished(30000)) {
    p.kill();
    p.waitForFinished();
    return r;
  }
  r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
  r.out = p.readAllStandardOutput();
  r.err = p.readAllStandardError();
  return r;
}

inline ToolRun RunTool(const QStringList& args, const std::function<void()>& inChild = {}) {
  return RunProgram(LUMETRA_TOOL, args, inChild);
}

// What a command printed, read as one JSON object.
inline QJsonObject Json(const ToolRun& r) {
  return QJsonDocument::fromJson(r.out).object();
}

inline QString Ffmpeg() {
  return QStandardPaths::findExecutable(QStringLiteral("ffmpeg"));
}

// CRC-32 bit by bit: a reference independent of the tool's table-driven one.
inline std::uint32_t BitwiseCrc32(const QByteArray& bytes) {
  std::uint32_t c = 0xFFFFFFFFu;
  for (char b : bytes) {
    c ^= std::uint8_t(b);
    for (int k = 0; k < 8; ++k) c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1)));
  }
  return ~c;
}
