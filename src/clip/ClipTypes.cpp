#include "clip/ClipTypes.h"

TClipTypes::TClipTypes()
    : descriptions_(QStringLiteral("Video Clip File,MAV Clip File,Bitmap Files Directory,"
                                   "GIF Files Directory,JPEG Files Directory,"
                                   "TIF Files Directory,AMF Video File")
                        .split(u',')),
      filters_(QStringLiteral("AVI - Video Clip|*.avi,MAV - Motion Analysis Video|*.mav,"
                              "BMP - Image Files Directory|*.~~~,"
                              "GIF - Image Files Directory|*.~~~,"
                              "JPEG - Image Files Directory|*.~~~,"
                              "TIFF - Image Files Directory|*.~~~,"
                              "AMF - Quillon Video File|*.amf")
                   .split(u',')),
      extensions_(QStringLiteral("avi,mav,,,,,amf").split(u',')),
      patterns_(QStringLiteral(",,F%.7d.bmp,F%.7d.gif,F%.7d.jpg,F%.7d.tif,").split(u',')) {}
