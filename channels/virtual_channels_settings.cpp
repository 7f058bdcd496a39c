#include "channels/virtual_channels_settings.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "channels/virtual_channels.h"
#include "platform/profile.h"
#include "shell/stringex.h"

namespace tsm::channels {

using namespace tsm::platform;

namespace {
// Reals keep the "%G" of the file format.
constexpr const char* kRealFormat = "%G";

std::string CurrentKey(int i, const char* field) {
  return shell::Format("VirtCurr[%03d].%s", i, field);
}
std::string VoltageKey(int i, const char* field) {
  return shell::Format("VirtVolt[%03d].%s", i, field);
}

int ReadInt(const char* section, const std::string& key, int def, const char* file) {
  return GetPrivateProfileIntA(section, key.c_str(), def, file);
}

// A value outside 16 bits (a hand-edited or foreign file) keeps the default.
template <class T>
T Read16(const char* section, const std::string& key, T def, const char* file) {
  const int v = ReadInt(section, key, def, file);
  if (v < std::numeric_limits<T>::min() || v > std::numeric_limits<T>::max()) return def;
  return static_cast<T>(v);
}

float ReadReal(const char* section, const std::string& key, float def, const char* file) {
  const double v = ReadProfileFloat(section, key.c_str(), def, file);
  if (!std::isfinite(v) || std::fabs(v) > 3.4e38) return def;
  return static_cast<float>(v);
}

void ReadComment(const char* section, const std::string& key, char* comment, const char* file) {
  GetPrivateProfileStringA(section, key.c_str(), "", comment, kCommentLength, file);
}

void WriteInt(const char* section, const std::string& key, long long v, const char* file) {
  WriteProfileInt(section, key.c_str(), v, "%d", file);
}

void WriteReal(const char* section, const std::string& key, float v, const char* file) {
  WriteProfileFloat(section, key.c_str(), v, kRealFormat, file);
}
}  // namespace

int LoadVirtualChannels(const std::string& fileName) {
  const char* file = fileName.c_str();
  const char* cs = kCurrentsSection;
  for (int i = 0; i < kCurrentCount; ++i) {
    VirtualCurrent c;
    c.kind = Read16<std::uint16_t>(cs, CurrentKey(i, "kind"), c.kind, file);
    if (c.kind >= kCurrentKindCount) c.kind = kDisconnected;
    ReadComment(cs, CurrentKey(i, "comment"), c.comment, file);
    c.dacCard = Read16<std::uint16_t>(cs, CurrentKey(i, "DACSlot"), c.dacCard, file);
    c.dacChannel = Read16<std::int16_t>(cs, CurrentKey(i, "DACChan"), c.dacChannel, file);
    c.adcCard = Read16<std::uint16_t>(cs, CurrentKey(i, "ADCSlot"), c.adcCard, file);
    c.adcChannel = Read16<std::uint16_t>(cs, CurrentKey(i, "ADCChan"), c.adcChannel, file);
    c.adcGain = ReadReal(cs, CurrentKey(i, "ADCGain"), c.adcGain, file);
    c.extGain = ReadReal(cs, CurrentKey(i, "extGain"), c.extGain, file);
    c.R = ReadReal(cs, CurrentKey(i, "R"), c.R, file);
    c.flags = Read16<std::uint16_t>(cs, CurrentKey(i, "flag"), c.flags, file);
    SetCurrent(i, c);
    SetCurrentZeroShift(i, 0.0f);
  }
  const char* vs = kVoltagesSection;
  for (int i = 0; i < kVoltageCount; ++i) {
    VirtualVoltage v;
    v.kind = Read16<std::uint16_t>(vs, VoltageKey(i, "kind"), v.kind, file);
    if (v.kind >= kVoltageKindCount) v.kind = kNotConnected;
    ReadComment(vs, VoltageKey(i, "comment"), v.comment, file);
    v.adcCard = Read16<std::uint16_t>(vs, VoltageKey(i, "ADCSlot"), v.adcCard, file);
    v.adcChannel = Read16<std::uint16_t>(vs, VoltageKey(i, "ADCChan"), v.adcChannel, file);
    v.adcGain = ReadReal(vs, VoltageKey(i, "ADCGain"), v.adcGain, file);
    v.extGain = ReadReal(vs, VoltageKey(i, "extGain"), v.extGain, file);
    v.noAutoZero = Read16<std::uint16_t>(vs, VoltageKey(i, "NoAutoZero"), v.noAutoZero, file);
    SetVoltage(i, v);
    ClearVoltageZero(i);
  }
  RebindChangedCurrents();
  return 1;
}

int SaveVirtualChannels(const std::string& fileName) {
  const char* file = fileName.c_str();
  ProfileBatch batch;
  const char* cs = kCurrentsSection;
  const auto currents = AllCurrents();
  for (int i = 0; i < kCurrentCount; ++i) {
    const VirtualCurrent& c = currents[i];
    WriteInt(cs, CurrentKey(i, "kind"), c.kind, file);
    WritePrivateProfileStringA(cs, CurrentKey(i, "comment").c_str(), c.comment, file);
    WriteInt(cs, CurrentKey(i, "DACSlot"), c.dacCard, file);
    WriteInt(cs, CurrentKey(i, "DACChan"), c.dacChannel, file);
    WriteInt(cs, CurrentKey(i, "ADCSlot"), c.adcCard, file);
    WriteInt(cs, CurrentKey(i, "ADCChan"), c.adcChannel, file);
    WriteReal(cs, CurrentKey(i, "ADCGain"), c.adcGain, file);
    WriteReal(cs, CurrentKey(i, "extGain"), c.extGain, file);
    WriteReal(cs, CurrentKey(i, "R"), c.R, file);
    WriteInt(cs, CurrentKey(i, "flag"), c.flags, file);
  }
  const char* vs = kVoltagesSection;
  const auto voltages = AllVoltages();
  for (int i = 0; i < kVoltageCount; ++i) {
    const VirtualVoltage& v = voltages[i];
    WriteInt(vs, VoltageKey(i, "kind"), v.kind, file);
    WritePrivateProfileStringA(vs, VoltageKey(i, "comment").c_str(), v.comment, file);
    WriteInt(vs, VoltageKey(i, "ADCSlot"), v.adcCard, file);
    WriteInt(vs, VoltageKey(i, "ADCChan"), v.adcChannel, file);
    WriteReal(vs, VoltageKey(i, "ADCGain"), v.adcGain, file);
    WriteReal(vs, VoltageKey(i, "extGain"), v.extGain, file);
    WriteInt(vs, VoltageKey(i, "NoAutoZero"), v.noAutoZero, file);
  }
  return 1;
}

}  // namespace tsm::channels
