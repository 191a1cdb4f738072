/* Symbol export macros: the library is built with hidden visibility and exports only what these
 * mark. */
#ifndef MAPGEOM_EXPORT_H
#define MAPGEOM_EXPORT_H

#if defined(_WIN32)
#define MAPGEOM_API __declspec(dllexport)
#else
#define MAPGEOM_API __attribute__((visibility("default")))
#endif

/* Plain (undecorated) names that C, JVM and Python hosts bind to. */
#ifdef __cplusplus
#define MAPGEOM_C_BEGIN extern "C" {
#define MAPGEOM_C_END }
#else
#define MAPGEOM_C_BEGIN
#define MAPGEOM_C_END
#endif

/* C++ members get a default of zero (a default-constructed point is the origin); C sees plain
 * fields. */
#ifdef __cplusplus
#define MAPGEOM_ZERO = 0.0
#else
#define MAPGEOM_ZERO
#endif

#endif /* MAPGEOM_EXPORT_H */
