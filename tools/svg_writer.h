// A picture of a run as SVG: inputs, results, the tile grid and press sections (cut edges that an
// operation created), scaled to fit a page with the y axis up.
#ifndef MAPGEOM_TOOLS_SVG_WRITER_H
#define MAPGEOM_TOOLS_SVG_WRITER_H

#include <ostream>
#include <string>
#include <vector>

#include "feature_model.h"

namespace mapgeom_tool {

class SvgPicture {
public:
    explicit SvgPicture(std::string title);

    // Widens x against y: cos of the latitude for degrees, so that shapes keep their look on the
    // ground; 1 (the default) draws the plane as it is.
    void set_x_stretch(double x_stretch) { x_stretch_ = x_stretch; }

    void add_input(const Feature& feature);
    // Results get a colour of their own; `colour_key` picks it (e.g. the input feature's index),
    // press sections of their rings are drawn over them.
    void add_result(const OutputFeature& feature, int colour_key, const std::string& tooltip);
    // A grid of cols x rows tiles of the given size from (min_x, min_y), in library units.
    void add_grid(double min_x, double min_y, double tile_width, double tile_height, int cols,
                  int rows);

    void write(std::ostream& out) const;

private:
    struct Item {
        bool is_input = false;
        int colour_key = 0;
        std::string tooltip;
        std::vector<PolygonShape> polygons;
        std::vector<Path> lines;
    };
    struct Grid {
        double min_x, min_y, tile_width, tile_height;
        int cols, rows;
    };

    std::string title_;
    double x_stretch_ = 1.0;
    std::vector<Item> items_;
    std::vector<Grid> grids_;
};

// cos of the middle latitude of the features (for degrees), clamped so that the picture stays
// readable near the poles.
double ground_stretch(const std::vector<Feature>& features);

}  // namespace mapgeom_tool

#endif  // MAPGEOM_TOOLS_SVG_WRITER_H
