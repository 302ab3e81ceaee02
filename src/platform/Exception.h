#pragma once

#include <QString>
#include <stdexcept>

// The general error of the system: an English message that the top-level handler shows in a
// message box before the program goes on.
class Exception : public std::runtime_error {
 public:
  explicit Exception(const QString& message) : std::runtime_error(message.toStdString()) {}
  explicit Exception(const char* message) : std::runtime_error(message) {}
  QString message() const { return QString::fromStdString(what()); }
};
