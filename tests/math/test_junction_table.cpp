#include "math/junction_table.h"

#include <gtest/gtest.h>

#include "curves/undo.h"
#include "math/commands.h"
#include "math/sigma_ic.h"
#include "platform/headless_ui.h"
#include "tests/math/analysis_curves.h"
#include "tests/math/math_fixture.h"

namespace tsm::math {
namespace {

using curves::Curve;
using testing::MathTest;
using testing::SweepBothWays;
using testing::WithExcessCurrent;

class JunctionTableTest : public MathTest {
 protected:
  // Three junctions of an I-V family at parameters 1, 2, 3 mA: Ic 1.0, 1.1,
  // 1.2 mA, Rn 10 Ohm, Ie 0.2 mA.
  void AddFamily() {
    Family().SetUnits("A", "V");
    Family().SetGraphName("IVF");
    for (int j = 0; j < 3; ++j) {
      Curve& c = testing::AddCurve(Family(), ("IV" + std::to_string(j)).c_str(), {});
      SweepBothWays(c, 5e-3, 1e-5, WithExcessCurrent(1e-3 + j * 1e-4, 10.0, 2e-4));
      c.SetParameter(1e-3f * (j + 1));
    }
    Family().MarkAll();
  }
};

TEST_F(JunctionTableTest, TableShowsPrefixedValuesAndTabTextPlainNumbers) {
  AddFamily();
  Family().Curve(1).Unmark();
  const auto rows = JunctionRows(Family(), GetJunctionOptions(), true);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[1].index, 2u);
  const std::string shown = JunctionTableText(rows);
  EXPECT_EQ(shown.substr(0, shown.find("\r\n")),
            "Curve                 Parameter           Ic+           Ic-            Ic            Rn"
            "            Ie            Vc");
  EXPECT_NE(shown.find("IV0                       0.001     +1.000 mA     -1.000 mA     +1.000 mA"
                       "  +10.000  Ohm     +200.0 \xB5" "A     +10.00 mV\r\n"),
            std::string::npos)
      << shown;
  const std::string tab = JunctionTableTabText(rows);
  EXPECT_EQ(tab.substr(0, tab.find("\r\n")),
            "Curve\tParameter\tIc+ (A)\tIc- (A)\tIc (A)\tRn (Ohm)\tIe (A)\tVc (V)");
  EXPECT_NE(tab.find("\r\nIV2\t0.003\t0.0012\t-0.0012\t0.0012\t10\t0.0002\t0.012\r\n"),
            std::string::npos)
      << tab;
}

TEST_F(JunctionTableTest, OkReplacesTheFamilyByIcAndIeAgainstTheParameter) {
  AddFamily();
  ASSERT_TRUE(JunctionTableCommand(nullptr));
  ASSERT_EQ(Family().Count(), 3u);
  EXPECT_STREQ(Family().Curve(0).Name(), "Ic+");
  EXPECT_STREQ(Family().Curve(1).Name(), "|Ic-|");
  EXPECT_STREQ(Family().Curve(2).Name(), "Ie");
  EXPECT_STREQ(Family().UnitY(), "A");
  EXPECT_STREQ(Family().GraphName(), "Ic, Ie of IVF");
  for (std::uint32_t j = 0; j < 3; ++j) {
    EXPECT_FLOAT_EQ(Family().Curve(0).Point(j).x, 1e-3f * (j + 1));
    EXPECT_NEAR(Family().Curve(0).Point(j).y, 1e-3 + j * 1e-4, 1e-5);
    EXPECT_NEAR(Family().Curve(1).Point(j).y, 1e-3 + j * 1e-4, 1e-5);
    EXPECT_NEAR(Family().Curve(2).Point(j).y, 2e-4, 2e-6);
  }
  // Equal parameters: the curves' index instead.
  ASSERT_TRUE(curves::Undo());
  for (std::uint32_t j = 0; j < 3; ++j) Family().Curve(j).SetParameter(0.0f);
  ASSERT_TRUE(JunctionTableCommand(nullptr));
  EXPECT_EQ(Family().Curve(0).Point(2).x, 2.0f);
}

TEST_F(JunctionTableTest, CancelKeepsTheFamilyAndDrawLinesAddsTheFittedLines) {
  AddFamily();
  ui->PushDialog([](platform::DialogModel& d) { d.Command(platform::IDCANCEL); });
  EXPECT_FALSE(JunctionTableCommand(nullptr));
  EXPECT_EQ(Family().Count(), 3u);
  EXPECT_FALSE(curves::UndoAvailable());

  GetJunctionOptions().rnDrawLines = 1;
  ASSERT_TRUE(JunctionTableCommand(nullptr));
  ASSERT_EQ(Family().Count(), 3u + 6u);
  const Curve& line = Family().Curve(3);
  EXPECT_STREQ(line.Name(), "IV0 Rn+");
  ASSERT_EQ(line.Count(), 2u);
  EXPECT_EQ(line.Point(0).x, 0.0f);
  EXPECT_NEAR(line.Point(0).y, -10.0 * 2e-4, 1e-6);  // V = Rn (I - Ie) at I = 0
  EXPECT_NEAR(line.Point(1).x, 5e-3, 1e-9);
  EXPECT_NEAR(line.Point(1).y, 10.0 * (5e-3 - 2e-4), 1e-6);
  EXPECT_STREQ(Family().Curve(4).Name(), "IV0 Rn-");
  EXPECT_NEAR(Family().Curve(4).Point(1).x, -5e-3, 1e-9);
}

TEST_F(JunctionTableTest, CopyAndSaveTheTabText) {
  AddFamily();
  tsm::testing::TempDir dir;
  const std::string path = dir.Write("table.txt", "old");
  ui->PushFile(path);
  ui->PushDialog([](platform::DialogModel& d) {
    d.Command(kJunctionTableCopy);
    d.Command(kJunctionTableSave);
    d.Command(platform::IDCANCEL);
  });
  EXPECT_FALSE(JunctionTableCommand(nullptr));
  const std::string tab = JunctionTableTabText(JunctionRows(Family(), GetJunctionOptions(), true));
  EXPECT_EQ(ui->ClipboardText(), tab);
  EXPECT_EQ(tsm::testing::TempDir::Read(path), tab);

  // A file that cannot be written: told, nothing else happens.
  ui->Clear();
  const std::string missing = dir.File("no/such/folder/table.txt");
  ui->PushFile(missing);
  ui->PushDialog([](platform::DialogModel& d) {
    d.Command(kJunctionTableSave);
    d.Command(platform::IDCANCEL);
  });
  EXPECT_FALSE(JunctionTableCommand(nullptr));
  ExpectOneMessage("The table could not be saved to\n" + missing, kJunctionTableCaption,
                   platform::MB_ICONHAND);
}

TEST_F(JunctionTableTest, NothingToAnalyseIsRefused) {
  EXPECT_FALSE(JunctionTableCommand(nullptr));
  ExpectOneMessage(kJunctionNoCurvesText, kJunctionTableCaption, platform::MB_ICONHAND);
  ui->Clear();
  testing::AddCurve(Family(), "one point", {{1, 1}});
  Family().MarkAll();
  EXPECT_FALSE(JunctionTableCommand(nullptr));
  ExpectOneMessage(kJunctionNoCurvesText, kJunctionTableCaption, platform::MB_ICONHAND);
  // Curves without a switching current or an ohmic line: the table shows
  // dashes and the family stays, with or without lines to draw.
  ui->Clear();
  testing::AddCurve(Family(), "vertical", {{1, 1}, {1, 2}});
  Family().MarkAll();
  EXPECT_NE(JunctionTableText(JunctionRows(Family(), GetJunctionOptions(), true))
                .find("vertical                      0             -             -"),
            std::string::npos);
  EXPECT_FALSE(JunctionTableCommand(nullptr));
  ExpectOneMessage(kJunctionNothingFoundText, kJunctionTableCaption, platform::MB_ICONINFORMATION);
  ui->Clear();
  GetJunctionOptions().rnDrawLines = 1;
  EXPECT_FALSE(JunctionTableCommand(nullptr));
  ExpectOneMessage(kJunctionNoLinesText, kJunctionTableCaption, platform::MB_ICONINFORMATION);
  EXPECT_EQ(Family().Count(), 2u);
  EXPECT_FALSE(curves::UndoAvailable());
}

TEST_F(JunctionTableTest, SigmaIcOfBothSignsAndTogether) {
  AddFamily();
  const SigmaIc s = SigmaIcOf(JunctionRows(Family(), GetJunctionOptions(), true));
  EXPECT_EQ(s.plus.Count(), 3u);
  EXPECT_EQ(s.minus.Count(), 3u);
  EXPECT_EQ(s.both.Count(), 6u);
  EXPECT_NEAR(s.plus.Mean(), 1.1e-3, 1e-9);
  EXPECT_NEAR(s.both.StandardDeviation(), std::sqrt(2.0 / 3) * 1e-4, 1e-9);
  EXPECT_NEAR(s.minus.Spread(), 2e-4, 1e-9);
  const std::string text = SigmaIcText(s);
  EXPECT_NE(text.find("n                          3            3            6\r\n"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("mean               +1.100 mA    +1.100 mA    +1.100 mA\r\n"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("sigma/mean (%)         7.423        7.423        7.423\r\n"),
            std::string::npos)
      << text;
  EXPECT_NE(SigmaIcTabText(s).find("min\t0.001\t0.001\t0.001\r\n"), std::string::npos);

  ASSERT_TRUE(SigmaIcCommand(nullptr));  // shows, changes nothing
  const auto modal = ui->CallsOf(platform::UiCall::Kind::Modal);
  ASSERT_EQ(modal.size(), 1u);
  EXPECT_EQ(modal[0].caption, kSigmaIcCaption);

  ui->Clear();
  Family().Clear();
  testing::AddCurve(Family(), "flat", {{0, 0}, {1, 0}});
  Family().MarkAll();
  EXPECT_FALSE(SigmaIcCommand(nullptr));
  ExpectOneMessage(kSigmaIcNoneText, kSigmaIcCaption, platform::MB_ICONHAND);
}

}  // namespace
}  // namespace tsm::math
