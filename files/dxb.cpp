#include "files/dxb.h"

#include <cstdint>
#include <cstring>
#include <optional>

#include "curves/state.h"
#include "curves/undo.h"
#include "files/fileio.h"
#include "files/wholefile.h"
#include "shell/errors.h"

namespace tsm::files {

namespace {

// The records' data items, by the letters of the format description: w a
// 16-bit integer, l a 32-bit integer, f a double, n a number (w or f by the
// number mode), u and a a 32-bit fraction or a double, z a NUL-ended text.
enum Item : char { W = 'w', F = 'f', N = 'n', U = 'u', A = 'a', Z = 'z' };

// The items of every record type the format knows; nullptr for the others.
const char* ItemsOf(unsigned char type) {
  switch (type) {
    case 1: return "nnnn";               // line
    case 2: return "nn";                 // point
    case 3: return "nnn";                // circle
    case 8: return "nnnaa";              // arc
    case 9: return "nnnnnnnn";           // trace
    case 11: return "nnnnnnnn";          // solid
    case 17: return "";                  // seqend
    case 19: return "w";                 // polyline
    case 20: return "nn";                // vertex
    case 21: return "nnnnnn";            // 3D line
    case 22: return "nnnnnnnnnnnn";      // 3D face
    case 128: return "f";                // scale factor
    case 129: return "z";                // new layer
    case 130: return "nn";               // line extension
    case 131: return "nnnn";             // trace extension
    case 132: return "nn";               // block base
    case 133: return "u";                // bulge
    case 134: return "nn";               // width
    case 135: return "w";                // number mode
    case 136: return "w";                // new colour
    case 137: return "nnn";              // 3D line extension
    default: return nullptr;
  }
}

class Reader {
 public:
  Reader(const unsigned char* data, std::size_t size) : p_(data), end_(data + size) {}

  bool Byte(unsigned char& out) {
    if (p_ == end_) return false;
    out = *p_++;
    return true;
  }
  bool Int16(std::int16_t& out) {
    std::uint64_t v;
    if (!Bytes(2, v)) return false;
    out = static_cast<std::int16_t>(static_cast<std::uint16_t>(v));
    return true;
  }
  bool Int32(std::int32_t& out) {
    std::uint64_t v;
    if (!Bytes(4, v)) return false;
    out = static_cast<std::int32_t>(static_cast<std::uint32_t>(v));
    return true;
  }
  bool Double(double& out) {
    std::uint64_t v;
    if (!Bytes(8, v)) return false;
    std::memcpy(&out, &v, sizeof out);
    return true;
  }
  bool Text(std::string& out) {
    const void* nul = std::memchr(p_, 0, static_cast<std::size_t>(end_ - p_));
    if (!nul) return false;
    const auto* stop = static_cast<const unsigned char*>(nul);
    out.assign(reinterpret_cast<const char*>(p_), static_cast<std::size_t>(stop - p_));
    p_ = stop + 1;
    return true;
  }
  bool Skip(std::size_t n) {
    if (static_cast<std::size_t>(end_ - p_) < n) return false;
    p_ += n;
    return true;
  }

 private:
  // n bytes, least significant first.
  bool Bytes(int n, std::uint64_t& out) {
    if (end_ - p_ < n) return false;
    out = 0;
    for (int i = n - 1; i >= 0; --i) out = (out << 8) | p_[i];
    p_ += n;
    return true;
  }

  const unsigned char* p_;
  const unsigned char* end_;
};

// The state of a drawing being read and the curves it gave so far.
class Builder {
 public:
  explicit Builder(DxbDrawing& out) : out_(out) {}

  // A record's values, read by its item list (numbers as doubles, already
  // scaled; the layer name as text).
  bool Read(Reader& r, unsigned char type, const char* items) {
    count_ = 0;
    for (const char* item = items; *item; ++item) {
      double v = 0;
      switch (*item) {
        case W: {
          std::int16_t i;
          if (!r.Int16(i)) return false;
          v = i;
          break;
        }
        case F:
          if (!r.Double(v)) return false;
          break;
        case N:
          if (floatMode_) {
            if (!r.Double(v)) return false;
          } else {
            std::int16_t i;
            if (!r.Int16(i)) return false;
            v = i * scale_;
          }
          break;
        case U:
        case A:
          // Bulges and angles draw nothing a curve keeps: read past them.
          if (!r.Skip(floatMode_ ? 8 : 4)) return false;
          break;
        case Z:
          if (!r.Text(text_)) return false;
          break;
      }
      values_[count_++] = v;
    }
    Apply(type);
    return true;
  }

  // Closes what is open at the end of the drawing.
  void Finish() {
    EndPolyline();
    chain_.reset();
  }

