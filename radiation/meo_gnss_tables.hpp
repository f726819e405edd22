// generated from data/radiation/meo_gnss.txt by tools/gen_meo_gnss.py; do not edit
// Mission-averaged MEO GNSS electron model (MEO-V1, MEO-V2): energies in MeV,
// integral flux above the energy (cm-2 s-1 sr-1), columns cycle years -6 .. +4.
#ifndef KEST_RADIATION_MEO_GNSS_TABLES_HPP
#define KEST_RADIATION_MEO_GNSS_TABLES_HPP

namespace kest::meo_gnss_tables {

inline constexpr int kNumCycleYears = 11;
inline constexpr int kNumEnergiesV1 = 5;
inline constexpr int kNumEnergiesV2 = 7;

// Energies (MeV); version 1 uses the first five.
inline constexpr double kEnergy[7] = {0.28, 0.4, 0.56, 0.8, 1.12, 1.6, 2.24};

// Energy range (MeV) of versions 1, 2.
inline constexpr double kEmin[2] = {0.28, 0.28};
inline constexpr double kEmax[2] = {1.12, 2.24};

// Version 1: one spectrum, the same in every cycle year.
inline constexpr double kFluxV1[5] = {917000, 554000, 279000, 117000, 51500};

// Version 2: one row per energy.
inline constexpr double kFluxV2[7][11] = {
    {649000, 556000, 828000, 951000, 1310000, 1100000, 914000, 789000, 804000, 664000, 565000},  // 0.28 MeV
    {379000, 323000, 514000, 618000, 887000, 733000, 588000, 500000, 499000, 392000, 331000},  // 0.4 MeV
    {164000, 143000, 244000, 303000, 457000, 367000, 283000, 238000, 233000, 176000, 145000},  // 0.56 MeV
    {60000, 55300, 102000, 129000, 209000, 159000, 117000, 97000, 94000, 68100, 53900},  // 0.8 MeV
    {20100, 20500, 39800, 51000, 88400, 63400, 44700, 36400, 35000, 24500, 18600},  // 1.12 MeV
    {4940, 5650, 11600, 15100, 28200, 19000, 12700, 10200, 9670, 6530, 4720},  // 1.6 MeV
    {1120, 1400, 3020, 3970, 7910, 5050, 3240, 2570, 2410, 1580, 1090},  // 2.24 MeV
};

}  // namespace kest::meo_gnss_tables

#endif
