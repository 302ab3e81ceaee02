#pragma once

// The AVI library's published types, codes and records, as the rest of the system uses them.
// Layouts match the platform's so that records can be copied byte for byte into files.

#include <cstdint>

using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using LONG = std::int32_t;
using HRESULT = std::int32_t;
using FOURCC = DWORD;

constexpr FOURCC MakeFourCC(char a, char b, char c, char d) {
  return DWORD(BYTE(a)) | (DWORD(BYTE(b)) << 8) | (DWORD(BYTE(c)) << 16) | (DWORD(BYTE(d)) << 24);
}
constexpr FOURCC streamtypeVIDEO = MakeFourCC('v', 'i', 'd', 's');

constexpr HRESULT MakeAviError(int code) {
  return HRESULT(0x80044000u + DWORD(code));
}
constexpr HRESULT AVIERR_OK = 0;
constexpr HRESULT AVIERR_UNSUPPORTED = MakeAviError(101);
constexpr HRESULT AVIERR_BADFORMAT = MakeAviError(102);
constexpr HRESULT AVIERR_MEMORY = MakeAviError(103);
constexpr HRESULT AVIERR_INTERNAL = MakeAviError(104);
constexpr HRESULT AVIERR_BADFLAGS = MakeAviError(105);
constexpr HRESULT AVIERR_BADPARAM = MakeAviError(106);
constexpr HRESULT AVIERR_BADSIZE = MakeAviError(107);
constexpr HRESULT AVIERR_BADHANDLE = MakeAviError(108);
constexpr HRESULT AVIERR_FILEREAD = MakeAviError(109);
constexpr HRESULT AVIERR_FILEWRITE = MakeAviError(110);
constexpr HRESULT AVIERR_FILEOPEN = MakeAviError(111);
constexpr HRESULT AVIERR_COMPRESSOR = MakeAviError(112);
constexpr HRESULT AVIERR_NOCOMPRESSOR = MakeAviError(113);
constexpr HRESULT AVIERR_READONLY = MakeAviError(114);
constexpr HRESULT AVIERR_NODATA = MakeAviError(115);
constexpr HRESULT AVIERR_BUFFERTOOSMALL = MakeAviError(116);
constexpr HRESULT AVIERR_CANTCOMPRESS = MakeAviError(117);
constexpr HRESULT AVIERR_USERABORT = MakeAviError(198);
constexpr HRESULT AVIERR_ERROR = MakeAviError(199);
constexpr HRESULT E_NOINTERFACE = HRESULT(0x80004002u);

constexpr DWORD OF_READ = 0;
constexpr DWORD OF_WRITE = 1;
constexpr DWORD OF_CREATE = 0x1000;

// FindSample flags.
constexpr LONG FIND_NEXT = 0x0001;
constexpr LONG FIND_PREV = 0x0004;
constexpr LONG FIND_KEY = 0x0010;
constexpr LONG FIND_ANY = 0x0020;
constexpr LONG FIND_FORMAT = 0x0040;

// Compression option flags.
constexpr DWORD AVICOMPRESSF_INTERLEAVE = 0x01;
constexpr DWORD AVICOMPRESSF_DATARATE = 0x02;
constexpr DWORD AVICOMPRESSF_KEYFRAMES = 0x04;
constexpr DWORD AVICOMPRESSF_VALID = 0x08;

#pragma pack(push, 1)
struct RECT {
  LONG left, top, right, bottom;
};

struct GUID {
  DWORD Data1;
  WORD Data2, Data3;
  BYTE Data4[8];
};

struct BITMAPINFOHEADER {
  DWORD biSize;
  LONG biWidth;
  LONG biHeight;
  WORD biPlanes;
  WORD biBitCount;
  DWORD biCompression;
  DWORD biSizeImage;
  LONG biXPelsPerMeter;
  LONG biYPelsPerMeter;
  DWORD biClrUsed;
  DWORD biClrImportant;
};

struct RGBQUAD {
  BYTE rgbBlue, rgbGreen, rgbRed, rgbReserved;
};

struct BITMAPFILEHEADER {
  WORD bfType;
  DWORD bfSize;
  WORD bfReserved1, bfReserved2;
  DWORD bfOffBits;
};

struct AVISTREAMINFOA {
  DWORD fccType;
  DWORD fccHandler;
  DWORD dwFlags;
  DWORD dwCaps;
  WORD wPriority;
  WORD wLanguage;
  DWORD dwScale;
  DWORD dwRate;
  DWORD dwStart;
  DWORD dwLength;
  DWORD dwInitialFrames;
  DWORD dwSuggestedBufferSize;
  DWORD dwQuality;
  DWORD dwSampleSize;
  RECT rcFrame;
  DWORD dwEditCount;
  DWORD dwFormatChangeCount;
  char szName[64];
};

// The "strh" chunk as stored in an AVI file (56 bytes; the frame rectangle is four 16-bit values).
struct AVIStreamHeader {
  FOURCC fccType;
  FOURCC fccHandler;
  DWORD dwFlags;
  WORD wPriority;
  WORD wLanguage;
  DWORD dwInitialFrames;
  DWORD dwScale;
  DWORD dwRate;
  DWORD dwStart;
  DWORD dwLength;
  DWORD dwSuggestedBufferSize;
  DWORD dwQuality;
  DWORD dwSampleSize;
  short rcLeft, rcTop, rcRight, rcBottom;
};
#pragma pack(pop)

struct AVICOMPRESSOPTIONS {
  DWORD fccType = 0;
  DWORD fccHandler = 0;
  DWORD dwKeyFrameEvery = 0;
  DWORD dwQuality = 0;
  DWORD dwBytesPerSecond = 0;
  DWORD dwFlags = 0;
  void* lpFormat = nullptr;
  DWORD cbFormat = 0;
  void* lpParms = nullptr;
  DWORD cbParms = 0;
  DWORD dwInterleaveEvery = 0;
};

static_assert(sizeof(BITMAPINFOHEADER) == 40);
static_assert(sizeof(BITMAPFILEHEADER) == 14);
static_assert(sizeof(AVISTREAMINFOA) == 140);
static_assert(sizeof(AVIStreamHeader) == 56);

// The stream interface GUID; QueryInterface compares the first 32-bit word only.
constexpr GUID IID_IAVIStream = {0x00020021, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
