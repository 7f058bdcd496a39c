// DetectCards: finds every card the driver offers, decides the channels,
// ranges and gains of each, applies what "zentra.ini" and "Tribox.ini" say
// and writes the inventory text.
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "daq/cards.h"
#include "daq/gain_code.h"
#include "daq/input_fallback.h"
#include "platform/profile.h"
#include "shell/stringex.h"

namespace tsm::daq {

namespace {

constexpr std::int16_t kPlugInSlots = 16;
constexpr std::int16_t kLastChassis = 3;
constexpr int kAdcProbeChannels = 255;  // 0..254; 255 never counts
constexpr int kDacProbeChannels = 130;  // 0..129
constexpr unsigned long kNameSize = 128;
constexpr unsigned long kGainsTextSize = 128;
constexpr std::size_t kMaxListedGains = 100;

constexpr float kLinearGains[] = {0.01f, 0.1f, 0.2f, 0.5f, 1,   2,   5,
                                  10,    20,   50,   100,  200, 500, 1000};

// Appends to the inventory text without ever exceeding its capacity.
class Report {
 public:
  Report(std::string& text, std::size_t capacity) : text_(text), capacity_(capacity) {
    text_.clear();
  }
  void operator<<(const std::string& s) {
    if (capacity_ > 0) shell::BoundedAppend(text_, s, capacity_);
  }

