// SVG drawing of inputs, results, grids and press sections. Library units are mapped onto a page
// of kPageSize pixels at most, y flipped so that north is up.
#include "svg_writer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

#include "rings.h"
#include "units.h"

namespace mapgeom_tool {

namespace {

constexpr double kPageSize = 1000.0;  // the longer side of the drawing, in pixels
constexpr double kMargin = 24.0;      // space around the drawing (legend on top)
constexpr double kMinStretch = 0.2;   // below this the ground correction would squash the picture

// Colours of the layers the legend explains, and of results: saturated colours, none grey like
// the inputs nor near the red of press sections or the blue of the grid.
const char* const kInputFill = "#d9d9d9";
const char* const kInputStroke = "#737373";
const char* const kPressRed = "#d62728";
const char* const kGridBlue = "#3182bd";
const char* const kPalette[] = {"#2ca02c", "#ff7f0e", "#9467bd", "#e377c2", "#bcbd22"};
constexpr int kPaletteSize = sizeof kPalette / sizeof kPalette[0];

struct Bounds {
    double min_x = std::numeric_limits<double>::infinity();
    double min_y = std::numeric_limits<double>::infinity();
    double max_x = -std::numeric_limits<double>::infinity();
    double max_y = -std::numeric_limits<double>::infinity();

    void add(double x, double y) {
        min_x = std::min(min_x, x);
        min_y = std::min(min_y, y);
        max_x = std::max(max_x, x);
        max_y = std::max(max_y, y);
    }
    bool empty() const { return !(min_x <= max_x); }
};

// Maps library units to page pixels.
struct Page {
    Bounds bounds;
    double scale = 1.0;
    double stretch = 1.0;
    double width = kPageSize;
    double height = kPageSize;

