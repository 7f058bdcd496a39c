// The completion sounds: one short sound file per measurement mode, played
// from the program's directory when a measurement ends. The files are made
// by the build (resources/sounds/make_sounds.cpp writes one per entry of
// this list) and installed beside the program.
#pragma once

namespace tsm::resources {

inline constexpr const char* kSoundIVC = "IVC.wav";
inline constexpr const char* kSoundIVF = "IVF.wav";
inline constexpr const char* kSoundIcH = "Ic(H).wav";
inline constexpr const char* kSoundIcT = "Ic(T).wav";
inline constexpr const char* kSoundRT = "R(T).wav";
inline constexpr const char* kSoundVT = "V(T).wav";
inline constexpr const char* kSoundVtime = "V(time).wav";
inline constexpr const char* kSoundVdcIac = "Vdc(Iac).wav";
inline constexpr const char* kSoundWFM = "WFM.wav";

// Every file the build makes, in one list.
inline constexpr const char* kCompletionSounds[] = {
    kSoundIVC, kSoundIVF, kSoundIcH, kSoundIcT, kSoundRT,
    kSoundVT,  kSoundVtime, kSoundVdcIac, kSoundWFM,
};

}  // namespace tsm::resources
