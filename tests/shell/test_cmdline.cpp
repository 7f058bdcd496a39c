#include "shell/cmdline.h"

#include <gtest/gtest.h>

#include "tests/shell/fatal_hook.h"
#include "tests/support/test_support.h"

namespace tsm::shell {
namespace {

using testing::Fatal;
using tsm::testing::TempDir;
using Args = std::vector<std::string>;

class CommandLine : public testing::FatalTest {
 protected:
  CommandLine() {
    platform::ClearAssertions();
    ResetCommandLine();
  }
  ~CommandLine() override { ResetCommandLine(); }
  TempDir dir;
};

TEST_F(CommandLine, TokensFollowTheQuoteRules) {
  ParseCommandLine("a \"b c\" 'd''e'");
  EXPECT_EQ(CommandLineArguments(), (Args{"prog.exe", "a", "b c", "d'e"}));
  ParseCommandLine("  -i:\"C:\\data\\my file.ini\"\t`x y`z\r\nq\"\"r '' ");
  EXPECT_EQ(CommandLineArguments(),
            (Args{"prog.exe", "-i:C:\\data\\my file.ini", "x yz", "qr", ""}));
  // An unclosed quote runs to the end; other quote characters inside are kept.
  ParseCommandLine("\"it's `here");
  EXPECT_EQ(CommandLineArguments(), (Args{"prog.exe", "it's `here"}));
  ParseCommandLine("");
  EXPECT_EQ(CommandLineArguments(), (Args{"prog.exe"}));
  ParseCommandLine(nullptr);
  EXPECT_EQ(PositionalCount(), 1);
}

TEST_F(CommandLine, TokensPastTheThirtyFirstAreIgnored) {
  std::string text;
  std::vector<std::string> argv = {"tesmira"};
  for (int i = 1; i <= 40; ++i) {
    text += "t" + std::to_string(i) + " ";
    argv.push_back("'a " + std::to_string(i) + "'");
  }
  ParseCommandLine(text.c_str());
  ASSERT_EQ(CommandLineArguments().size(), 32u);
  EXPECT_EQ(CommandLineArguments().back(), "t31");
  // The argument vector is taken as given: no quote processing, same cap.
  std::vector<const char*> ptrs;
  for (const auto& a : argv) ptrs.push_back(a.c_str());
  ParseArgv(static_cast<int>(ptrs.size()), ptrs.data());
  ASSERT_EQ(CommandLineArguments().size(), 32u);
  EXPECT_EQ(CommandLineArguments()[0], "tesmira");
  EXPECT_EQ(CommandLineArguments()[1], "'a 1'");
  EXPECT_EQ(PositionalArgument(31), std::string("'a 31'"));
}

TEST_F(CommandLine, SwitchesMatchByPrefixCaseSensitivelyFirstWins) {
  ParseCommandLine("data.dat -I:upper -i:first /i:second -u:me -iz");
  char buf[64] = "untouched";
  EXPECT_EQ(FindSwitch("i:", buf, sizeof buf), 3);
  EXPECT_STREQ(buf, "first");
  EXPECT_EQ(FindSwitch("I:", buf, sizeof buf), 2);
  EXPECT_STREQ(buf, "upper");
  EXPECT_EQ(FindSwitch("i", buf, sizeof buf), 3);  // "i" is a prefix of "i:first"
  EXPECT_STREQ(buf, ":first");
  EXPECT_EQ(FindSwitch("x:", buf, sizeof buf), 0);
  EXPECT_EQ(FindSwitch("u:", nullptr, 0), 5);
  char small[3];
  EXPECT_EQ(FindSwitch("i:", small, sizeof small), 3);
  EXPECT_STREQ(small, "fi");
  EXPECT_EQ(GetStringSwitch("u:", std::string("anonymous")), "me");
  EXPECT_EQ(GetStringSwitch("n:", std::string("anonymous")), "anonymous");
  char name[64];
  EXPECT_STREQ(GetStringSwitch("u:", "anonymous", name, sizeof name), "me");
  EXPECT_STREQ(GetStringSwitch("v:", "anonymous", name, 5), "anon");
}

TEST_F(CommandLine, OptionFileIsConsultedBeforeTheCommandLine) {
  const std::string opts = dir.Write("opts.txt", "-i:fromfile.ini\n  -u:\"quoted user\"\r\n-n:12 -@x");
  const std::string both = "-@" + opts + " -i:cmd.ini";
  ParseCommandLine(both.c_str());
  EXPECT_EQ(GetStringSwitch("i:", std::string("tsm.ini")), "cmd.ini");
  ParseCommandLine(("-@" + opts).c_str());
  EXPECT_EQ(GetStringSwitch("i:", std::string("tsm.ini")), "fromfile.ini");
  // Words of the option file are not quote-processed: no blanks in a value.
  EXPECT_EQ(GetStringSwitch("u:", std::string("anonymous")), "\"quoted");
  EXPECT_EQ(GetIntSwitch("n:", 5), 12);
  // The option file's own "-@" is not followed.
  EXPECT_EQ(FindSwitch("@", nullptr, 0), 1);
  char word[32];
  EXPECT_EQ(FindSwitchInText(OptionText().c_str(), "@", word, sizeof word), 1);
  EXPECT_STREQ(word, "x");
  // A later parse without "@" forgets the option text.
  ParseCommandLine("a");
  EXPECT_EQ(OptionText(), "");
  EXPECT_EQ(GetStringSwitch("i:", std::string("tsm.ini")), "tsm.ini");
}

TEST_F(CommandLine, OptionFileFailures) {
  const std::string missing = dir.File("none.txt");
  EXPECT_TRUE(Fatal([&] { ParseCommandLine(("-@" + missing).c_str()); }, 3,
                    "Can't open option's file '" + missing + "'"));
  EXPECT_TRUE(Fatal([&] { ParseCommandLine(("-@" + dir.Path().string()).c_str()); }, 3,
                    "Can't open option's file '" + dir.Path().string() + "'"));
  // A FIFO would block the start, a device fill the limit with its bytes.
  const std::string fifo = dir.File("pipe.txt");
  tsm::testing::MakeFifo(fifo);
  for (const std::string& path : {fifo, std::string("/dev/zero")}) {
    bool refused = false;
    EXPECT_TRUE(tsm::testing::ReturnsWithin(
        std::chrono::seconds(10),
        [&] {
          refused = Fatal([&] { ParseCommandLine(("-@" + path).c_str()); }, 3,
                          "Can't open option's file '" + path + "'");
        },
        [&] { tsm::testing::UnblockFifo(fifo); }));
    EXPECT_TRUE(refused) << path;
  }
  const std::string big = dir.Write("big.txt", std::string(4097, 'x'));
  EXPECT_TRUE(Fatal([&] { ParseCommandLine(("/@" + big).c_str()); }, 5,
                    "Internal error: options file is larger than 4096 bytes\n"));
  const std::string full = dir.Write("full.txt", "-k:7 " + std::string(4091, ' '));
  ParseCommandLine(("-@" + full).c_str());
  EXPECT_EQ(OptionText().size(), 4096u);
  EXPECT_EQ(GetIntSwitch("k:", 0), 7);
  EXPECT_TRUE(Fatal([] { ParseCommandLine("-@"); }, 4, "Invalid -@ parameter -- string missing\n"));
}

TEST_F(CommandLine, TypedSwitches) {
  ParseCommandLine("-n:42x -m:-7 -f:2.5e3 -g:inf -b:+ -c:- -d: -e:yes -s: -z:abc -h:.5");
  EXPECT_EQ(GetIntSwitch("n:", 0), 42);
  EXPECT_EQ(GetIntSwitch("m:", 0), -7);
  EXPECT_EQ(GetIntSwitch("absent:", 9), 9);
  EXPECT_DOUBLE_EQ(GetFloatSwitch("f:", 0), 2500.0);
  EXPECT_DOUBLE_EQ(GetFloatSwitch("h:", 0), 0.5);
  EXPECT_DOUBLE_EQ(GetFloatSwitch("absent:", 1.5), 1.5);
  EXPECT_EQ(GetFlagSwitch("b:", 0), 1);
  EXPECT_EQ(GetFlagSwitch("c:", 1), 0);
  EXPECT_EQ(GetFlagSwitch("d:", 1), 0);
  EXPECT_EQ(GetFlagSwitch("d:", 0), 1);
  EXPECT_EQ(GetFlagSwitch("absent:", 1), 1);
  EXPECT_TRUE(Fatal([] { GetIntSwitch("z:", 0); }, 4,
                    "Invalid -z: parameter -- not an integer number\n"));
  EXPECT_TRUE(Fatal([] { GetIntSwitch("s:", 0); }, 4,
                    "Invalid -s: parameter -- not an integer number\n"));
  EXPECT_TRUE(Fatal([] { GetFloatSwitch("g:", 0); }, 4, "Invalid -g: parameter -- not a number\n"));
  EXPECT_TRUE(Fatal([] { GetFlagSwitch("e:", 0); }, 4,
                    "Invalid -e: parameter -- not +,- or space\n"));
  EXPECT_TRUE(Fatal([] { GetStringSwitch("s:", std::string("x")); }, 4,
                    "Invalid -s: parameter -- string missing\n"));
  char buf[8];
  EXPECT_TRUE(Fatal([&] { GetStringSwitch("s:", "x", buf, sizeof buf); }, 4,
                    "Invalid -s: parameter -- string missing\n"));
}

TEST_F(CommandLine, ABadValueInTheOptionFileIsFatalToo) {
  const std::string opts = dir.Write("o.txt", "-n:many -u:");
  ParseCommandLine(("-@" + opts + " -n:3").c_str());
  EXPECT_TRUE(Fatal([] { GetIntSwitch("n:", 0); }, 4,
                    "Invalid -n: parameter -- not an integer number\n"));
  EXPECT_TRUE(Fatal([] { GetStringSwitch("u:", std::string("anonymous")); }, 4,
                    "Invalid -u: parameter -- string missing\n"));
}

TEST_F(CommandLine, Lists) {
  ParseCommandLine(
      "-d:1.5,,2;-3e2 -i:\"4 ;5\t6\" -big:1,2,3,4 -bad:1,2x -ovf:1e999 -ext:2147483647 "
      "-ext2:-2147483648 -huge:99999999999 -ok:2147483646,-2147483647 -e: -fine:1e-999");
  double d[4] = {};
  EXPECT_EQ(GetDoubleList("d:", d, 4), 3u);
  EXPECT_DOUBLE_EQ(d[0], 1.5);
  EXPECT_DOUBLE_EQ(d[1], 2.0);
  EXPECT_DOUBLE_EQ(d[2], -300.0);
  EXPECT_EQ(GetDoubleList("absent:", d, 4), 0u);
  EXPECT_EQ(GetDoubleList("fine:", d, 4), 1u);  // an underflow is just 0
  int n[3] = {};
  EXPECT_EQ(GetIntList("i:", n, 3), 3u);
  EXPECT_EQ(n[0] + n[1] + n[2], 15);
  EXPECT_EQ(GetIntList("ok:", n, 3), 2u);
  EXPECT_EQ(n[1], -2147483647);
  EXPECT_TRUE(Fatal([&] { GetDoubleList("big:", d, 3); }, 4,
                    "Too long list of values in -big:. Maximum 3 items allowed."));
  EXPECT_TRUE(Fatal([&] { GetIntList("big:", n, 3); }, 4,
                    "Too long list of values in -big:. Maximum 3 items allowed."));
  EXPECT_TRUE(Fatal([&] { GetDoubleList("bad:", d, 3); }, 4, "Bad formed list of doubles in -bad:"));
  EXPECT_TRUE(Fatal([&] { GetIntList("bad:", n, 3); }, 4, "Bad formed list of doubles in -bad:"));
  EXPECT_TRUE(Fatal([&] { GetDoubleList("ovf:", d, 3); }, 4, "Bad formed list of doubles in -ovf:"));
  for (const char* name : {"ext:", "ext2:", "huge:"})
    EXPECT_TRUE(Fatal([&] { GetIntList(name, n, 3); }, 4,
                      std::string("Bad formed list of doubles in -") + name));
  EXPECT_TRUE(Fatal([&] { GetIntList("e:", n, 3); }, 4, "Invalid -e: parameter -- string missing\n"));
}

TEST_F(CommandLine, PositionalArguments) {
  ParseCommandLine("a -x b");
  EXPECT_EQ(PositionalCount(), 3);
  EXPECT_STREQ(PositionalArgument(1), "a");
  EXPECT_STREQ(PositionalArgument(2), "b");
  EXPECT_EQ(PositionalArgument(3), nullptr);
  EXPECT_EQ(PositionalArgument(0), nullptr);

  ParseCommandLine("12 -q 2.5e-1 abc");
  EXPECT_EQ(PositionalInt(1, 0), 12);
  EXPECT_DOUBLE_EQ(PositionalFloat(2, 0), 0.25);
  EXPECT_EQ(PositionalInt(4, -1), -1);
  EXPECT_DOUBLE_EQ(PositionalFloat(4, 1.5), 1.5);
  EXPECT_TRUE(Fatal([] { PositionalInt(3, 0); }, 4,
                    "The 3rd parameter is invalid:\"abc\" is not an integer\n"));
  EXPECT_TRUE(Fatal([] { PositionalFloat(3, 0); }, 4,
                    "The 3rd parameter is invalid:\"abc\" is not an floating point number\n"));
}

TEST_F(CommandLine, AnExistingAbsolutePathIsPositional) {
  const std::string file = dir.Write("run 1.dat", "x");
  ParseCommandLine(("\"" + file + "\" /i:" + dir.File("missing.ini")).c_str());
  EXPECT_EQ(PositionalCount(), 2);
  EXPECT_EQ(PositionalArgument(1), file);
  char buf[256];
  EXPECT_EQ(FindSwitch("i:", buf, sizeof buf), 2);
  EXPECT_EQ(FindSwitch("", buf, sizeof buf), 2);  // the path is no switch
}

TEST_F(CommandLine, WordsOfAText) {
  char w[8];
  EXPECT_EQ(StringFindSwith("  one\ttwo\r\nthree ", 2, w, sizeof w), 1);
  EXPECT_STREQ(w, "two");
  EXPECT_EQ(StringFindSwith("one two", 3, w, sizeof w), 0);
  EXPECT_STREQ(w, "");
  EXPECT_EQ(StringFindSwith("one", 0, w, sizeof w), 0);
  EXPECT_EQ(StringFindSwith("1234567", 1, w, sizeof w), 1);  // exactly fits
  try {
    StringFindSwith("12345678", 1, w, sizeof w);
    ADD_FAILURE() << "no fatal exit";
  } catch (const testing::FatalExit& e) {
    EXPECT_EQ(e.code, 5);
    EXPECT_EQ(e.text.rfind("Internal Error in StringFindSwith() -- buffer is too small\nFile: cmdline, line ", 0), 0u);
    EXPECT_NE(e.text.find("\nContact developers\n"), std::string::npos);
  }
  EXPECT_EQ(FindSwitchInText("a -t:1 /t:2", "t:", w, sizeof w), 1);
  EXPECT_STREQ(w, "1");
  EXPECT_EQ(FindSwitchInText("a t:1", "t:", w, sizeof w), 0);
  EXPECT_EQ(FindSwitchInText(nullptr, "t:", w, sizeof w), 0);
}

TEST_F(CommandLine, OrdinalSuffixLooksAtTheLastDigitOnly) {
  EXPECT_STREQ(OrdinalSuffix(1), "st");
  EXPECT_STREQ(OrdinalSuffix(2), "nd");
  EXPECT_STREQ(OrdinalSuffix(3), "rd");
  EXPECT_STREQ(OrdinalSuffix(4), "th");
  EXPECT_STREQ(OrdinalSuffix(10), "th");
  EXPECT_STREQ(OrdinalSuffix(11), "st");
  EXPECT_STREQ(OrdinalSuffix(12), "nd");
  EXPECT_STREQ(OrdinalSuffix(13), "rd");
  EXPECT_STREQ(OrdinalSuffix(14), "th");
  EXPECT_STREQ(OrdinalSuffix(22), "nd");
}

}  // namespace
}  // namespace tsm::shell
