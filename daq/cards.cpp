#include "daq/cards.h"

#include <algorithm>

#include "daq/gain_code.h"
#include "daq/input_fallback.h"
#include "platform/assert.h"
#include "platform/ui.h"
#include "shell/stringex.h"

namespace tsm::daq {

namespace {

constexpr const char* kSource = "dac_adc";

// The inventory's process-wide state: filled by detection on the UI thread
// before any measurement, read-only afterwards (the scanning cursors aside).
struct CardTables {
  std::vector<DacCard> dac;
  std::vector<AdcCard> adc;
};
CardTables& Tables() {
  static CardTables tables;
  return tables;
}

void Beep() { platform::GetUi().MessageBeep(platform::MB_SIMPLEBEEP); }

std::uint16_t ReadAdcWith(std::size_t cardIndex, std::uint16_t channel, float gain,
                          bool fallback) {
  const std::vector<AdcCard>& adc = Tables().adc;
  if (!TSM_ASSERT(cardIndex < adc.size(), kSource)) return 0;
  const AdcCard& card = adc[cardIndex];
  const std::int16_t code = GainCode(gain);
  const auto slot = static_cast<std::int16_t>(card.slot);
  const auto ch = static_cast<std::int16_t>(channel);
  std::int16_t reading = 0;
  const DriverStatus status = fallback ? InputReadWithFallback(slot, ch, code, &reading)
                                       : GetDriver().Input_Read(slot, ch, code, &reading);
  if (status != kStatusOk) {
    Beep();
    return card.zeroReading;
  }
  return ReadingFromDriver(card, reading);
}

}  // namespace

const char* SourceText(int source) {
  switch (source) {
    case kSourceWrongNoAutodetect: return "zentra.ini is wrong/incomplete, autodetection n/a";
    case kSourceAutodetect: return "autodetection, zentra.ini is wrong/incomplete";
    case kSourceSame: return "autodetection, zentra.ini has the same data or nothing";
    case kSourceZentraIni: return "zentra.ini";
    default: return "";
  }
}

std::uint16_t DacCardCount() { return static_cast<std::uint16_t>(Tables().dac.size()); }
std::uint16_t AdcCardCount() { return static_cast<std::uint16_t>(Tables().adc.size()); }

const DacCard* DacCardAt(std::size_t index) {
  return index < Tables().dac.size() ? &Tables().dac[index] : nullptr;
}
const AdcCard* AdcCardAt(std::size_t index) { return MutableAdcCardAt(index); }
AdcCard* MutableAdcCardAt(std::size_t index) {
  return index < Tables().adc.size() ? &Tables().adc[index] : nullptr;
}

bool AddDacCard(DacCard card) {
  if (Tables().dac.size() >= kMaxDacCards) return false;
  Tables().dac.push_back(std::move(card));
  return true;
}

bool AddAdcCard(AdcCard card) {
  if (Tables().adc.size() >= kMaxAdcCards) return false;
  Tables().adc.push_back(std::move(card));
  return true;
}

void ResetCards() {
  Tables().dac.clear();
  Tables().adc.clear();
}

std::string VersionText() {
  std::uint32_t version = 0;
  if (GetDriver().Get_Zentra_Version(&version) == kStatusOk)
    return shell::Format("Zentra version %04X detected.", version);
  return "Get_Zentra_Version() failed\n";
}

std::string DacListText() {
  std::string text;
  const std::vector<DacCard>& dac = Tables().dac;
  for (std::size_t i = 0; i < dac.size(); ++i)
    text += shell::Format("DAC_%02u:id=%u(%s), %u chanels\n", static_cast<unsigned>(i),
                          dac[i].typeCode, dac[i].name.c_str(), dac[i].channelCount);
  return text;
}

std::string AdcListText() {
  std::string text;
  const std::vector<AdcCard>& adc = Tables().adc;
  for (std::size_t i = 0; i < adc.size(); ++i)
    text += shell::Format("ADC_%02u:id=%u(%s), %u chanels\n", static_cast<unsigned>(i),
                          adc[i].typeCode, adc[i].name.c_str(), adc[i].channels.Count());
  return text;
}

std::uint16_t ReadingFromDriver(const AdcCard& card, std::int16_t driverReading) {
  return static_cast<std::uint16_t>(static_cast<std::uint16_t>(driverReading) + card.zeroShift);
}

std::int16_t DriverReadingFromReading(const AdcCard& card, std::uint16_t reading) {
  return static_cast<std::int16_t>(static_cast<std::uint16_t>(reading - card.zeroShift));
}

std::int16_t DriverCodeFromCode(const DacCard& card, std::uint16_t code) {
  return static_cast<std::int16_t>(static_cast<std::uint16_t>(code - card.zeroShift));
}

std::uint16_t CodeFromDriverCode(const DacCard& card, std::int16_t driverCode) {
  return static_cast<std::uint16_t>(static_cast<std::uint16_t>(driverCode) + card.zeroShift);
}

bool IsGainInList(const AdcCard& card, float gain) {
  return std::find(card.gains.begin(), card.gains.end(), gain) != card.gains.end();
}

bool IsGainInList(std::size_t cardIndex, float gain) {
  const AdcCard* card = AdcCardAt(cardIndex);
  return card && IsGainInList(*card, gain);
}

std::uint16_t ReadAdc(std::size_t cardIndex, std::uint16_t channel, float gain) {
  return ReadAdcWith(cardIndex, channel, gain, true);
}

std::uint16_t ReadAdcNoFallback(std::size_t cardIndex, std::uint16_t channel, float gain) {
  return ReadAdcWith(cardIndex, channel, gain, false);
}

DriverStatus WriteDac(std::size_t cardIndex, std::uint16_t channel, std::uint16_t code) {
  const std::vector<DacCard>& dac = Tables().dac;
  if (!TSM_ASSERT(cardIndex < dac.size(), kSource)) return kStatusFailed;
  const DacCard& card = dac[cardIndex];
  const std::int16_t driverCode = DriverCodeFromCode(card, code);
  const auto slot = static_cast<std::int16_t>(card.slot);
  const auto ch = static_cast<std::int16_t>(channel);
  DriverStatus status;
  if (card.chassis == 0) {
    status = GetDriver().Output_Write(slot, ch, driverCode);
  } else {
    std::int32_t out = 0;
    status = GetDriver().Module_Output_Op(static_cast<std::int16_t>(card.chassis), slot, ch,
                                          kModuleOpWrite, kModuleModeWrite, 0, 0, driverCode,
                                          &out);
  }
  if (status != kStatusOk) Beep();
  return status;
}

}  // namespace tsm::daq
