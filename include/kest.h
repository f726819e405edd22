/*
 * kest: geophysical models for space physics, C interface.
 *
 * Every routine is exported with C linkage under its name followed by one
 * underscore (julday_, gdz_geo_, make_lstar_), as external callers expect.
 * Every argument is passed by reference (a pointer), as in Fortran, except the
 * count of the argument-vector entries (below); arrays are numbered from 1 in
 * the descriptions and stored column by column (first index fastest).
 * Units: Earth radii of 6371.2 km for Cartesian positions (heliospheric
 * systems in AU, the SGP4 core and state vectors in km), km for geodetic
 * altitude, nT for fields, degrees for angles (radians where a header says
 * so: the dipole tilt psi of the GSM rotations and model stages, the sun
 * angles of sun_, the dipole axis angles of get_terms_, the SGP4 core and
 * vector routines, rv2coe_).
 *
 * Missing values: every output left without a computed value holds the fill
 * value KEST_FILL (-1.0E31).
 *
 * State: the library keeps process-wide model state in fixed global records
 * (model selection, epoch, sun and dipole axes, drift-shell memory, MSIS
 * switches ...). NOTHING IS RE-ENTRANT: call it from one thread at a time, and
 * mind the order of set-up calls described with each routine.
 *
 * Public entries X(argc, argv): the argument count is ignored, argv holds the
 * addresses of the core's arguments in order, and the entry returns 9.9f.
 */
#ifndef KEST_H
#define KEST_H

#include "kest/api.h"
#include "kest/frame.h"
#include "kest/magcoords.h"
#include "kest/extfield.h"
#include "kest/radiation.h"
#include "kest/orbit.h"
#include "kest/atmosphere.h"

#endif
