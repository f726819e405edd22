/* kest: linkage conventions shared by every public header. */
#ifndef KEST_API_H
#define KEST_API_H

#if defined(__GNUC__)
#define KEST_API __attribute__((visibility("default")))
#else
#define KEST_API
#endif

#ifdef __cplusplus
#define KEST_BEGIN_C extern "C" {
#define KEST_END_C }
#else
#define KEST_BEGIN_C
#define KEST_END_C
#endif

/* The fill value: marks every output left without a computed value. */
#define KEST_FILL (-1.0e31)

/* Every public entry X has this form: argc ignored, argv the addresses of the
   core's arguments in order, result always 9.9f. */
#define KEST_DECLARE_ENTRY(name) KEST_API float name(int argc, void **argv)

#endif
