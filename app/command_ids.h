// The ids of the main window's commands that the shell itself carries out
// (files, edit, help, the calculus of the family). The modules keep the ids
// of their own commands (plot/zoom.h, plot/selection.h, channels/..., daq/...).
#pragma once

namespace tsm::app {

inline constexpr int kCmdAbout = 2;
inline constexpr int kCmdExit = 125;
inline constexpr int kCmdOpen = 197;
inline constexpr int kCmdAdd = 198;
inline constexpr int kCmdSave = 271;
inline constexpr int kCmdOpenCommandLineFile = 266;
inline constexpr int kCmdUserName = 199;
inline constexpr int kCmdHelpContent = 195;
inline constexpr int kCmdHelpSearch = 196;

inline constexpr int kCmdUndo = 187;
inline constexpr int kCmdClearScreen = 191;
inline constexpr int kCmdDeleteCurves = 221;
inline constexpr int kCmdStyle = 229;
inline constexpr int kCmdSplitCurve = 259;
inline constexpr int kCmdDeletePointsIn = 233;

// Math menu.
inline constexpr int kCmdFilter = 100;
inline constexpr int kCmdSmooth = 101;
inline constexpr int kCmdSkipExtraPoints = 184;
inline constexpr int kCmdDerivativeX = 253;
inline constexpr int kCmdDerivativeY = 254;
inline constexpr int kCmdIntegrate = 255;
inline constexpr int kCmdShift = 216;
inline constexpr int kCmdScale = 217;
inline constexpr int kCmdAbs = 248;
inline constexpr int kCmdYAsNewX = 158;
inline constexpr int kCmdNormaliseYmin = 204;
inline constexpr int kCmdNormaliseYmax = 205;
inline constexpr int kCmdFFT = 280;
inline constexpr int kCmdLog10 = 281;
inline constexpr int kCmdStatistics = 257;
inline constexpr int kCmdSwapXY = 144;
inline constexpr int kCmdReversePoints = 156;
inline constexpr int kCmdMultiPointX = 145;
inline constexpr int kCmdMultiPointY = 183;
inline constexpr int kCmdSelfField = 250;
inline constexpr int kCmdRegularize = 275;
inline constexpr int kCmdJunctionTable = 110;
inline constexpr int kCmdHistogramIc = 273;
inline constexpr int kCmdHistogramRn = 256;
inline constexpr int kCmdHistogramIe = 274;
inline constexpr int kCmdArrayHistogram = 277;
inline constexpr int kCmdSigmaIc = 120;
// The same tools on the selected curves (context menu).
inline constexpr int kCmdShiftSelected = 244;
inline constexpr int kCmdScaleSelected = 245;
inline constexpr int kCmdAbsSelected = 247;
inline constexpr int kCmdYAxisAsNewX = 246;
inline constexpr int kCmdSelfFieldSelected = 252;

// Options menu.
inline constexpr int kCmdMathOptions = 139;
inline constexpr int kCmdJunctionOptions = 284;  // "&Junction Parameters"
inline constexpr int kCmdAveraging = 146;
inline constexpr int kCmdDelays = 172;
inline constexpr int kCmdAutoZero = 265;
inline constexpr int kCmdDataFileOptions = 142;
inline constexpr int kCmdGeneralMeasurement = 264;
inline constexpr int kCmdTrigger = 282;
inline constexpr int kCmdAxes = 171;

// Tool windows.
inline constexpr int kCmdCursors = 132;
inline constexpr int kCmdTemperature = 134;
inline constexpr int kCmdPictureInfo = 135;
inline constexpr int kCmdDerivativeWindowX = 180;
inline constexpr int kCmdDerivativeWindowY = 181;
inline constexpr int kToolWindowCommands[] = {kCmdCursors, kCmdTemperature, kCmdPictureInfo,
                                              kCmdDerivativeWindowX, kCmdDerivativeWindowY};
constexpr bool IsToolWindowCommand(int id) {
  for (int c : kToolWindowCommands)
    if (c == id) return true;
  return false;
}

// The help text of 195 and 196.
inline constexpr const char* kHelpOutOfDateText =
    "The help file is out-of-date. The latest information\nis available on the web. See Help | "
    "about for the current\naddress of the web site.";
inline constexpr const char* kHelpOutOfDateCaption = "Warning";

}  // namespace tsm::app
