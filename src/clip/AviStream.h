#pragma once

#include <QString>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "clip/ClipTypes.h"
#include "clip/OwnStream.h"
#include "platform/avifile/AviFile.h"

class QWidget;
class TRegIniFile;
class TSaveJob;

// The clip stream: the one path by which the system touches a clip file (its video stream,
// stream information, decompressed frames, chunks and compression options). Owned by the
// display window. Threads: every call is made on the user-interface thread, except Scatter and
// the frame calls it makes (GetFrameOpen, GetFrame, GetFrameClose on a getter of its own), which
// run on a scatter thread, and the own interface's entries, which a save thread calls; the frame
// calls touch no shared state but Width and Height (under a lock), and the reference count is
// atomic. OnProgress is called on the user-interface thread (the threads marshal it).
// Until Open succeeds the current stream is the object's own interface, a synthetic source
// whose frames come from ReadFrame; after Close no stream is current until the next Open.
class TAVISTREAM {
 public:
  // Status values of ReadFrame; any other non-zero status is a read failure.
  static constexpr int kFrameRead = 0;
  static constexpr int kFrameCancel = 3;
  static constexpr int kFrameEndOfData = 8;

  // percent 0..100, or -1 when a frame source cancelled; a non-zero result asks to cancel.
  using TProgressEvent = std::function<int(int percent)>;
  using TDoneEvent = std::function<void(TAVISTREAM* stream, HRESULT result)>;
  // The scatter's progress hook: percent 0..100; a non-zero answer stops the scatter.
  using TScatterCallback = int (*)(void* data, int percent);

  // typeName: registry section of the compression options ("AVI", "Motion Analysis Video").
  explicit TAVISTREAM(const QString& typeName);
  virtual ~TAVISTREAM();
  TAVISTREAM(const TAVISTREAM&) = delete;
  TAVISTREAM& operator=(const TAVISTREAM&) = delete;

  // Opens the file's first video stream with the standard AVI handler, whatever the name's
  // extension; raises "Stream Open Failed" when the file cannot be opened, and a message
  // naming the size when the stream's frames exceed the AVI library's bound (kMaxFramePixels);
  // both leave the stream unopened. A file without a video stream leaves the stream unopened.
  // Does nothing when already opened.
  void Open(const QString& fileName);
  void Close();
  bool Opened() const { return opened_; }
  // The information of the opened stream; false when not opened.
  bool GetInfo(AVISTREAMINFOA& info);
  // A top-level chunk of FileName, read through a fresh open; size in: buffer size, out: bytes.
  bool ReadData(FOURCC code, void* buffer, LONG& size);
  // Writes a top-level chunk of FileName in place or appended (see TRIFF::WriteChunk); the
  // stream must be closed. Raises when the file cannot be opened.
  bool WriteChunk(FOURCC code, const void* buffer, LONG size);
  bool GetFrameOpen(PGETFRAME& getter);
  // The packed DIB of a frame, owned by the getter and valid until its next fetch or close;
  // totalSize is its size in bytes. Called on the thread that created the stream, it sets
  // Width and Height from the frame; other threads (a scatter) leave them alone, so that the
  // window reading them never races a worker.
  bool GetFrame(PGETFRAME getter, int frame, int& totalSize, const BITMAPINFOHEADER*& bitmap);
  void GetFrameClose(PGETFRAME getter);
  // The length from the stream information (at most INT_MAX); 0 when there is none.
  int GetFrameCount();

  int TypeCount() const { return types_.Count(); }
  QString TypeDescription(int typeIndex) const { return types_.Description(typeIndex); }
  QString TypeFilter(int typeIndex) const { return types_.Filter(typeIndex); }
  QString TypeExtension(int typeIndex) const { return types_.Extension(typeIndex); }
  QString TypeNamePattern(int typeIndex) const { return types_.NamePattern(typeIndex); }
  static bool IsVideoType(int typeIndex) { return TClipTypes::IsVideoType(typeIndex); }
  // The name part of FileName, after the last "/".
  QString FileNamePart() const;

  // Reads the options from section TypeName, or from "Codec" when that section is missing.
  // A null registry does nothing.
  void LoadOptions(const TRegIniFile* reg);
  // Writes the options to section TypeName (never "Codec"). A null registry does nothing.
  void SaveOptions(TRegIniFile* reg) const;
  AVICOMPRESSOPTIONS& CompressOptions() { return compressOptions_; }
  // The options dialog of the AVI library for the current stream (key frame, data rate,
  // preview). False when the user cancels; else sets OptionsOK.
  bool CompressionOptionsDialog(QWidget* owner);

