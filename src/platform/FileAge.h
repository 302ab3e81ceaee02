#pragma once

#include <QString>
#include <cstdint>

// A file's modification stamp as a 32-bit value (seconds since 1970); -1 when the file does
// not exist. Only equality matters to callers: it tells whether a file changed.
std::int32_t FileAge(const QString& path);
