// Lookups inside the flux tables: the AE8/AP8 map interpolation and the CRRES
// table loader (the C entry points are in kest/radiation.h).
#ifndef KEST_RADIATION_FLUX_TABLES_HPP
#define KEST_RADIATION_FLUX_TABLES_HPP

namespace kest {

// Scaled log flux of one AE8/AP8 L sub-map at scaled L and B/B0 - 1.
double trara2(const int* m, int lv, int bv);

// Log10 of the integral flux above e (MeV) in one AE8/AP8 map; bb0 raised to
// 1 when below 1.
void trara1(const int* header, const int* body, double l, double* bb0, double e, double* f);

// Loads CRRES table model 1..10 from path (path_len characters) + file name.
void init_crres(int model, const char* path, int path_len);
void init_crrespro();
void init_crresele();

}  // namespace kest

#endif
