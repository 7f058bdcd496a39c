// Buffered acquisitions of virtual voltages: N samples of every voltage at a
// fixed rate, taken by the card itself through the turbo path of the
// averaging (one channel of a card: DAQ_Op; several channels of one card:
// one channel-interleaved SCAN_Op). Voltages on several cards are taken one
// card after the other. What the path cannot deliver is refused before
// anything is touched, with a text that says why.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace tsm::channels {

// The fastest the path takes samples, all channels of a card together (the
// upper limit of the turbo sample rate).
inline constexpr double kMaxCardSamplesPerSecond = 500000.0;
// One acquisition is bounded by the turbo time-out of 545 ticks of 55 ms;
// nothing can stop it sooner, so it may not be planned longer.
inline constexpr double kMaxAcquisitionSeconds = 545 * 0.055;

inline constexpr const char* kBufferedRateText =
    "The sampling rate of %G Hz is outside what the cards\ncan take in a buffered acquisition "
    "(%G .. %G Hz).";
inline constexpr const char* kBufferedScanText =
    "Sampling %u voltages of the card in slot %u at %G Hz each\nneeds %G samples per second; "
    "a card takes at most %G.\nLower the sampling rate or measure fewer voltages.";
inline constexpr const char* kBufferedDurationText =
    "%u samples at %G Hz take %.1f s, but one buffered\nacquisition may last at most %.1f s "
    "(the card's time-out).\nTake fewer samples, sample faster or use timed points.";
inline constexpr const char* kBufferedNoCardText =
    "Voltage #%d is read from an ADC card\nthat this system does not have.";

// The voltages one acquisition takes: those of one ADC card, in the order
// they were given.
struct CardAcquisition {
  std::size_t card = 0;
  std::vector<int> voltages;
};
// Groups voltages by card, cards in the order of their first voltage.
std::vector<CardAcquisition> GroupVoltagesByCard(const std::vector<int>& voltages);

// Why `count` samples of every voltage at `rate` Hz cannot be taken, or ""
// when they can.
std::string BufferedAcquisitionProblem(const std::vector<int>& voltages, std::uint32_t count,
                                       double rate);

// Receives sample i of the voltage at position k of the acquisition's list,
// in volts with the voltage's sign and AutoZero applied (what
// MeasureVoltageZeroed gives for one sample).
using SampleSink = std::function<void(std::size_t k, std::uint32_t i, double volts)>;
// Takes the acquisition (Timeout_Config, DAQ_Op or SCAN_Op, Timeout_Config
// back to waiting for ever, every status reported through the helper
// library) and hands every sample to the sink. False when the driver
// failed (reported) or the buffer could not be had.
bool AcquireBuffered(const CardAcquisition& acquisition, std::uint32_t count, double rate,
                     const SampleSink& sink);

}  // namespace tsm::channels