  // Starts saving the clip as type typeIndex (1-based row of the type table) to targetName. A
  // video type asks for options first when OptionsOK is false; cancelled, OnDone gets
  // AVIERR_USERABORT at once. Otherwise sets Busy and starts a save or scatter thread; its end
  // clears Busy and calls OnDone on the user-interface thread.
  void Save(QWidget* owner, int typeIndex, const QString& targetName);
  // Writes every frame into the directory `target` (types 3 to 6, created with missing parents,
  // files named by the type's pattern) or into an AMF file (type 7), through a frame getter of
  // its own; runs on the scatter thread. Before frame n it calls callback (data, (n + 1) x 100
  // / frames). Result: AVIERR_OK when every frame was written; the callback's non-zero answer
  // when it stopped the scatter; AVIERR_NODATA when the clip has no frames (nothing written,
  // the callback not called) or its first frame cannot be had; AVIERR_FILEWRITE when a file
  // cannot be written; AVIERR_BADPARAM for a type that is not a scatter type. Raises the AMF
  // messages ("AMF Helper ScatterAMF.dll or a Sub-Library Missing", "OpenAMF failed for file
  // " + target).
  HRESULT Scatter(const QString& target, int typeIndex, TScatterCallback callback, void* data);
  // The save or scatter thread's end, on the user-interface thread: clears Busy, calls OnDone.
  void ThreadDone(HRESULT result);

  // The interface that frame and save calls use: the own interface, the file's video stream
  // once opened, null after Close.
  PAVISTREAM CurrentStream() const { return currentStream_; }
  PAVISTREAM OwnInterface() { return &ownInterface_; }
  LONG RefCount() const { return refCount_.load(); }
  bool EndOfData() const { return endOfData_; }

  QString FileName;
  QString TypeName;
  int FrameCount = 0;
  int Height = 0;
  int Width = 0;
  TProgressEvent OnProgress;
  TDoneEvent OnDone;
  bool OptionsOK = false;
  bool Busy = false;
  bool Scattered = false;

 protected:
  // The own interface's entries, in the AVI library's order.
  virtual HRESULT StreamQueryInterface(const GUID& iid, void** object);
  virtual DWORD StreamAddRef();
  virtual DWORD StreamRelease();
  virtual HRESULT StreamCreate(LONG lParam1, LONG lParam2);
  virtual HRESULT StreamInfo(AVISTREAMINFOA* info, LONG size);
  virtual LONG StreamFindSample(LONG position, LONG flags);
  virtual HRESULT StreamReadFormat(LONG position, void* format, LONG* formatSize);
  virtual HRESULT StreamSetFormat(LONG position, void* format, LONG formatSize);
  virtual HRESULT StreamRead(LONG start, LONG samples, void* buffer, LONG bufferSize, LONG* bytes,
                             LONG* samplesRead);
  virtual HRESULT StreamWrite(LONG start, LONG samples, void* buffer, LONG bufferSize, DWORD flags,
                              LONG* samplesWritten, LONG* bytesWritten);
  virtual HRESULT StreamDelete(LONG start, LONG samples);
  virtual HRESULT StreamReadData(FOURCC fcc, void* buffer, LONG* bufferSize);
  virtual HRESULT StreamWriteData(FOURCC fcc, void* buffer, LONG bufferSize);

  // Fills buffer with the rows of a frame of the own interface: 24-bit, Width x Height,
  // bottom-up, rows padded to 4 bytes. Returns a status (kFrameRead, kFrameCancel,
  // kFrameEndOfData). Without a source of frames: black rows and end of data.
  virtual int ReadFrame(int frame, void* buffer);

  // Width and Height as the own interface sees them, from any thread.
  void FrameSize(int& width, int& height) const;
  int BitCount() const { return 24; }
  int PaletteEntries() const { return 0; }
  LONG ImageSize() const;
  static LONG ImageSize(int width, int height);

 private:
  friend class TOwnStream;
  void RefuseOversizedFrames();
  struct StreamReleaser {
    void operator()(IAVIStream* s) const { AVIStreamRelease(s); }
  };

  TOwnStream ownInterface_{*this};
  PAVISTREAM currentStream_ = nullptr;
  std::atomic<LONG> refCount_{0};  // AddRef and Release come from save threads too
  const std::thread::id ownerThread_ = std::this_thread::get_id();
  mutable std::mutex sizeLock_;  // Width and Height: written by the owner, read by save threads
  bool endOfData_ = false;
  std::unique_ptr<TSaveJob> thread_;  // the save or scatter thread last started
  AVICOMPRESSOPTIONS compressOptions_;
  AVICOMPRESSOPTIONS* optionsPointer_ = nullptr;  // the one-element array of the save calls
  TClipTypes types_;
  std::unique_ptr<IAVIStream, StreamReleaser> fileStream_;
  bool opened_ = false;
  QString amfName_;  // OpenAMF's second name: the first AMF target's name part, then kept
};
