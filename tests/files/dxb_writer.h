// Writes drawing files for the tests, record by record, in the layout the
// format description gives (little-endian; numbers as 16-bit integers or as
// doubles, as the number mode of the file says at that point).
#pragma once

#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string>

namespace tsm::files::testing {

class DxbWriter {
 public:
  DxbWriter() { bytes_.assign("AutoCAD DXB 1.0\r\n\x1a", 18), bytes_.push_back('\0'); }

  DxbWriter& Record(int type) {
    bytes_.push_back(static_cast<char>(type));
    return *this;
  }
  DxbWriter& Int16(int v) {
    const auto u = static_cast<std::uint16_t>(static_cast<std::int16_t>(v));
    bytes_.push_back(static_cast<char>(u & 0xFF));
    bytes_.push_back(static_cast<char>(u >> 8));
    return *this;
  }
  DxbWriter& Int32(std::int32_t v) {
    const auto u = static_cast<std::uint32_t>(v);
    for (int i = 0; i < 4; ++i) bytes_.push_back(static_cast<char>((u >> (8 * i)) & 0xFF));
    return *this;
  }
  DxbWriter& Double(double v) {
    std::uint64_t u;
    std::memcpy(&u, &v, sizeof u);
    for (int i = 0; i < 8; ++i) bytes_.push_back(static_cast<char>((u >> (8 * i)) & 0xFF));
    return *this;
  }
  // A number in the present mode ("n" items).
  DxbWriter& Number(double v) { return floatMode_ ? Double(v) : Int16(static_cast<int>(v)); }
  DxbWriter& Numbers(std::initializer_list<double> values) {
    for (double v : values) Number(v);
    return *this;
  }

  DxbWriter& Line(double x0, double y0, double x1, double y1) {
    return Record(1).Numbers({x0, y0, x1, y1});
  }
  DxbWriter& Extension(double x, double y) { return Record(130).Numbers({x, y}); }
  DxbWriter& Polyline(bool closed) { return Record(19).Int16(closed ? 1 : 0); }
  DxbWriter& Vertex(double x, double y) { return Record(20).Numbers({x, y}); }
  DxbWriter& SeqEnd() { return Record(17); }
  DxbWriter& Layer(const std::string& name) {
    Record(129);
    bytes_ += name;
    bytes_.push_back('\0');
    return *this;
  }
  DxbWriter& Scale(double factor) { return Record(128).Double(factor); }
  DxbWriter& FloatMode(bool on) {
    Record(135).Int16(on ? 1 : 0);
    floatMode_ = on;
    return *this;
  }
  DxbWriter& End() { return Record(0); }

  const std::string& Bytes() const { return bytes_; }

 private:
  std::string bytes_;
  bool floatMode_ = false;
};

}  // namespace tsm::files::testing