 private:
  void Apply(unsigned char type) {
    const double* v = values_;
    switch (type) {
      case kDxbLine:
        StartLine(v[0], v[1], v[2], v[3]);
        break;
      case kDxbLine3D:  // x and y; z is dropped
        StartLine(v[0], v[1], v[3], v[4]);
        break;
      case kDxbLineExtension:
      case kDxbLine3DExtension:
        Extend(v[0], v[1]);
        break;
      case kDxbPolyline:
        EndPolyline();
        chain_.reset();
        polyline_ = out_.curves.size();
        closed_ = v[0] != 0;
        out_.curves.push_back(DxbCurve{layer_, {}});
        break;
      case kDxbVertex:
        // A vertex outside a polyline belongs to nothing.
        if (polyline_) out_.curves[*polyline_].points.push_back(Point(v[0], v[1]));
        break;
      case kDxbSeqEnd:
        EndPolyline();
        break;
      case kDxbScaleFactor:
        scale_ = v[0];
        break;
      case kDxbNumberMode:
        floatMode_ = v[0] != 0;
        break;
      case 136:  // a new colour changes nothing a curve keeps
        break;
      case kDxbNewLayer:
        layer_ = text_;
        chain_.reset();  // a chain lies on one layer
        break;
      default:
        // Any other drawing record stands between a line and what follows.
        chain_.reset();
        break;
    }
  }

  static curves::CurvePoint Point(double x, double y) {
    return curves::CurvePoint{static_cast<float>(x), static_cast<float>(y)};
  }

  void StartLine(double x0, double y0, double x1, double y1) {
    EndPolyline();
    chain_ = out_.curves.size();
    out_.curves.push_back(DxbCurve{layer_, {Point(x0, y0), Point(x1, y1)}});
    last_ = Point(x1, y1);
  }

  // A line extension goes on from the end of the last line; without a line
  // before it, its end point is where the next extension starts.
  void Extend(double x, double y) {
    EndPolyline();
    if (!chain_ && last_) {
      chain_ = out_.curves.size();
      out_.curves.push_back(DxbCurve{layer_, {*last_}});
    }
    if (chain_) out_.curves[*chain_].points.push_back(Point(x, y));
    last_ = Point(x, y);
  }

  // An open polyline is always the last curve (whatever starts a curve ends
  // it first), so dropping an empty one moves no other curve.
  void EndPolyline() {
    if (!polyline_) return;
    std::vector<curves::CurvePoint>& points = out_.curves[*polyline_].points;
    if (points.empty()) {
      out_.curves.pop_back();
    } else if (closed_ && points.size() > 1) {
      points.push_back(points.front());
    }
    polyline_.reset();
  }

  DxbDrawing& out_;
  double values_[12] = {};
  int count_ = 0;
  std::string text_;
  std::string layer_ = kDxbDefaultLayer;
  double scale_ = 1.0;
  bool floatMode_ = false;
  std::optional<std::size_t> polyline_;  // the open polyline's curve
  bool closed_ = false;
  std::optional<std::size_t> chain_;  // the curve of the chain going on
  std::optional<curves::CurvePoint> last_;  // end of the last line
};

void Tell(const char* text, const char* caption) {
  shell::ShowMessage(shell::MainWindow(), text, caption, platform::MB_OK | platform::MB_ICONHAND);
}

// Appends the drawing's curves to the family; false (the family back as it
// was) when memory ran out.
bool AppendCurves(curves::CurveFamily& family, const std::vector<DxbCurve>& drawn) {
  const std::uint32_t first = family.Count();
  bool ok = family.SetCount(first + static_cast<std::uint32_t>(drawn.size()));
  for (std::size_t i = 0; ok && i < drawn.size(); ++i) {
    curves::Curve& c = family.Curve(first + static_cast<std::uint32_t>(i));
    c.SetName(drawn[i].layer.c_str());
    ok = c.SetSize(static_cast<std::uint32_t>(drawn[i].points.size()));
    if (ok) std::copy(drawn[i].points.begin(), drawn[i].points.end(), c.Data());
  }
  if (!ok && family.Count() > first) family.SetCount(first);
  return ok;
}

}  // namespace

DxbDrawing ParseDxb(const unsigned char* data, std::size_t size) {
  DxbDrawing drawing;
  if (size < kDxbHeaderSize || std::memcmp(data, kDxbHeader, kDxbHeaderSize) != 0)
    return drawing;
  Reader reader(data + kDxbHeaderSize, size - kDxbHeaderSize);
  Builder builder(drawing);
  for (;;) {
    unsigned char type;
    if (!reader.Byte(type)) break;  // no end record: the file was cut
    if (type == kDxbEnd) {
      builder.Finish();
      drawing.ok = true;
      break;
    }
    const char* items = ItemsOf(type);
    if (!items || !builder.Read(reader, type, items)) break;
  }
  return drawing;
}

int LoadDxbFile(const std::string& path, bool add) {
  FileText file;
  if (ReadWholeFile(path, file) != platform::FileStatus::Ok) {
    Tell(kCantOpenDataText, kCantOpenDataCaption);
    return kDataFileError;
  }
  const DxbDrawing drawing =
      ParseDxb(reinterpret_cast<const unsigned char*>(file.begin()), file.size);
  if (!drawing.ok) {
    Tell(kReadErrorText, kErrorCaption);
    return kCompanionError;
  }
  curves::CurveFamily& family = curves::CurrentFamily();
  bool ok;
  if (add) {
    ok = AppendCurves(family, drawing.curves);
  } else {
    // Built aside, so a failure leaves the family as it was.
    curves::CurveFamily loaded;
    ok = AppendCurves(loaded, drawing.curves);
    if (ok) family.Swap(loaded);
  }
  if (!ok) {
    Tell(curves::kOutOfMemoryText, curves::kOutOfMemoryCaption);
    return kCompanionError;
  }
  return kFileOk;
}

}  // namespace tsm::files