 private:
  std::string& text_;
  std::size_t capacity_;
};

std::string WithSeparator(const std::string& directory) {
  if (directory.empty() || directory.back() == '/' || directory.back() == '\\') return directory;
  return directory + "/";
}

struct Files {
  std::string zentra;
  std::string tribox;
};

// The probe the inputs are classified with: reading 0 at gain code 1, or,
// on a card that refuses that gain, at gain code 0.
bool ProbeInput(std::int16_t slot, std::int16_t channel, std::int16_t gain, std::int16_t reading,
                double* volts = nullptr) {
  double v = 0.0;
  const bool ok = GetDriver().Input_Scale(slot, channel, gain, 1.0, 0.0, reading, &v) == 0;
  if (ok && volts) *volts = v;
  return ok;
}

ChannelRanges ProbeAdcChannels(std::int16_t slot) {
  ChannelRanges ranges;
  int runStart = -1;
  for (int ch = 0; ch <= kAdcProbeChannels; ++ch) {
    const auto c = static_cast<std::int16_t>(ch);
    const bool present =
        ch < kAdcProbeChannels && (ProbeInput(slot, c, 1, 0) || ProbeInput(slot, c, 0, 0));
    if (present && runStart < 0) runStart = ch;
    if (!present && runStart >= 0) {
      ranges.Add(static_cast<std::uint16_t>(runStart), static_cast<std::uint16_t>(ch - 1));
      runStart = -1;
    }
  }
  return ranges;
}

// Step "readings": the binary format of the inputs, then what zentra.ini
// says about it.
void DetectReadings(AdcCard& card, std::int16_t channel, std::int16_t gain,
                    const std::string& section, const Files& files) {
  const auto slot = static_cast<std::int16_t>(card.slot);
  std::uint16_t minR, maxR, zeroR, shift;
  if (!ProbeInput(slot, channel, gain, 4096)) {  // 12-bit
    minR = 0;
    maxR = 4095;
    zeroR = 2048;
    shift = ProbeInput(slot, channel, gain, 2049) ? 0 : 2048;
  } else {  // 16-bit: bipolar when the reading 32769 (-32767) is a negative voltage
    minR = 0;
    maxR = 65535;
    zeroR = 32768;
    double v = 0.0;
    const bool positive = ProbeInput(slot, channel, gain, -32767, &v) && v > 0.0;
    shift = positive ? 0 : 32768;
  }

  const char* file = files.zentra.c_str();
  const char* sec = section.c_str();
  const int fMin = platform::GetPrivateProfileIntA(sec, "ADC.MinReading", minR, file);
  const int fMax = platform::GetPrivateProfileIntA(sec, "ADC.MaxReading", maxR, file);
  const int fZero = platform::GetPrivateProfileIntA(sec, "ADC.ZeroReading", zeroR, file);
  const int fShift = platform::GetPrivateProfileIntA(sec, "ADC.ZeroShift", shift, file);
  // Readings are unsigned 16-bit values; a shift is taken modulo 65536, so a
  // negative one means the same as its complement.
  auto reading = [](int v) { return v >= 0 && v <= 65535; };
  const bool valid = reading(fMin) && reading(fMax) && reading(fZero) && fShift >= -65535 &&
                     fShift <= 65535 && fMin < fZero && fZero < fMax;
  if (valid) {
    card.minReading = static_cast<std::uint16_t>(fMin);
    card.maxReading = static_cast<std::uint16_t>(fMax);
    card.zeroReading = static_cast<std::uint16_t>(fZero);
    card.zeroShift = static_cast<std::uint16_t>(fShift);
    const bool same = card.minReading == minR && card.maxReading == maxR &&
                      card.zeroReading == zeroR && card.zeroShift == shift;
    card.readingsSource = same ? kSourceSame : kSourceZentraIni;
  } else {
    card.minReading = minR;
    card.maxReading = maxR;
    card.zeroReading = zeroR;
    card.zeroShift = shift;
    card.readingsSource = kSourceAutodetect;
  }
}

void DetectVoltages(AdcCard& card, std::int16_t channel, std::int16_t gain) {
  const auto slot = static_cast<std::int16_t>(card.slot);
  double v = 0.0;
  card.minVoltage = InputScaleWithFallback(slot, channel, gain, 1.0, 0.0,
                                           DriverReadingFromReading(card, card.minReading), &v) == 0
                        ? v
                        : 0.0;
  v = 0.0;
  card.maxVoltage = InputScaleWithFallback(slot, channel, gain, 1.0, 0.0,
                                           DriverReadingFromReading(card, card.maxReading), &v) == 0
                        ? v
                        : 0.0;
}

// The "gains" key: numbers separated by any of newline, carriage return,
// blank, comma, semicolon, tab and colon, read until one fails to parse.
std::vector<float> ParseGains(const std::string& text) {
  static constexpr char kSeparators[] = "\n\r ,;\t:";
  std::vector<float> gains;
  std::size_t pos = 0;
  while (gains.size() < kMaxListedGains) {
    pos = text.find_first_not_of(kSeparators, pos);
    if (pos == std::string::npos) break;
    const std::size_t end = std::min(text.find_first_of(kSeparators, pos), text.size());
    const std::string token = text.substr(pos, end - pos);
    char* stop = nullptr;
    const double value = std::strtod(token.c_str(), &stop);
    if (stop == token.c_str() || *stop != '\0' || !std::isfinite(value)) break;
    gains.push_back(static_cast<float>(value));
    pos = end;
  }
  return gains;
}

void DetectGains(AdcCard& card, std::int16_t channel, const std::string& section,
                 const Files& files) {
  const auto slot = static_cast<std::int16_t>(card.slot);
  std::vector<float> found;
  bool foundLog = false;
  auto tryGain = [&](float g) {
    if (ProbeInput(slot, channel, GainCode(g), 0)) {
      found.push_back(g);
      if (g == 0.0f) foundLog = true;
    }
  };
  if (!ProbeInput(slot, channel, 1, 0)) {  // a card with gains in dB
    foundLog = true;
    for (int db = -60; db <= 90; db += 10) tryGain(static_cast<float>(db));
  } else {
    for (float g : kLinearGains) tryGain(g);
  }

  const std::vector<float> listed = ParseGains(platform::ReadProfileString(
      section, "gains", "", files.zentra, kGainsTextSize));
  bool listedLog =
      platform::GetPrivateProfileIntA(section.c_str(), "logGains", 0, files.zentra.c_str()) != 0;
  for (float g : listed)
    if (g == 0.0f) listedLog = true;

  if (!listed.empty()) {
    card.gains = listed;
    card.logGains = listedLog;
    card.gainsSource = (!found.empty() && foundLog == listedLog) ? kSourceSame : kSourceZentraIni;
  } else if (!found.empty()) {
    card.gains = found;
    card.logGains = foundLog;
    card.gainsSource = kSourceAutodetect;
  } else {
    card.gains = {1.0f};
    card.logGains = false;
    card.gainsSource = kSourceWrongNoAutodetect;
  }
}

std::string AdcLines(const AdcCard& card) {
  std::string out;
  if (!card.gains.empty()) {
    std::string line = shell::Format("  Number of gains:%u (%G",
                                     static_cast<unsigned>(card.gains.size()), card.gains[0]);
    for (std::size_t i = 1; i < card.gains.size(); ++i)
      line += shell::Format(",%G", card.gains[i]);
    line += shell::Format(") Scale:%s (Source:%s)\n", card.logGains ? "Log" : "Lin",
                          SourceText(card.gainsSource));
    out += line;
  }
  out += shell::Format(
      "  ADC: %3u channels, Reading=[%u, %u, %u], ADC Voltage=[%f, %f] (Source: %s)\n",
      card.channels.Count(), card.minReading, card.zeroReading, card.maxReading, card.minVoltage,
      card.maxVoltage, SourceText(card.readingsSource));
  return out;
}

void DetectAdc(Report& out, std::uint32_t type, std::int16_t slot, const std::string& name,
               const std::string& section, const Files& files) {
  AdcCard card;
  card.channels = ProbeAdcChannels(slot);
  if (card.channels.Count() == 0) return;
  card.typeCode = type;
  card.chassis = 0;
  card.slot = static_cast<std::uint16_t>(slot);
  card.name = name;
  // Classify on the card's first input (channel 0 on every card we know)
  // with the gain code that input accepts.
  std::uint16_t first = 0;
  card.channels.NthChannel(0, &first);
  const auto channel = static_cast<std::int16_t>(first);
  const std::int16_t gain = ProbeInput(slot, channel, 1, 0) ? 1 : 0;
  DetectReadings(card, channel, gain, section, files);
  DetectVoltages(card, channel, gain);
  DetectGains(card, channel, section, files);
  const std::string lines = AdcLines(card);
  if (!AddAdcCard(std::move(card))) {
    out << "  ADC: not used, the table holds 16 ADC cards\n";
    return;
  }
  out << lines;
}

// The largest (or smallest) voltage Output_Scale accepts on channel 0, found
// by halving the interval between an accepted and a refused voltage until
// the midpoint is one of them.
double BisectOutputRange(std::int16_t slot, double accepted, double refused) {
  for (;;) {
    const double mid = (accepted + refused) / 2.0;
    if (mid == accepted || mid == refused) return accepted;
    std::int16_t code = 0;
    if (GetDriver().Output_Scale(slot, 0, mid, &code) == 0)
      accepted = mid;
    else
      refused = mid;
  }
}

void FillPlugInDacRange(DacCard& card) {
  const auto slot = static_cast<std::int16_t>(card.slot);
  card.minVoltage = BisectOutputRange(slot, 0.0, -1000.0);
  card.maxVoltage = BisectOutputRange(slot, 0.0, 1000.0);
  card.minCode = 0;
  std::int16_t top = 0, bottom = 0, zero = 0;
  GetDriver().Output_Scale(slot, 0, card.maxVoltage, &top);
  GetDriver().Output_Scale(slot, 0, card.minVoltage, &bottom);
  switch (top) {
    case 32767: card.zeroShift = 32768; card.maxCode = 65535; break;
    case 2047: card.zeroShift = 2048; card.maxCode = 4095; break;
    case 4095: card.zeroShift = 0; card.maxCode = 4095; break;
    case -1: card.zeroShift = 0; card.maxCode = 65535; break;
    default:
      // Another resolution: a bipolar converter (negative codes below 0 V)
      // is shifted by half its span, a unipolar one is taken as it is.
      if (bottom < 0 && top > 0) {
        card.zeroShift = static_cast<std::uint16_t>(top + 1);
        card.maxCode = static_cast<std::uint16_t>(2 * top + 1);
      } else {
        card.zeroShift = 0;
        card.maxCode = static_cast<std::uint16_t>(top);
      }
      break;
  }
  GetDriver().Output_Scale(slot, 0, 0.0, &zero);
  card.zeroCode = CodeFromDriverCode(card, zero);
}

void DetectDac(Report& out, std::uint32_t type, std::int16_t chassis, std::int16_t slot,
               const std::string& name) {
  Driver& driver = GetDriver();
  std::uint16_t count = 0;
  for (int ch = 0; ch < kDacProbeChannels; ++ch, ++count) {
    const auto c = static_cast<std::int16_t>(ch);
    DriverStatus status;
    if (chassis == 0) {
      std::int16_t code = 0;
      status = driver.Output_Scale(slot, c, 0.0, &code);
    } else {
      std::int32_t probe = 0;
      status = driver.Module_Output_Op(chassis, slot, c, kModuleOpProbe, kModuleModeProbe, 0, 0,
                                       0, &probe);
    }
    if (status != kStatusOk) break;
  }
  if (count == 0) return;

  DacCard card;
  card.typeCode = type;
  card.chassis = static_cast<std::uint16_t>(chassis);
  card.slot = static_cast<std::uint16_t>(slot);
  card.name = name;
  card.channelCount = count;
  if (chassis != 0) {
    card.minVoltage = -10.0;
    card.maxVoltage = 9.9951171875;
    card.minCode = 0;
    card.maxCode = 4095;
    card.zeroCode = 2048;
    card.zeroShift = 0;
  } else {
    FillPlugInDacRange(card);
  }
  const std::string line =
      shell::Format("  DAC: %3u channels, Reading=[%u,%u,%u], DAC Voltage=[%f,%f]\n",
                    card.channelCount, card.minCode, card.zeroCode, card.maxCode,
                    card.minVoltage, card.maxVoltage);
  if (!AddDacCard(std::move(card))) {
    out << "  DAC: not used, the table holds 16 DAC cards\n";
    return;
  }
  out << line;
}

void DetectPlugInSlot(Report& out, std::int16_t slot, const Files& files) {
  std::uint32_t type = 0;
  if (GetDriver().Device_Query(slot, kAttributeCardType, &type) != kStatusOk) return;
  const std::string section = shell::Format("%lu", static_cast<unsigned long>(type));
  const std::string name =
      platform::ReadProfileString(section, "name", section, files.zentra, kNameSize);
  out << shell::Format("Slot #%02u: Card-ID:%lu, Name:%s\n", static_cast<unsigned>(slot),
                       static_cast<unsigned long>(type), name.c_str());
  DetectAdc(out, type, slot, name, section, files);
  DetectDac(out, type, 0, slot, name);
}

void DetectTriboxSlot(Report& out, std::int16_t chassis, std::int16_t slot, const Files& files) {
  std::int32_t id = 0;
  if (GetDriver().Module_Query(chassis, slot, &id) != kStatusOk || id < 1) return;
  const std::string section = shell::Format("%d", static_cast<int>(id));
  const std::string name =
      platform::ReadProfileString(section, "name", "???", files.tribox, kNameSize);
  out << shell::Format("  module in slot #%2d: name=%s [ID=%d]\n", static_cast<int>(slot),
                       name.c_str(), static_cast<int>(id));
  // A Tribox module has no analogue inputs.
  DetectDac(out, static_cast<std::uint32_t>(id), chassis, slot, name);
}

}  // namespace

std::uint16_t DetectCards(std::string& report, std::size_t capacity,
                          const std::string& directory) {
  ResetCards();
  Report out(report, capacity);
  const std::string dir = WithSeparator(directory);
  const Files files{dir + "zentra.ini", dir + "Tribox.ini"};
  Driver& driver = GetDriver();

  std::uint32_t version = 0;
  if (driver.Get_Zentra_Version(&version) == kStatusOk)
    out << shell::Format("Zentra version %04X detected.", version);
  else
    out << "Get_Zentra_Version() failed\n";
  out << "\n";

  for (std::int16_t chassis = 0; chassis <= kLastChassis; ++chassis) {
    int slots = 0;
    if (chassis == 0) {
      slots = kPlugInSlots;
    } else {
      std::int16_t unused1 = 0, address = 0, present = 0, unused2 = 0, count = 0;
      if (driver.Chassis_Query(chassis, &unused1, &address, &present, &unused2, &count) ==
              kStatusOk &&
          present) {
        out << shell::Format("Tribox_Chassis #%02d: addr=%2d, contains %d slots\n",
                             static_cast<int>(chassis), static_cast<int>(address),
                             static_cast<int>(count));
        slots = count;
      }
    }
    for (int slot = 1; slot <= slots; ++slot) {
      const auto s = static_cast<std::int16_t>(slot);
      if (chassis == 0)
        DetectPlugInSlot(out, s, files);
      else
        DetectTriboxSlot(out, chassis, s, files);
    }
  }

  std::uint16_t flags = 0;
  if (DacCardCount() == 0) flags |= kNoDacCard;
  if (AdcCardCount() == 0) flags |= kNoAdcCard;
  return flags;
}

}  // namespace tsm::daq
