// The subcommand groups of the program. Each adds its subcommands to the program; main.cpp lists
// the ones that are built in.
#ifndef MAPGEOM_TOOLS_SUBCOMMANDS_H
#define MAPGEOM_TOOLS_SUBCOMMANDS_H

#include <CLI/CLI.hpp>

namespace mapgeom_tool {

// info: per feature vertex count, earth and plane area, extent and validity (cmd_info.cpp).
void register_info(CLI::App& program);

// union, intersection, difference: two-ring operations from one table (cmd_overlay.cpp).
void register_overlay(CLI::App& program);

// repair: self-crossing rings cut into valid rings (cmd_repair.cpp).
void register_repair(CLI::App& program);

// clip: polygons and lines clipped by a rectangle (cmd_clip.cpp).
void register_clip(CLI::App& program);

// split: polygons and lines cut by the lines of another file (cmd_split.cpp).
void register_split(CLI::App& program);

// tile: polygons and lines cut along a grid of tiles through the flat arrays (cmd_tile.cpp).
void register_tile(CLI::App& program);

// dissolve: polygons merged by the union of polygon lists (cmd_dissolve.cpp).
void register_dissolve(CLI::App& program);

// simplify, triangulate, convex, skeleton: per-shape operations (cmd_shapes.cpp).
void register_shapes(CLI::App& program);

// mesh: pieces cut along the cells of the map grid, labelled with their cell codes (cmd_mesh.cpp).
void register_mesh(CLI::App& program);

// midline: the middle line between two lines by the road helper (cmd_midline.cpp).
void register_midline(CLI::App& program);

}  // namespace mapgeom_tool

#endif  // MAPGEOM_TOOLS_SUBCOMMANDS_H
