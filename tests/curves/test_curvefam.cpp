#include "curves/curvefam.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/curves/curves_fixture.h"

namespace tsm::curves {
namespace {

using platform::MB_ICONINFORMATION;
using testing::AddCurve;
using testing::CurvesTest;
using testing::PointsOf;

std::vector<std::string> NamesOf(const CurveFamily& f) {
  std::vector<std::string> names;
  for (std::uint32_t i = 0; i < f.Count(); ++i) names.emplace_back(f.Curve(i).Name());
  return names;
}

// A family of curves "a", "b", ... each with one point at (i, i).
void MakeFamily(CurveFamily& f, int n) {
  for (int i = 0; i < n; ++i) {
    const std::string name(1, static_cast<char>('a' + i));
    AddCurve(f, name.c_str(), {{static_cast<float>(i), static_cast<float>(i)}});
  }
}

using FamilyMaintenance = CurvesTest;

TEST_F(FamilyMaintenance, NewAndClearedFamiliesHaveNoInformation) {
  CurveFamily f;
  EXPECT_EQ(f.Count(), 0u);
  EXPECT_EQ(f.DateTime(), 0u);
  EXPECT_EQ(f.TimeSpent(), -1.0f);
  EXPECT_STREQ(f.GraphName(), "");
  MakeFamily(f, 2);
  f.SetInfo("IVC", "A", "V", "me");
  f.SetComment("line 1\r\nline 2");
  f.SetDateTime(1234);
  f.SetTimeSpent(5);
  f.Clear();
  EXPECT_EQ(f.Count(), 0u);
  EXPECT_EQ(f.DateTime(), 0u);
  EXPECT_EQ(f.TimeSpent(), -1.0f);
  EXPECT_STREQ(f.GraphName(), "");
  EXPECT_STREQ(f.UnitY(), "");
  EXPECT_STREQ(f.Comment(), "");
}

TEST_F(FamilyMaintenance, ReorderingAndRemovingMoveRecordsWithoutCopyingPoints) {
  CurveFamily f;
  MakeFamily(f, 5);
  std::vector<const CurvePoint*> blocks;
  for (std::uint32_t i = 0; i < 5; ++i) blocks.push_back(f.Curve(i).Data());

  f.MoveCurve(0, 3);
  EXPECT_EQ(NamesOf(f), (std::vector<std::string>{"b", "c", "d", "a", "e"}));
  f.MoveCurve(4, 1);
  EXPECT_EQ(NamesOf(f), (std::vector<std::string>{"b", "e", "c", "d", "a"}));
  f.MoveCurve(2, 2);
  f.SwapCurves(0, 4);
  EXPECT_EQ(NamesOf(f), (std::vector<std::string>{"a", "e", "c", "d", "b"}));
  EXPECT_EQ(f.Curve(0).Data(), blocks[0]);
  EXPECT_EQ(f.Curve(1).Data(), blocks[4]);

  f.RemoveRange(1, 2);
  EXPECT_EQ(NamesOf(f), (std::vector<std::string>{"a", "d", "b"}));
  ASSERT_TRUE(f.SetCount(10));  // the array grows: records move, blocks stay
  EXPECT_EQ(f.Curve(1).Data(), blocks[3]);
  EXPECT_EQ(f.Curve(9).Count(), 0u);
  ASSERT_TRUE(f.SetCount(2));
  EXPECT_EQ(NamesOf(f), (std::vector<std::string>{"a", "d"}));
  EXPECT_EQ(f.Curve(1).Data(), blocks[3]);
}

TEST_F(FamilyMaintenance, BadIndicesAreReportedWithTheFamilySource) {
  CurveFamily f;
  f.RemoveRange(0, 0);
  EXPECT_TRUE(platform::HasAssertion("count > 0", "curvefam"));
  MakeFamily(f, 2);
  f.Curve(2).Append(1, 1);  // lands in a scratch curve
  EXPECT_TRUE(platform::HasAssertion("index < Count()", "curvefam"));
  f.MoveCurve(0, 2);
  f.SwapCurves(5, 0);
  f.RemoveRange(1, 0);
  EXPECT_TRUE(platform::HasAssertion("to < count", "curvefam"));
  EXPECT_TRUE(platform::HasAssertion("a < count", "curvefam"));
  EXPECT_TRUE(platform::HasAssertion("last >= first", "curvefam"));
  EXPECT_EQ(NamesOf(f), (std::vector<std::string>{"a", "b"}));
}

TEST_F(FamilyMaintenance, CopyFromIsDeepAndCopyInfoLeavesCurves) {
  CurveFamily a;
  MakeFamily(a, 3);
  a.SetInfo("Ic(H)", "T", "A", "designer");
  a.SetChipName("chip");
  a.SetCircuitName("circuit");
  a.SetComment("c");
  a.SetDateTime(99);
  a.SetTimeSpent(12.5f);
  // The target's own curves (same size, marked, other parameter) must not
  // shine through the copy, nor its surplus curves survive it.
  CurveFamily b;
  MakeFamily(b, 5);
  b.Curve(0).Mark();
  b.Curve(0).SetParameter(7);
  b.Curve(0).Point(0) = {42, 42};
  ASSERT_TRUE(b.CopyFrom(a));
  EXPECT_FALSE(b.Curve(0).IsMarked());
  EXPECT_EQ(b.Curve(0).Parameter(), 0.0f);
  EXPECT_EQ(PointsOf(b.Curve(0)), PointsOf(a.Curve(0)));
  EXPECT_EQ(NamesOf(b), NamesOf(a));
  EXPECT_NE(b.Curve(0).Data(), a.Curve(0).Data());
  EXPECT_EQ(PointsOf(b.Curve(2)), PointsOf(a.Curve(2)));
  EXPECT_STREQ(b.CircuitName(), "circuit");
  EXPECT_EQ(b.TimeSpent(), 12.5f);
  ASSERT_TRUE(b.CopyFrom(b));
  EXPECT_EQ(b.Count(), 3u);

  CurveFamily info;
  MakeFamily(info, 1);
  info.CopyInfo(a);
  EXPECT_EQ(info.Count(), 1u);
  EXPECT_STREQ(info.GraphName(), "Ic(H)");
  EXPECT_STREQ(info.ChipName(), "chip");
  EXPECT_EQ(info.DateTime(), 99u);
}

TEST_F(FamilyMaintenance, CopyEndsShortWhenMemoryRunsOut) {
  CurveFamily a;
  MakeFamily(a, 4);
  for (int i = 0; i < 99; ++i) a.Curve(2).Append(0, 0);  // 100 points: 800 bytes
  CurveFamily b;
  RefuseFrom(800);
  EXPECT_FALSE(b.CopyFrom(a));
  EXPECT_EQ(NamesOf(b), (std::vector<std::string>{"a", "b"}));
  // No slot array at all: nothing but the information is copied.
  CurveFamily c;
  RefuseFrom(1);
  EXPECT_FALSE(c.CopyFrom(a));
  EXPECT_EQ(c.Count(), 0u);
  SetAllocationHook(nullptr);
  EXPECT_TRUE(b.CopyFrom(a));
  EXPECT_EQ(b.Count(), 4u);
}

TEST_F(FamilyMaintenance, SetCountAndSetAllSizesReportRefusedMemory) {
  CurveFamily f;
  MakeFamily(f, 2);
  RefuseFrom(1);
  EXPECT_FALSE(f.SetCount(100));
  EXPECT_EQ(NamesOf(f), (std::vector<std::string>{"a", "b"}));
  EXPECT_FALSE(f.SetAllSizes(10));
  EXPECT_EQ(f.Curve(0).Count(), 1u);
  EXPECT_TRUE(f.SetCount(1));
  SetAllocationHook(nullptr);
  EXPECT_TRUE(f.SetAllSizes(3));
  EXPECT_EQ(PointsOf(f.Curve(0)), (std::vector<CurvePoint>{{0, 0}, {0, 0}, {0, 0}}));
}

TEST_F(FamilyMaintenance, ExtremesSkipEmptyCurves) {
  CurveFamily f;
  EXPECT_FALSE(f.MaxX().has_value());
  f.SetCount(2);
  EXPECT_FALSE(f.MinY().has_value());
  AddCurve(f, "c", {{-2, 5}, {3, -1}});
  AddCurve(f, "d", {{1, 7}});
  EXPECT_EQ(f.MinX(), -2.0f);
  EXPECT_EQ(f.MaxX(), 3.0f);
  EXPECT_EQ(f.MinY(), -1.0f);
  EXPECT_EQ(f.MaxY(), 7.0f);
}

TEST_F(FamilyMaintenance, SwapXYExchangesPointsAndUnits) {
  CurveFamily f;
  AddCurve(f, "a", {{1, 2}, {3, 4}});
  f.SetUnits("A", "V");
  f.SwapXY();
  EXPECT_EQ(PointsOf(f.Curve(0)), (std::vector<CurvePoint>{{2, 1}, {4, 3}}));
  EXPECT_STREQ(f.UnitX(), "V");
  EXPECT_STREQ(f.UnitY(), "A");
}

TEST_F(FamilyMaintenance, DeletePointsRemovesEmptiedCurvesAndKeepsOrder) {
  CurveFamily f;
  AddCurve(f, "a", {{0, 0}, {5, 5}});
  AddCurve(f, "inside", {{1, 1}, {2, 2}});
  AddCurve(f, "inside too", {{1.5f, 1.5f}});
  AddCurve(f, "b", {{2, 2}, {9, 9}});
  EXPECT_EQ(f.DeletePointsIn({2, 1, 2, 1}), 0u);
  EXPECT_EQ(NamesOf(f), (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(PointsOf(f.Curve(1)), (std::vector<CurvePoint>{{9, 9}}));
}

TEST_F(FamilyMaintenance, SplitCurveDropsThePointAndNamesTheHalves) {
  CurveFamily f;
  AddCurve(f, "first", {{0, 0}});
  Curve& iv = AddCurve(f, "IV", {});
  for (int i = 0; i < 10; ++i) iv.Append(static_cast<float>(i), static_cast<float>(10 * i));
  iv.SetParameter(3);
  AddCurve(f, "last", {{0, 0}});
  ASSERT_TRUE(f.SplitCurve(1, 3));
  EXPECT_EQ(NamesOf(f), (std::vector<std::string>{"first", "IV#1", "IV#2", "last"}));
  EXPECT_EQ(PointsOf(f.Curve(1)), (std::vector<CurvePoint>{{0, 0}, {1, 10}, {2, 20}}));
  ASSERT_EQ(f.Curve(2).Count(), 6u);
  EXPECT_EQ(f.Curve(2).Point(0), (CurvePoint{4, 40}));
  EXPECT_EQ(f.Curve(2).Point(5), (CurvePoint{9, 90}));
  EXPECT_EQ(f.Curve(2).Parameter(), 3.0f);
}

TEST_F(FamilyMaintenance, SplitAtAnEndOrWithoutMemoryChangesNothing) {
  CurveFamily f;
  Curve& c = AddCurve(f, "IV", {{0, 0}, {1, 1}, {2, 2}});
  c.SetName(std::string(127, 'n').c_str());
  EXPECT_TRUE(f.SplitCurve(0, 0));
  EXPECT_TRUE(f.SplitCurve(0, 2));
  EXPECT_EQ(f.Count(), 1u);
  RefuseFrom(1);
  EXPECT_FALSE(f.SplitCurve(0, 1));
  EXPECT_EQ(f.Count(), 1u);
  EXPECT_EQ(f.Curve(0).Count(), 3u);
  EXPECT_FALSE(f.SplitCurve(0, 3));
  EXPECT_TRUE(platform::HasAssertion("p < n", "curvefam"));
  SetAllocationHook(nullptr);
  // Full names stay bounded: the suffix is cut rather than overflowing.
  ASSERT_TRUE(f.SplitCurve(0, 1));
  EXPECT_EQ(std::string(f.Curve(1).Name()), std::string(127, 'n'));
}

using FamilyTexts = CurvesTest;

TEST_F(FamilyTexts, SettersTruncateToTheirFieldsAndTellIt) {
  CurveFamily f;
  EXPECT_TRUE(f.SetUnitX(std::string(15, 'x').c_str()));
  EXPECT_FALSE(f.SetUnitY(std::string(16, 'y').c_str()));
  EXPECT_EQ(std::string(f.UnitY()), std::string(15, 'y'));
  EXPECT_FALSE(f.SetGraphName(std::string(64, 'g').c_str()));
  EXPECT_EQ(std::string(f.GraphName()).size(), 63u);
  EXPECT_FALSE(f.SetDesigner(std::string(70, 'd').c_str()));
  EXPECT_FALSE(f.SetChipName(std::string(70, 'c').c_str()));
  EXPECT_FALSE(f.SetCircuitName(std::string(70, 'k').c_str()));
  EXPECT_EQ(std::string(f.CircuitName()).size(), 63u);
  EXPECT_TRUE(f.SetComment(std::string(500, 'm').c_str()));
  EXPECT_TRUE(f.AppendComment("0123456789a"));
  EXPECT_FALSE(f.AppendComment("bc"));
  EXPECT_EQ(std::string(f.Comment()).size(), 511u);
}

TEST_F(FamilyTexts, CombinedSettersSetEveryPartAndFailIfOneWasCut) {
  CurveFamily f;
  EXPECT_FALSE(f.SetUnits(std::string(20, 'x').c_str(), "V"));
  EXPECT_STREQ(f.UnitY(), "V");
  EXPECT_TRUE(f.SetUnits("A", "V"));
  EXPECT_FALSE(f.SetInfo("IVC", "A", "V", std::string(64, 'd').c_str()));
  EXPECT_STREQ(f.GraphName(), "IVC");
  EXPECT_TRUE(f.SetInfo("IVC", "mA", "mV", "me"));
  EXPECT_STREQ(f.UnitX(), "mA");
}

using FamilyMarking = CurvesTest;

TEST_F(FamilyMarking, MarkCurvesInMarksExactlyTheCurvesWithAPointInside) {
  CurveFamily f;
  AddCurve(f, "a", {{0, 0}, {10, 10}});
  AddCurve(f, "b", {{3, 3}});  // on the border
  AddCurve(f, "c", {{5, 20}});
  f.MarkAll();
  EXPECT_EQ(f.CountMarked(), 3u);
  EXPECT_EQ(f.MarkCurvesIn({6, 3, 6, 3}), 1u);  // c loses its earlier mark
  EXPECT_FALSE(f.Curve(0).IsMarked());
  EXPECT_TRUE(f.Curve(1).IsMarked());
  EXPECT_FALSE(f.Curve(2).IsMarked());
  f.UnmarkAll();
  EXPECT_EQ(f.CountMarked(), 0u);
}

TEST_F(FamilyMarking, MarkedIndexCountsMarksInFamilyOrder) {
  CurveFamily f;
  MakeFamily(f, 7);
  f.Curve(2).Mark();
  f.Curve(5).Mark();
  EXPECT_EQ(f.GetMarkedCurveIndex(0), 2u);
  EXPECT_EQ(f.GetMarkedCurveIndex(1), 5u);
  EXPECT_FALSE(platform::HasAssertion("n < marked"));
  EXPECT_EQ(f.GetMarkedCurveIndex(2), kNoIndex);
  EXPECT_TRUE(platform::HasAssertion("n < marked", "curvefam"));
}

TEST_F(FamilyMarking, RemoveMarkedKeepsTheOrderOfTheRest) {
  CurveFamily f;
  MakeFamily(f, 5);
  f.Curve(0).Mark();
  f.Curve(3).Mark();
  f.RemoveMarked();
  EXPECT_EQ(NamesOf(f), (std::vector<std::string>{"b", "c", "e"}));
  f.MarkAll();
  f.RemoveMarked();
  EXPECT_EQ(f.Count(), 0u);
}

using FamilyCalculus = CurvesTest;

TEST_F(FamilyCalculus, DifferentiateDiscardsShortCurvesAndSaysSo) {
  CurveFamily f;
  AddCurve(f, "none", {});
  AddCurve(f, "one", {{1, 1}});
  AddCurve(f, "five", {{0, 0}, {1, 1}, {2, 4}, {3, 9}, {4, 16}});
  EXPECT_TRUE(f.DifferentiateX());
  EXPECT_EQ(NamesOf(f), (std::vector<std::string>{"five"}));
  EXPECT_EQ(PointsOf(f.Curve(0)),
            (std::vector<CurvePoint>{{0.5f, 1}, {1.5f, 3}, {2.5f, 5}, {3.5f, 7}}));
}

TEST_F(FamilyCalculus, ACurveOnOneXGoesSilently) {
  CurveFamily f;
  AddCurve(f, "vertical", {{1, 0}, {1, 1}, {1, 2}});
  AddCurve(f, "line", {{0, 0}, {2, 2}});
  EXPECT_FALSE(f.DifferentiateY());
  EXPECT_EQ(NamesOf(f), (std::vector<std::string>{"line"}));
}

TEST_F(FamilyCalculus, DerivativesRenameUnitsAndTitle) {
  CurveFamily x;
  AddCurve(x, "a", {{0, 0}, {1, 1}});
  x.SetInfo("Ic(H)", "A", "V", "");
  x.DifferentiateX();
  EXPECT_STREQ(x.UnitX(), "A");
  EXPECT_STREQ(x.UnitY(), "V/A");
  EXPECT_STREQ(x.GraphName(), "D[Ic(H),x]");

  CurveFamily y;
  AddCurve(y, "a", {{0, 0}, {1, 1}});
  y.SetInfo("IVC", "A", "V", "");
  y.DifferentiateY();
  EXPECT_STREQ(y.UnitX(), "V/A");
  EXPECT_STREQ(y.UnitY(), "V/A");
  EXPECT_STREQ(y.GraphName(), "D[IVC,x](y)");
  EXPECT_TRUE(ui->MessageBoxes().empty());
}

TEST_F(FamilyCalculus, IntegrateKeepsEmptyCurvesAndRenames) {
  CurveFamily f;
  AddCurve(f, "empty", {});
  AddCurve(f, "a", {{0, 1}, {1, 1}, {3, 2}});
  f.SetInfo("IVC", "A", "V", "");
  f.Integrate();
  EXPECT_EQ(f.Count(), 2u);
  EXPECT_EQ(PointsOf(f.Curve(1)), (std::vector<CurvePoint>{{0, 0}, {1, 1}, {3, 4}}));
  EXPECT_STREQ(f.UnitY(), "V*A");
  EXPECT_STREQ(f.GraphName(), "Int[IVC,x]");
}

TEST_F(FamilyCalculus, TruncatedNamesAreToldWithTheOperationCaption) {
  CurveFamily f;
  AddCurve(f, "a", {{0, 0}, {1, 1}});
  f.SetInfo(std::string(60, 'g').c_str(), "mA", "mV", "");
  f.DifferentiateX();
  EXPECT_EQ(std::string(f.GraphName()), "D[" + std::string(60, 'g') + ",");
  ASSERT_EQ(ui->MessageBoxes().size(), 1u);
  EXPECT_EQ(ui->MessageBoxes()[0].text, "The name of plot is too long.\nTruncated.");
  EXPECT_EQ(ui->MessageBoxes()[0].caption, "CurveFamily::DifferentiateX()");
  EXPECT_EQ(ui->MessageBoxes()[0].type, MB_ICONINFORMATION);

  ui->Clear();
  f.SetUnits("abcdefgh", "ijklmnop");  // 8 + 1 + 8 characters
  f.Integrate();
  EXPECT_STREQ(f.UnitY(), "ijklmnop*abcdef");  // 15 of 17 characters
  ASSERT_EQ(ui->MessageBoxes().size(), 2u);
  EXPECT_EQ(ui->MessageBoxes()[0].text, "The name of Y-units is too long.\nTruncated.");
  EXPECT_EQ(ui->MessageBoxes()[0].caption, "CurveFamily::Integrate()");
  EXPECT_EQ(ui->MessageBoxes()[1].text, "The name of plot is too long.\nTruncated.");
  // The message beeps with its icon, as every user message does.
  const auto beeps = ui->CallsOf(platform::UiCall::Kind::Beep);
  ASSERT_FALSE(beeps.empty());
  EXPECT_EQ(beeps[0].type, MB_ICONINFORMATION);
}

}  // namespace
}  // namespace tsm::curves