    double x(double ux) const { return kMargin + (ux - bounds.min_x) * stretch * scale; }
    double y(double uy) const { return kMargin + (bounds.max_y - uy) * scale; }
};

std::string escape(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::string xy(const Page& page, const Vertex& v) {
    char text[64];
    std::snprintf(text, sizeof text, "%.2f %.2f", page.x(v.x), page.y(v.y));
    return text;
}

std::string polygon_path(const Page& page, const PolygonShape& polygon) {
    std::string d;
    for (const Path& ring : polygon.rings) {
        for (size_t i = 0; i < ring.size(); ++i)
            d += (i == 0 ? "M" : " L") + xy(page, ring[i]);
        d += " Z ";
    }
    return d;
}

std::string line_points(const Page& page, const Path& line) {
    std::string points;
    for (const Vertex& v : line)
        points += xy(page, v) + " ";
    return points;
}

// The vertices of a press stretch, following the ring over its closing point when it wraps.
Path press_stretch(const Path& ring, int first, int last) {
    Path stretch;
    if (first <= last) {
        stretch.assign(ring.begin() + first, ring.begin() + last + 1);
    } else {
        stretch.assign(ring.begin() + first, ring.end());
        stretch.insert(stretch.end(), ring.begin() + 1, ring.begin() + last + 1);
    }
    return stretch;
}

}  // namespace

SvgPicture::SvgPicture(std::string title) : title_(std::move(title)) {}

void SvgPicture::add_input(const Feature& feature) {
    Item item;
    item.is_input = true;
    item.tooltip = feature.label;
    item.polygons = feature.polygons;
    item.lines = feature.lines;
    items_.push_back(std::move(item));
}

void SvgPicture::add_result(const OutputFeature& feature, int colour_key,
                            const std::string& tooltip) {
    Item item;
    item.colour_key = colour_key;
    item.tooltip = tooltip;
    item.polygons = feature.polygons;
    item.lines = feature.lines;
    items_.push_back(std::move(item));
}

void SvgPicture::add_grid(double min_x, double min_y, double tile_width, double tile_height,
                          int cols, int rows) {
    grids_.push_back(Grid{min_x, min_y, tile_width, tile_height, cols, rows});
}

void SvgPicture::write(std::ostream& out) const {
    Page page;
    page.stretch = x_stretch_;
    for (const Item& item : items_) {
        for (const PolygonShape& polygon : item.polygons)
            for (const Path& ring : polygon.rings)
                for (const Vertex& v : ring)
                    page.bounds.add(v.x, v.y);
        for (const Path& line : item.lines)
            for (const Vertex& v : line)
                page.bounds.add(v.x, v.y);
    }
    for (const Grid& grid : grids_) {
        page.bounds.add(grid.min_x, grid.min_y);
        page.bounds.add(grid.min_x + grid.tile_width * grid.cols,
                        grid.min_y + grid.tile_height * grid.rows);
    }
    if (page.bounds.empty())
        page.bounds.add(0, 0);
    const double span_x = std::max((page.bounds.max_x - page.bounds.min_x) * page.stretch, 1.0);
    const double span_y = std::max(page.bounds.max_y - page.bounds.min_y, 1.0);
    page.scale = kPageSize / std::max(span_x, span_y);
    page.width = span_x * page.scale + 2 * kMargin;
    page.height = span_y * page.scale + 2 * kMargin;

    char header[256];
    std::snprintf(header, sizeof header,
                  "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%.0f\" height=\"%.0f\" "
                  "viewBox=\"0 0 %.0f %.0f\">\n",
                  page.width, page.height, page.width, page.height);
    out << header << "<title>" << escape(title_) << "</title>\n"
        << "<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n";

    out << "<g id=\"inputs\" fill=\"" << kInputFill << "\" fill-opacity=\"0.6\" stroke=\""
        << kInputStroke << "\" stroke-width=\"1\" fill-rule=\"evenodd\">\n";
    for (const Item& item : items_) {
        if (!item.is_input)
            continue;
        for (const PolygonShape& polygon : item.polygons)
            out << "<path d=\"" << polygon_path(page, polygon) << "\"><title>"
                << escape(item.tooltip) << "</title></path>\n";
        for (const Path& line : item.lines)
            out << "<polyline fill=\"none\" stroke-width=\"3\" points=\"" << line_points(page, line)
                << "\"><title>" << escape(item.tooltip) << "</title></polyline>\n";
    }
    out << "</g>\n<g id=\"results\" fill-opacity=\"0.45\" stroke-width=\"1.2\" "
           "fill-rule=\"evenodd\">\n";
    for (const Item& item : items_) {
        if (item.is_input)
            continue;
        const char* colour =
            kPalette[((item.colour_key % kPaletteSize) + kPaletteSize) % kPaletteSize];
        for (const PolygonShape& polygon : item.polygons)
            out << "<path fill=\"" << colour << "\" stroke=\"" << colour << "\" d=\""
                << polygon_path(page, polygon) << "\"><title>" << escape(item.tooltip)
                << "</title></path>\n";
        for (const Path& line : item.lines)
            out << "<polyline fill=\"none\" stroke=\"" << colour << "\" stroke-width=\"2\" "
                << "points=\"" << line_points(page, line) << "\"><title>" << escape(item.tooltip)
                << "</title></polyline>\n";
    }
    out << "</g>\n<g id=\"grid\" stroke=\"" << kGridBlue
        << "\" stroke-width=\"0.8\" stroke-dasharray=\"4 3\">\n";
    for (const Grid& grid : grids_) {
        const double max_x = grid.min_x + grid.tile_width * grid.cols;
        const double max_y = grid.min_y + grid.tile_height * grid.rows;
        for (int c = 0; c <= grid.cols; ++c) {
            const double x = page.x(grid.min_x + grid.tile_width * c);
            out << "<line x1=\"" << x << "\" y1=\"" << page.y(grid.min_y) << "\" x2=\"" << x
                << "\" y2=\"" << page.y(max_y) << "\"/>\n";
        }
        for (int r = 0; r <= grid.rows; ++r) {
            const double y = page.y(grid.min_y + grid.tile_height * r);
            out << "<line x1=\"" << page.x(grid.min_x) << "\" y1=\"" << y << "\" x2=\""
                << page.x(max_x) << "\" y2=\"" << y << "\"/>\n";
        }
    }
    out << "</g>\n<g id=\"press-sections\" fill=\"none\" stroke=\"" << kPressRed
        << "\" stroke-width=\"2.5\" stroke-dasharray=\"6 3\">\n";
    for (const Item& item : items_) {
        if (item.is_input)
            continue;
        for (const PolygonShape& polygon : item.polygons)
            for (const Path& ring : polygon.rings)
                for (const auto& [first, last] : press_ranges(ring, true))
                    out << "<polyline points=\""
                        << line_points(page, press_stretch(ring, first, last)) << "\"/>\n";
    }
    out << "</g>\n<g id=\"legend\" font-family=\"sans-serif\" font-size=\"13\">\n"
        << "<text x=\"" << kMargin << "\" y=\"16\">" << escape(title_) << " | <tspan fill=\""
        << kInputStroke << "\">grey: input</tspan> | coloured: result | "
        << "<tspan fill=\"" << kPressRed << "\">red dashes: press sections (cut edges)</tspan>"
        << (grids_.empty() ? ""
                           : " | <tspan fill=\"" + std::string(kGridBlue) +
                                 "\">blue dashes: tile grid</tspan>")
        << "</text>\n</g>\n</svg>\n";
}

double ground_stretch(const std::vector<Feature>& features) {
    double min_y = std::numeric_limits<double>::infinity();
    double max_y = -std::numeric_limits<double>::infinity();
    for (const Feature& feature : features) {
        for (const PolygonShape& polygon : feature.polygons)
            for (const Vertex& v : polygon.rings[0]) {
                min_y = std::min(min_y, v.y);
                max_y = std::max(max_y, v.y);
            }
        for (const Path& line : feature.lines)
            for (const Vertex& v : line) {
                min_y = std::min(min_y, v.y);
                max_y = std::max(max_y, v.y);
            }
    }
    if (!(min_y <= max_y))
        return 1.0;
    const double middle_degrees = (min_y + max_y) / 2 / kUnitsPerDegree;
    return std::max(std::cos(middle_degrees * M_PI / 180.0), kMinStretch);
}

}  // namespace mapgeom_tool
