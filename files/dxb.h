// The reader of drawing files (extension "dxb"), which Open and Add hand such
// files to. A drawing is a list of binary records; its polylines and its
// chains of lines (a line and the line extensions that follow it) become
// curves, one per polyline or chain, named after the layer they lie on.
// Everything else is read and passed over. An unknown record or a file that
// ends inside a record gives the data-file read error and leaves the family
// as it was.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "curves/curve.h"

namespace tsm::files {

// The 19 bytes every drawing file starts with.
inline constexpr char kDxbHeader[] = "AutoCAD DXB 1.0\r\n\x1a";  // and a NUL after it
inline constexpr std::size_t kDxbHeaderSize = 19;
// The layer of the records before the first "new layer" record.
inline constexpr const char* kDxbDefaultLayer = "0";

// Record types the reader gives a meaning to (every other known type is
// skipped by its length).
inline constexpr unsigned char kDxbEnd = 0;
inline constexpr unsigned char kDxbLine = 1;
inline constexpr unsigned char kDxbSeqEnd = 17;
inline constexpr unsigned char kDxbPolyline = 19;
inline constexpr unsigned char kDxbVertex = 20;
inline constexpr unsigned char kDxbLine3D = 21;
inline constexpr unsigned char kDxbScaleFactor = 128;
inline constexpr unsigned char kDxbNewLayer = 129;
inline constexpr unsigned char kDxbLineExtension = 130;
inline constexpr unsigned char kDxbNumberMode = 135;
inline constexpr unsigned char kDxbLine3DExtension = 137;

struct DxbCurve {
  std::string layer;
  std::vector<curves::CurvePoint> points;
};

struct DxbDrawing {
  bool ok = false;
  std::vector<DxbCurve> curves;
};

// Reads a drawing held in memory. ok is false for a missing header, an
// unknown record type or data that end inside a record or before the end
// record; the curves are then those read before the fault.
DxbDrawing ParseDxb(const unsigned char* data, std::size_t size);

// Takes the path and the add flag like the data-file reader: the drawing's
// curves replace the family (add false) or follow its curves (add true).
// 0 on success; -3 when the file cannot be read, -4 when it is not a
// drawing file that can be read to its end (the family is then unchanged).
int LoadDxbFile(const std::string& path, bool add);

}  // namespace tsm::files
