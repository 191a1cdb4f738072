/* Codes of the cells of the map grid: the cell that contains a coordinate, and the rectangle of a
 * cell code. Coordinates are 32-bit integers in 1/2560 arc-second (x longitude, -180 .. +180
 * degrees = -1658880000 .. 1658880000; y latitude, -90 .. +90 degrees). A cell holds its west and
 * south edges; a coordinate on its east or north edge belongs to the next cell.
 *
 *   grid      code                          cell width x height (degrees)
 *   mesh 8d   "RRCC"                        8     x 5 1/3
 *   mesh 4d   "RRCC"                        4     x 2 2/3
 *   mesh 2d   "RRCC"                        2     x 1 1/3
 *   task      "CCCCRRRRSSS"                 1/128 x 1/192
 *
 * R row (from the south pole), C column (from 180 degrees west), S block size: a task code names
 * the (S + 1) x (S + 1) cells whose south-west cell is the given one. All digits hexadecimal, most
 * significant first; mesh codes put the row first, task codes the column. The encoders write upper
 * case; the decoders accept both cases.
 *
 * Everything compiles as C. The plain-named functions return 0 for success, 1 for a code of the
 * wrong length and 2 for a digit out of range. */
#ifndef MAPGEOM_GRID_H
#define MAPGEOM_GRID_H

#include "mapgeom/export.h"

MAPGEOM_C_BEGIN

/* The code of the cell holding (x, y), written to code[0 .. 3] (task: code[0 .. 10], size "000").
 * No terminating NUL is written. Returns 0, or 2 when (x, y) lies outside the world (the edges
 * belong to it) or code is null; code may then hold "0000" (task: eleven '0'). */
MAPGEOM_API unsigned int coor_get_mesh8dno_by_coor(int x, int y, char* code);
MAPGEOM_API unsigned int coor_get_mesh4dno_by_coor(int x, int y, char* code);
MAPGEOM_API unsigned int coor_get_mesh2dno_by_coor(int x, int y, char* code);
MAPGEOM_API unsigned int coor_get_taskid_by_coor(int x, int y, char* code);

/* The rectangle of the NUL-terminated code (a task code: of its whole block). Returns 0 with the
 * four values written; 1 when the code is not 4 (task: 11) characters long; 2 when a character is
 * not a hexadecimal digit or when the digits name a cell whose south-west corner lies beyond the
 * world's east or north edge. Nothing is written unless the result is 0. */
MAPGEOM_API unsigned int coor_get_range_by_mesh8dno(const char* code, int* min_x, int* min_y,
                                                    int* max_x, int* max_y);
MAPGEOM_API unsigned int coor_get_range_by_mesh4dno(const char* code, int* min_x, int* min_y,
                                                    int* max_x, int* max_y);
MAPGEOM_API unsigned int coor_get_range_by_mesh2dno(const char* code, int* min_x, int* min_y,
                                                    int* max_x, int* max_y);
MAPGEOM_API unsigned int coor_get_range_by_taskid(const char* code, int* min_x, int* min_y,
                                                  int* max_x, int* max_y);

MAPGEOM_C_END

#ifdef __cplusplus

/* Digit helpers for hosts. Each maps one character or one value; the failure value is 0xFFFFFFFF
 * (all ones). */

/* '0'-'9' -> 0-9, 'A'-'F' and 'a'-'f' -> 10-15. */
MAPGEOM_API unsigned int get_base10_by_base16(char digit);
/* 0-9 -> '0'-'9', 10-15 -> 'A'-'F'. */
MAPGEOM_API unsigned int get_base16_by_base10(int value);
/* '0'-'9' -> 0-9, 'A'-'V' and 'a'-'v' -> 10-31. */
MAPGEOM_API unsigned int get_base10_by_base32(char digit);
/* 0-9 -> '0'-'9', 10-31 -> 'A'-'V'. */
MAPGEOM_API unsigned int get_base32_by_base10(int value);

#endif /* __cplusplus */

#endif /* MAPGEOM_GRID_H */
