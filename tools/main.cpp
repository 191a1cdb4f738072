// mapgeom: the library's operations on GeoJSON files from the command line. Each subcommand group
// registers itself from the table below; exit codes: 0 done, 1 usage, 2 bad input, 3 output
// failure, 4 internal failure.
#include <cstdio>
#include <exception>

#include <CLI/CLI.hpp>

#include "command.h"
#include "feature_model.h"
#include "sandbox.h"
#include "subcommands.h"

namespace {

using namespace mapgeom_tool;

constexpr int kExitUsage = 1;
constexpr int kExitBadInput = 2;
constexpr int kExitOutput = 3;
constexpr int kExitInternal = 4;

// The subcommand groups built into the program. Wiring one more operation is one entry here (and
// its source file in tools/CMakeLists.txt).
// clang-format off
const Registration kRegistrations[] = {
    register_info,     // info
    register_overlay,  // union, intersection, difference
    register_repair,   // repair
    register_clip,     // clip
    register_split,    // split
    register_tile,     // tile
    register_mesh,     // mesh
    register_dissolve, // dissolve
    register_shapes,   // simplify, triangulate, convex, skeleton
    register_midline,  // midline
};
// clang-format on

}  // namespace

int main(int argc, char** argv) {
    CLI::App program(
        "mapgeom: run the mapgeom geometry library on GeoJSON files.\n"
        "Coordinates are degrees (converted to whole library units of 1/2560 arc-second, "
        "9216000 per degree) unless --units raw is given. Results keep each input feature's "
        "properties and add what the operation knows. Use --svg FILE to see inputs and results "
        "as a picture.",
        "mapgeom");
    remember_working_directory();
    program.require_subcommand(1);
    program.fallthrough(false);
    for (Registration registration : kRegistrations)
        registration(program);
    try {
        program.parse(argc, argv);
    } catch (const CLI::CallForHelp& help) {
        return program.exit(help);
    } catch (const CLI::ParseError& error) {
        const int code = program.exit(error);
        return code == 0 ? 0 : kExitUsage;
    } catch (const InputError& error) {
        std::fprintf(stderr, "mapgeom: %s\n", error.what());
        return kExitBadInput;
    } catch (const OutputError& error) {
        std::fprintf(stderr, "mapgeom: %s\n", error.what());
        return kExitOutput;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "mapgeom: internal failure: %s\n", error.what());
        return kExitInternal;
    } catch (...) {  // caught all the same, so that unwinding removes unfinished outputs
        std::fprintf(stderr, "mapgeom: internal failure\n");
        return kExitInternal;
    }
    return 0;
}
