// Coordinate and date entry points: each forwards its argument addresses,
// unchanged and in order, to the routine on its right (see frame/entry.hpp).
#include "frame/entry.hpp"
#include "kest/frame.h"

//         entry                     routine
KEST_ENTRY(coord_trans_,             coord_trans1_)
KEST_ENTRY(coord_trans_vec_,         coord_trans_vec1_)
KEST_ENTRY(geo2gsm_,                 geo2gsm1_)
KEST_ENTRY(gsm2geo_,                 gsm2geo1_)
KEST_ENTRY(geo2gse_,                 geo2gse1_)
KEST_ENTRY(gse2geo_,                 gse2geo1_)
KEST_ENTRY(geo2gei_,                 geo2gei1_)
KEST_ENTRY(gei2geo_,                 gei2geo1_)
KEST_ENTRY(geo2sm_,                  geo2sm1_)
KEST_ENTRY(sm2geo_,                  sm2geo1_)
KEST_ENTRY(gsm2sm_,                  gsm2sm1_)
KEST_ENTRY(sm2gsm_,                  sm2gsm1_)
KEST_ENTRY(geo2mag_,                 geo2mag1_)
KEST_ENTRY(mag2geo_,                 mag2geo1_)
KEST_ENTRY(gdz2geo_,                 gdz_geo_)
KEST_ENTRY(geo2gdz_,                 geo_gdz_)
KEST_ENTRY(sph2car_,                 sph_car_)
KEST_ENTRY(car2sph_,                 car_sph_)
KEST_ENTRY(rll2gdz_,                 rll_gdz_)
KEST_ENTRY(gse2hee_,                 gse2hee1_)
KEST_ENTRY(hee2gse_,                 hee2gse1_)
KEST_ENTRY(hae2hee_,                 hae2hee1_)
KEST_ENTRY(hee2hae_,                 hee2hae1_)
KEST_ENTRY(hae2heeq_,                hae2heeq1_)
KEST_ENTRY(heeq2hae_,                heeq2hae1_)
KEST_ENTRY(date_and_time2decy_idl_,  date_and_time2decy_)
