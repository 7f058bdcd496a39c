// The card inventory: the DAC and ADC card tables that detection fills at
// start-up, the conversions between driver values and the program's
// unsigned codes and readings, and the single reads and writes that the rest
// of the program addresses by (card index, channel).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "daq/channel_ranges.h"
#include "daq/driver.h"

namespace tsm::daq {

inline constexpr std::size_t kMaxDacCards = 16;
inline constexpr std::size_t kMaxAdcCards = 16;
// The main window's inventory buffer.
inline constexpr std::size_t kInventoryCapacity = 1024;

// Where a card's gains or readings came from (also the index of its text).
inline constexpr int kSourceWrongNoAutodetect = -2;  // Tribox / fixed defaults
inline constexpr int kSourceAutodetect = -1;          // zentra.ini wrong or silent
inline constexpr int kSourceSame = 0;                 // zentra.ini agrees or is silent
inline constexpr int kSourceZentraIni = 1;
// "zentra.ini is wrong/incomplete, autodetection n/a" and the others; an
// unknown source gives an empty text.
const char* SourceText(int source);

// A card with analogue outputs. Codes are the program's unsigned codes:
// driver code + zero shift (modulo 65536).
struct DacCard {
  std::uint32_t typeCode = 0;  // Device_Query answer, or the Tribox module id
  std::uint16_t chassis = 0;   // 0 plug-in, 1..3 Tribox chassis
  std::uint16_t slot = 0;
  std::uint16_t minCode = 0;
  std::uint16_t maxCode = 0;
  std::uint16_t zeroCode = 0;
  double minVoltage = 0.0;  // volts at minCode
  double maxVoltage = 0.0;  // volts at maxCode
  std::uint16_t zeroShift = 0;
  std::uint16_t channelCount = 0;  // channels 0..count-1
  std::string name;
};

// A card with analogue inputs. Readings are the program's unsigned readings:
// driver reading + zero shift (modulo 65536).
struct AdcCard {
  std::uint32_t typeCode = 0;
  std::uint16_t chassis = 0;
  std::uint16_t slot = 0;
  ChannelRanges channels;  // also the scanning cursor
  std::uint16_t minReading = 0;
  std::uint16_t maxReading = 0;
  std::uint16_t zeroReading = 0;
  double minVoltage = 0.0;
  double maxVoltage = 0.0;
  std::vector<float> gains;  // dB values when logGains
  bool logGains = false;
  std::uint16_t zeroShift = 0;
  std::string name;
  int gainsSource = kSourceSame;
  int readingsSource = kSourceSame;
};

// --- the tables -----------------------------------------------------------
std::uint16_t DacCardCount();
std::uint16_t AdcCardCount();
// nullptr when the index is not below the count.
const DacCard* DacCardAt(std::size_t index);
const AdcCard* AdcCardAt(std::size_t index);
// For the scanning cursor of a card.
AdcCard* MutableAdcCardAt(std::size_t index);
// Append a card; false when the table already holds 16.
bool AddDacCard(DacCard card);
bool AddAdcCard(AdcCard card);
// Empties both tables (tests; detection starts with it).
void ResetCards();

// Fills both tables from what the driver offers and writes the inventory
// text into `report` (at most capacity - 1 characters: the capacity counts
// the terminator, as every text field of the program). "zentra.ini" and
// "Tribox.ini" are looked for in `directory` (a trailing separator may be
// omitted). Bit 0 of the result: no DAC card; bit 1: no ADC card.
std::uint16_t DetectCards(std::string& report, std::size_t capacity,
                          const std::string& directory);
inline constexpr std::uint16_t kNoDacCard = 1;
inline constexpr std::uint16_t kNoAdcCard = 2;

// --- texts of the information window --------------------------------------
// "Zentra version %04X detected." or "Get_Zentra_Version() failed\n".
std::string VersionText();
// One line per card: "DAC_%02u:id=%u(%s), %u chanels\n".
std::string DacListText();
// One line per card: "ADC_%02u:id=%u(%s), %u chanels\n".
std::string AdcListText();

// --- conversions ------------------------------------------------------------
std::uint16_t ReadingFromDriver(const AdcCard& card, std::int16_t driverReading);
std::int16_t DriverReadingFromReading(const AdcCard& card, std::uint16_t reading);
std::int16_t DriverCodeFromCode(const DacCard& card, std::uint16_t code);
std::uint16_t CodeFromDriverCode(const DacCard& card, std::int16_t driverCode);

// A gain is accepted when it equals one of the card's gains exactly.
bool IsGainInList(const AdcCard& card, float gain);
// The same for card `index`; false for a card that does not exist.
bool IsGainInList(std::size_t cardIndex, float gain);

// --- single reads and writes --------------------------------------------------
// One reading of ADC card `cardIndex`: the gain factor becomes its gain
// code, Input_Read (with the -10403 fallback) reads the card's slot. On
// failure the program beeps and answers the card's zero reading.
std::uint16_t ReadAdc(std::size_t cardIndex, std::uint16_t channel, float gain);
// The same without the fallback to DAQ_Op.
std::uint16_t ReadAdcNoFallback(std::size_t cardIndex, std::uint16_t channel, float gain);
// Writes a program code to DAC card `cardIndex` (Output_Write for a plug-in
// card, Module_Output_Op for a Tribox module); a failing status beeps and is
// returned.
DriverStatus WriteDac(std::size_t cardIndex, std::uint16_t channel, std::uint16_t code);

}  // namespace tsm::daq
