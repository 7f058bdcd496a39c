// Drawing files: lines with their extensions, polylines (open and closed),
// layers, the scale factor and both number modes read into the expected
// curves through Open and Add; faults leave the family as it was.
#include "files/dxb.h"

#include <gtest/gtest.h>

#include "files/fileio.h"
#include "tests/files/dxb_writer.h"
#include "tests/files/files_fixture.h"

namespace tsm::files {
namespace {

using curves::CurvePoint;
using curves::CurrentFamily;
using testing::AddCurve;
using testing::DxbWriter;
using testing::FilesTest;
using testing::PointsOf;
using Points = std::vector<CurvePoint>;

class DxbTest : public FilesTest {
 protected:
  std::string Write(const std::string& name, const DxbWriter& w) {
    return dir.Write(name, w.Bytes());
  }
};

// One drawing with every kind of record the reader cares about, and a few
// it only passes over.
DxbWriter Sample() {
  DxbWriter w;
  w.Layer("WIRES").Scale(0.5);
  w.Line(2, 4, 6, 8).Extension(10, 12).Extension(14, 16);  // one chain
  w.Record(136).Int16(3);                                   // a colour keeps the chain
  w.Extension(18, 20);
  w.Line(0, 0, 2, 2);                                       // a new chain
  w.Record(2).Numbers({5, 5});                              // a point: skipped, ends it
  w.Layer("PADS").Polyline(true).Vertex(0, 0).Vertex(4, 0).Vertex(4, 2).SeqEnd();
  w.FloatMode(true);
  w.Polyline(false).Vertex(1.25, 2.5).Record(133).Double(0.5).Vertex(3.75, -1).SeqEnd();
  w.Record(3).Numbers({1, 1, 0.5});                         // a circle, skipped
  w.Record(8).Numbers({1, 1, 0.5}).Double(0).Double(90);    // an arc, skipped
  w.Record(21).Numbers({1, 2, 3, 4, 5, 6}).Record(137).Numbers({7, 8, 9});
  w.FloatMode(false).Record(20).Numbers({9, 9});           // a vertex of no polyline
  w.End();
  return w;
}

TEST_F(DxbTest, LinesPolylinesLayersScaleAndNumberModesBecomeCurves) {
  ASSERT_EQ(LoadDataFile(Write("plan.dxb", Sample()), false), kFileOk);
  const curves::CurveFamily& f = CurrentFamily();
  ASSERT_EQ(f.Count(), 5u);
  // Integer numbers are multiplied by the scale factor, doubles are not.
  EXPECT_STREQ(f.Curve(0).Name(), "WIRES");
  EXPECT_EQ(PointsOf(f.Curve(0)), (Points{{1, 2}, {3, 4}, {5, 6}, {7, 8}, {9, 10}}));
  EXPECT_EQ(PointsOf(f.Curve(1)), (Points{{0, 0}, {1, 1}}));
  EXPECT_STREQ(f.Curve(2).Name(), "PADS");
  // A closed polyline repeats its first vertex.
  EXPECT_EQ(PointsOf(f.Curve(2)), (Points{{0, 0}, {2, 0}, {2, 1}, {0, 0}}));
  EXPECT_EQ(PointsOf(f.Curve(3)), (Points{{1.25f, 2.5f}, {3.75f, -1}}));
  // A 3D line and its extension: x and y, z dropped.
  EXPECT_STREQ(f.Curve(4).Name(), "PADS");
  EXPECT_EQ(PointsOf(f.Curve(4)), (Points{{1, 2}, {4, 5}, {7, 8}}));
  EXPECT_TRUE(ui->MessageBoxes().empty());
  EXPECT_EQ(GetFilesState().currentFileName, dir.File("plan.dxb"));
}

TEST_F(DxbTest, OpenReplacesAddAppendsAndLayerlessCurvesTakeLayerZero) {
  AddCurve(CurrentFamily(), "old", {{1, 1}});
  DxbWriter w;
  w.Polyline(false).SeqEnd();  // empty: no curve
  w.Extension(3, 4);           // no line before it: only where the next one starts
  w.Extension(5, 6).End();
  const std::string path = Write("a.DXB", w);

  ASSERT_EQ(LoadDataFile(path, true), kFileOk);
  ASSERT_EQ(CurrentFamily().Count(), 2u);
  EXPECT_STREQ(CurrentFamily().Curve(0).Name(), "old");
  EXPECT_STREQ(CurrentFamily().Curve(1).Name(), kDxbDefaultLayer);
  EXPECT_EQ(PointsOf(CurrentFamily().Curve(1)), (Points{{3, 4}, {5, 6}}));

  ASSERT_EQ(LoadDataFile(path, false), kFileOk);
  ASSERT_EQ(CurrentFamily().Count(), 1u);
  EXPECT_STREQ(CurrentFamily().Curve(0).Name(), kDxbDefaultLayer);
}

TEST_F(DxbTest, FaultsGiveTheReadErrorAndLeaveTheFamilyAsItWas) {
  const std::string good = Sample().Bytes();
  DxbWriter unknown;
  unknown.Line(0, 0, 1, 1).Record(99).Int16(0).End();
  DxbWriter longName;
  longName.Layer(std::string(300, 'L')).Line(0, 0, 1, 1).End();
  const std::vector<std::pair<std::string, std::string>> faults = {
      {"unknown record", unknown.Bytes()},
      {"cut inside a record", good.substr(0, 40)},
      {"no end record", good.substr(0, good.size() - 1)},
      {"cut inside a layer name", good.substr(0, 24)},
      {"no header", "AutoCAD DXB 2.0\r\n\x1a" + std::string(1, '\0') + good.substr(19)},
      {"empty", ""},
  };
  for (const auto& [what, bytes] : faults) {
    SCOPED_TRACE(what);
    curves::ResetCurvesState();
    AddCurve(CurrentFamily(), "kept", {{1, 2}, {3, 4}});
    CurrentFamily().SetGraphName("G");
    ui->Clear();
    const std::string path = dir.Write("bad.dxb", bytes);
    EXPECT_EQ(LoadDataFile(path, false), kCompanionError);
    EXPECT_EQ(LoadDataFile(path, true), kCompanionError);
    ASSERT_EQ(CurrentFamily().Count(), 1u);
    EXPECT_STREQ(CurrentFamily().Curve(0).Name(), "kept");
    EXPECT_STREQ(CurrentFamily().GraphName(), "G");
    ASSERT_EQ(ui->MessageBoxes().size(), 2u);
    EXPECT_EQ(ui->MessageBoxes()[0].text, kReadErrorText);
    EXPECT_EQ(ui->MessageBoxes()[0].caption, kErrorCaption);
  }
  // A layer name longer than a curve name is cut to 127 characters.
  ASSERT_EQ(LoadDataFile(dir.Write("long.dxb", longName.Bytes()), false), kFileOk);
  EXPECT_EQ(std::string(CurrentFamily().Curve(0).Name()), std::string(127, 'L'));
  ui->Clear();
  EXPECT_EQ(LoadDataFile(dir.File("missing.dxb"), false), kDataFileError);
  EXPECT_EQ(ui->MessageBoxes().at(0).text, kCantOpenDataText);
}

}  // namespace
}  // namespace tsm::files
