#include "channels/buffered_acquisition.h"

#include <algorithm>
#include <mutex>
#include <new>

#include "channels/averaging.h"
#include "channels/virtual_channels.h"
#include "daq/cards.h"
#include "daq/driver.h"
#include "daq/gain_code.h"
#include "daq/status_report.h"
#include "shell/stringex.h"

namespace tsm::channels {

namespace {
// The volts of one reading of voltage `index`, as an average of one sample
// gives them; the conversion is linear, so it is taken once per voltage.
struct ReadingScale {
  double at0 = 0.0;
  double perUnit = 0.0;

  explicit ReadingScale(int index) {
    auto volts = [index](double reading) {
      const double v = ReadingToVolts(index, reading);
      return GetVoltage(index).kind == kNegative ? -v : v;
    };
    const double zero = GetVoltageZero(index).volts;
    at0 = volts(0.0) - zero;
    perUnit = (volts(65535.0) - zero - at0) / 65535.0;
  }
  double operator()(std::uint16_t reading) const { return at0 + perUnit * reading; }
};
}  // namespace

std::vector<CardAcquisition> GroupVoltagesByCard(const std::vector<int>& voltages) {
  std::vector<CardAcquisition> groups;
  for (int v : voltages) {
    const std::size_t card = GetVoltage(v).adcCard;
    auto it = std::find_if(groups.begin(), groups.end(),
                           [card](const CardAcquisition& g) { return g.card == card; });
    if (it == groups.end()) {
      groups.push_back({card, {}});
      it = groups.end() - 1;
    }
    it->voltages.push_back(v);
  }
  return groups;
}

std::string BufferedAcquisitionProblem(const std::vector<int>& voltages, std::uint32_t count,
                                       double rate) {
  if (!(rate >= kMinSampleRate && rate <= kMaxSampleRate))
    return shell::Format(kBufferedRateText, rate, static_cast<double>(kMinSampleRate),
                         static_cast<double>(kMaxSampleRate));
  for (const CardAcquisition& g : GroupVoltagesByCard(voltages)) {
    const daq::AdcCard* card = daq::AdcCardAt(g.card);
    if (!card) return shell::Format(kBufferedNoCardText, g.voltages.front());
    const double perSecond = rate * static_cast<double>(g.voltages.size());
    if (perSecond > kMaxCardSamplesPerSecond)
      return shell::Format(kBufferedScanText, static_cast<unsigned>(g.voltages.size()),
                           unsigned(card->slot), rate, perSecond, kMaxCardSamplesPerSecond);
  }
  const double seconds = count / rate;
  if (seconds > kMaxAcquisitionSeconds)
    return shell::Format(kBufferedDurationText, unsigned(count), rate, seconds,
                         kMaxAcquisitionSeconds);
  return {};
}

bool AcquireBuffered(const CardAcquisition& acquisition, std::uint32_t count, double rate,
                     const SampleSink& sink) {
  const daq::AdcCard* card = daq::AdcCardAt(acquisition.card);
  const std::size_t channels = acquisition.voltages.size();
  if (!card || channels == 0 || count == 0) return false;
  const bool single = channels == 1;
  // A logarithmic-gain card interleaves a second word with every reading
  // of DAQ_Op (the reading is the odd one), as the turbo averaging reads it.
  const std::size_t stride = single ? (card->logGains ? 2 : 1) : channels;
  const std::size_t offset = single && card->logGains ? 1 : 0;

  std::vector<std::int16_t> buffer, channelList, gainList;
  try {
    buffer.resize(static_cast<std::size_t>(count) * stride);
  } catch (const std::bad_alloc&) {
    return false;
  }
  for (int v : acquisition.voltages) {
    const VirtualVoltage vv = GetVoltage(v);
    channelList.push_back(static_cast<std::int16_t>(vv.adcChannel));
    gainList.push_back(daq::GainCode(vv.adcGain));
  }

  // The statuses are reported once the driver is free again: a message box
  // waits for the user, and the display's refresh wants the driver meanwhile.
  const auto slot = static_cast<std::int16_t>(card->slot);
  daq::DriverStatus timeout = 0, status = 0, back = 0;
  {
    std::lock_guard lock(daq::DriverMutex());
    daq::Driver& d = daq::GetDriver();
    timeout = d.Timeout_Config(slot, kTurboTimeoutTicks);
    if (timeout >= 0) {
      status = single ? d.DAQ_Op(slot, channelList[0], gainList[0], buffer.data(), count, rate)
                      : d.SCAN_Op(slot, static_cast<std::int16_t>(channels), channelList.data(),
                                  gainList.data(), buffer.data(),
                                  count * static_cast<std::uint32_t>(channels),
                                  rate * static_cast<double>(channels), rate);
    }
    back = d.Timeout_Config(slot, daq::kTimeoutForever);
  }
  bool ok = daq::ReportDriverStatus(daq::ReportedOp::kTimeoutConfig, timeout);
  if (ok)
    ok = daq::ReportDriverStatus(single ? daq::ReportedOp::kDaqOp : daq::ReportedOp::kScanOp,
                                 status);
  daq::ReportDriverStatus(daq::ReportedOp::kTimeoutConfig, back);
  if (!ok) return false;

  std::vector<ReadingScale> scales;
  for (int v : acquisition.voltages) scales.emplace_back(v);
  for (std::uint32_t i = 0; i < count; ++i)
    for (std::size_t k = 0; k < channels; ++k) {
      const std::int16_t word = buffer[static_cast<std::size_t>(i) * stride + offset + k];
      sink(k, i, scales[k](daq::ReadingFromDriver(*card, word)));
    }
  return true;
}

}  // namespace tsm::channels
