#pragma once

// What a path names, found without opening it. Opening a FIFO waits for a writer and opening
// a device may do anything, so a path a user gives is looked at before it is opened. stat
// follows symbolic links: a link to a clip is a clip.
//
// The kind test is inline and free of Qt so that the FFmpeg layer can use it without linking
// this library.
#include <sys/stat.h>

#include <cerrno>

class QString;

enum class TPathKind { Regular, Missing, Directory, Fifo, Device, Socket, Inaccessible };

inline TPathKind PathKind(const char* path) {
  struct stat st {};
  if (::stat(path, &st) != 0)
    return errno == ENOENT || errno == ENOTDIR ? TPathKind::Missing : TPathKind::Inaccessible;
  if (S_ISREG(st.st_mode)) return TPathKind::Regular;
  if (S_ISDIR(st.st_mode)) return TPathKind::Directory;
  if (S_ISFIFO(st.st_mode)) return TPathKind::Fifo;
  if (S_ISSOCK(st.st_mode)) return TPathKind::Socket;
  return TPathKind::Device;
}

inline bool IsRegularFile(const char* path) {
  return path && PathKind(path) == TPathKind::Regular;
}

// Why a path of this kind cannot be opened as a file, in words for a message ("no such file",
// "a folder", ...); empty for a regular file.
const char* PathKindText(TPathKind kind);
// The same for a path; empty when it names a regular file.
QString NotRegularFileReason(const QString& path);
// Raises Exception "Cannot open file "<absolute path>". <reason>" when the path names a folder,
// FIFO, device or socket. A missing or inaccessible path is left to the open, which reports it
// in the system's words.
void RefuseSpecialFile(const QString& path);
