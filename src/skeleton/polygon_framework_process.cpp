// Skeleton post-processing: raw centre lines become a graph of lines between nodes (line ends
// snapped to a 5-unit grid), short dead-end branches are pruned, lines meeting at nodes of two
// lines are merged, and the result goes back to polylines. Also the joining of the skeletons of the
// two scan directions, and the nudging of points that lie near the boundary in x.
//
// The graph is keyed by text (line keys are input indexes, node keys the snapped coordinates run
// together), so output order is the text order of the keys. The pruning length lives in the graph
// of each call, not in the file: calls on different threads do not interfere.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "algebra/algebra_internal.h"
#include "com/boundary.h"
#include "com/numeric.h"
#include "mapgeom/crosspoint.h"
#include "mapgeom/measure.h"
#include "mapgeom/relation.h"
#include "mapgeom/skeleton.h"
#include "skeleton_internal.h"

namespace mapgeom {

namespace {

// Pruning lengths in metres by the total length of the skeleton: a longer skeleton (a larger
// shape) tolerates longer spurs before they count as noise.
constexpr int kPruneShort = 10000;
constexpr int kPruneMedium = 20000;
constexpr int kPruneLong = 30000;
constexpr double kMediumTotal = 500000.0;
constexpr double kLongTotal = 1000000.0;

// Grid of the node keys: line ends within the same 5 x 5 cell share a node.
constexpr double kNodeGrid = 5.0;

// connect_polyline gives up after this many rounds, each attaching one piece.
constexpr int kMaxJoinRounds = 10000;

// Costs of counterparts at or above this are no counterparts.
constexpr double kNoCounterpart = 10000000000.0;

// Probe offsets of framework_points_revise, in map units (about 0.87 and 0.43 arc-second).
constexpr double kReviseProbe = 8000.0;
constexpr double kReviseShift = 4000.0;

struct line_t {
    std::vector<int> ids;
    std::string key;
    std::string start;
    std::string end;
    double length = 0.0;
    const polyline_t* polyline = nullptr;
};

struct node_t {
    std::string key;
    std::vector<std::string> lines;  // a line with both ends here is listed twice
};

// Lines and nodes of one skeleton, and the pruning length its conversion set.
struct Graph {
    std::map<std::string, line_t> lines;
    std::map<std::string, node_t> nodes;
    int value = kPruneShort;

    size_t degree(const std::string& node) const {
        auto it = nodes.find(node);
        return it == nodes.end() ? 0 : it->second.lines.size();
    }
};

std::string int_to_string(int value) {
    char text[16];
    std::snprintf(text, sizeof text, "%d", value);
    return text;
}

double calc_polyline_length(const polyline_t* polyline) {
    double length = 0.0;
    for (int i = 1; i < polyline->geom.count; ++i)
        length +=
            calc_points_distance_onearth(polyline->geom.points[i - 1], polyline->geom.points[i]);
    return length;
}

// 1 when the stretch a-b is steep (its y extent exceeds its x extent), else 0.
int calc_points_flag(point_t a, point_t b) {
    return std::fabs(b.y - a.y) > std::fabs(b.x - a.x) ? 1 : 0;
}

const std::string& other_end(const line_t& line, const std::string& node) {
    return line.start == node ? line.end : line.start;
}

void remove_one(std::vector<std::string>* keys, const std::string& key) {
    auto it = std::find(keys->begin(), keys->end(), key);
    if (it != keys->end())
        keys->erase(it);
}

// One line per polyline of at least one point (key: its list index), and the pruning length from
// the total length.
void polylines_to_lines(const polylines_t* polylines, Graph* graph) {
    double total = 0.0;
    int i = 0;
    for (const polyline_node_t* node = polylines->head; node != nullptr; node = node->next, ++i) {
        const polyline_t* polyline = &node->polyline;
        if (polyline->geom.count < 1)
            continue;
        line_t line;
        line.ids = {i};
        line.key = int_to_string(i);
        line.start = point_to_string(com_polyline_front(polyline));
        line.end = point_to_string(com_polyline_last(polyline));
        line.length = calc_polyline_length(polyline);
        line.polyline = polyline;
        total += line.length;
        graph->lines[line.key] = std::move(line);
    }
    graph->value = total > kLongTotal     ? kPruneLong
                   : total > kMediumTotal ? kPruneMedium
                                          : kPruneShort;
}

void get_nodes(Graph* graph) {
    for (const auto& entry : graph->lines) {
        for (const std::string* end : {&entry.second.start, &entry.second.end}) {
            node_t& node = graph->nodes[*end];
            node.key = *end;
            node.lines.push_back(entry.first);
        }
    }
}

void delete_one_line(Graph* graph, const std::string& key) {
    auto it = graph->lines.find(key);
    if (it == graph->lines.end())
        return;
    line_t line = std::move(it->second);
    graph->lines.erase(it);
    for (const std::string* end : {&line.start, &line.end}) {
        auto node = graph->nodes.find(*end);
        if (node != graph->nodes.end())
            remove_one(&node->second.lines, key);
    }
}

// Merges the two lines at a node of degree two into one line under the first line's key. A node
// whose two entries are one closed line (both its ends here) is left alone: there is nothing to
// merge it with.
void union_one_node(Graph* graph, const std::string& node_key) {
    auto node = graph->nodes.find(node_key);
    if (node == graph->nodes.end() || node->second.lines.size() != 2 ||
        node->second.lines[0] == node->second.lines[1])
        return;
    line_t first = graph->lines.at(node->second.lines[0]);
    line_t second = graph->lines.at(node->second.lines[1]);
    graph->nodes.erase(node);
    graph->lines.erase(first.key);
    graph->lines.erase(second.key);
    line_t merged;
    merged.key = first.key;
    merged.ids = first.ids;
    merged.ids.insert(merged.ids.end(), second.ids.begin(), second.ids.end());
    merged.start = other_end(first, node_key);
    merged.end = other_end(second, node_key);
    merged.length = first.length + second.length;
    merged.polyline = first.polyline;
    auto far_second = graph->nodes.find(merged.end);
    if (far_second != graph->nodes.end())
        std::replace(far_second->second.lines.begin(), far_second->second.lines.end(), second.key,
                     merged.key);
    graph->lines[merged.key] = std::move(merged);
}

void union_framework(Graph* graph) {
    std::vector<std::string> keys;
    for (const auto& entry : graph->nodes)
        if (entry.second.lines.size() == 2)
            keys.push_back(entry.first);
    for (const std::string& key : keys)
        union_one_node(graph, key);
}

std::vector<std::string> get_process_nodes(const Graph& graph) {
    std::vector<std::string> dead_ends;
    for (const auto& entry : graph.nodes)
        if (entry.second.lines.size() == 1)
            dead_ends.push_back(entry.first);
    return dead_ends;
}

// A dead end goes when its junction holds another dead-end branch no longer than the pruning
// length and this branch is not longer than the shortest such branch.
bool if_can_delete(const Graph& graph, const std::string& dead_end) {
    const line_t& line = graph.lines.at(graph.nodes.at(dead_end).lines[0]);
    const std::string& junction = other_end(line, dead_end);
    auto node = graph.nodes.find(junction);
    if (node == graph.nodes.end() || node->second.lines.size() <= 2)
        return false;
    const line_t* shortest = nullptr;
    for (const std::string& key : node->second.lines) {
        if (key == line.key)
            continue;
        const line_t& other = graph.lines.at(key);
        if (graph.degree(other_end(other, junction)) <= 1 && other.length <= graph.value &&
            (shortest == nullptr || other.length < shortest->length))
            shortest = &other;
    }
    return shortest != nullptr && line.length <= shortest->length;
}

bool process_nodes(Graph* graph, const std::vector<std::string>& dead_ends) {
    bool deleted = false;
    for (const std::string& dead_end : dead_ends) {
        if (graph->degree(dead_end) != 1 || !if_can_delete(*graph, dead_end))
            continue;
        std::string line = graph->nodes.at(dead_end).lines[0];
        graph->nodes.erase(dead_end);
        delete_one_line(graph, line);
        deleted = true;
    }
    return deleted;
}

// The dead end of a line (its end of degree one), or "" when it has none.
std::string dead_end_of(const Graph& graph, const line_t& line) {
    if (graph.degree(line.start) == 1)
        return line.start;
    if (graph.degree(line.end) == 1)
        return line.end;
    return "";
}

// Whether a remaining short dead-end line may go: its junction must keep at least two other lines,
// and not when those two form a loop between the same two nodes (the branch is then the only way
// out of the loop).
bool if_last_delete(const Graph& graph, const line_t& line) {
    if (line.length >= graph.value)
        return false;
    const std::string& junction = graph.degree(line.start) == 1 ? line.end : line.start;
    const node_t& node = graph.nodes.at(junction);
    if (node.lines.size() == 3) {
        std::vector<std::string> others = node.lines;
        remove_one(&others, line.key);
        const line_t& a = graph.lines.at(others[0]);
        const line_t& b = graph.lines.at(others[1]);
        if ((a.start == b.start && a.end == b.end) || (a.start == b.end && a.end == b.start))
            return false;
    }
    return node.lines.size() > 2;
}

void delete_last_dead_ends(Graph* graph) {
    std::vector<std::string> keys;
    for (const std::string& dead_end : get_process_nodes(*graph)) {
        const std::string& key = graph->nodes.at(dead_end).lines[0];
        if (std::find(keys.begin(), keys.end(), key) == keys.end())
            keys.push_back(key);
    }
    std::stable_sort(keys.begin(), keys.end(), [&](const std::string& a, const std::string& b) {
        return graph->lines.at(a).length < graph->lines.at(b).length;
    });
    for (const std::string& key : keys) {
        auto it = graph->lines.find(key);  // merged away or changed by an earlier merge
        if (it == graph->lines.end())
            continue;
        std::string dead_end = dead_end_of(*graph, it->second);
        if (dead_end.empty() || !if_last_delete(*graph, it->second))
            continue;
        std::string junction = other_end(it->second, dead_end);
        graph->nodes.erase(dead_end);
        delete_one_line(graph, key);
        if (graph->degree(junction) == 2)
            union_one_node(graph, junction);
    }
    union_framework(graph);
}

polyline_t copy_of(const polyline_t* polyline) {
    polyline_t copy{};
    com_polyline_polyline(&copy, polyline);
    return copy;
}

void lines_to_polylines(const polylines_t* in, const Graph& graph, polylines_t* out) {
    std::vector<const polyline_t*> by_index;
    for (const polyline_node_t* node = in->head; node != nullptr; node = node->next)
        by_index.push_back(&node->polyline);
    for (const auto& entry : graph.lines) {
        std::vector<polyline_t> pieces;
        for (int id : entry.second.ids)
            pieces.push_back(copy_of(by_index[static_cast<size_t>(id)]));
        polyline_t joined{};
        com_polyline_init(&joined);
        connect_polyline(&pieces, &joined);
        if (joined.geom.count >= 2)
            com_polylines_add(out, joined);
        else
            com_polyline_free(&joined);
    }
}

// Appends `piece` to `result`, dropping the result's last point (the shared end) first.
void append_piece(polyline_t* result, const polyline_t* piece) {
    if (result->geom.count > 0)
        com_polyline_removeat(result, result->geom.count - 1);
    com_polyline_add_geom(result, &piece->geom);
}

// A piece waiting to be joined, with the node keys of its ends (computed once).
struct Piece {
    polyline_t line;
    std::string first;
    std::string last;
    bool used = false;
};

// Attaches `piece` to an end of `result` (whose end keys are given) when their ends share a node
// key; false otherwise.
bool attach(polyline_t* result, const std::string& result_first, const std::string& result_last,
            Piece* piece) {
    if (result_last == piece->first) {
    } else if (result_last == piece->last) {
        com_polyline_reverse(&piece->line);
    } else if (result_first == piece->last) {
        com_polyline_reverse(result);
        com_polyline_reverse(&piece->line);
    } else if (result_first == piece->first) {
        com_polyline_reverse(result);
    } else {
        return false;
    }
    append_piece(result, &piece->line);
    return true;
}

// Copies of the line of `graph` under `key`; the caller releases them.
Graph graph_of(const polylines_t* polylines) {
    Graph graph;
    polylines_to_lines(polylines, &graph);
    get_nodes(&graph);
    return graph;
}

// The line of a's graph whose polyline has the most stored points (the first by key among equals).
const line_t* longest_line(const Graph& graph) {
    const line_t* best = nullptr;
    for (const auto& entry : graph.lines)
        if (best == nullptr || entry.second.polyline->geom.count > best->polyline->geom.count)
            best = &entry.second;
    return best;
}

// The line of b whose ends lie nearest the ends of `line` (either direction); a counterpart found
// in the opposite direction has its polyline reversed in place (b's polylines are the caller's
// private copies). "" when b has no lines.
std::string get_connect_line(Graph* b, const line_t& line) {
    point_t f = com_polyline_front(line.polyline), e = com_polyline_last(line.polyline);
    double best = kNoCounterpart;
    std::string winner;
    bool reversed = false;
    for (const auto& entry : b->lines) {
        point_t f2 = com_polyline_front(entry.second.polyline);
        point_t e2 = com_polyline_last(entry.second.polyline);
        double same = calc_points_distance(f, f2) + calc_points_distance(e, e2);
        double opposite = calc_points_distance(f, e2) + calc_points_distance(e, f2);
        if (same < best) {
            best = same;
            winner = entry.first;
            reversed = false;
        }
        if (opposite < best) {
            best = opposite;
            winner = entry.first;
            reversed = true;
        }
    }
    if (!winner.empty() && reversed)
        com_polyline_reverse(const_cast<polyline_t*>(b->lines.at(winner).polyline));
    return winner;
}

double plane_length(const polyline_t* polyline) {
    double length = 0.0;
    for (int i = 1; i < polyline->geom.count; ++i)
        length += calc_points_distance(polyline->geom.points[i - 1], polyline->geom.points[i]);
    return length;
}

// Of two passes that cross fewer than twice, the one to keep whole: the first pass when its line
// runs flat, the second when its line runs steep (each pass follows those best), and of two that
// both qualify the longer. Two passes of a straight band cross once, in its middle: the pass
// across the band's length gives a short stub across its width, which must not stand for the
// band (a tall rectangle's first pass is such a stub). Null when neither qualifies.
const polyline_t* whole_line_without_crossings(const polyline_t* a, const polyline_t* b) {
    bool a_follows =
        a->geom.count > 0 && calc_points_flag(com_polyline_front(a), com_polyline_last(a)) == 0;
    bool b_follows =
        b->geom.count > 0 && calc_points_flag(com_polyline_front(b), com_polyline_last(b)) == 1;
    if (a_follows && b_follows)
        return plane_length(b) > plane_length(a) ? b : a;
    return a_follows ? a : b_follows ? b : nullptr;
}

// Which pass an end stretch (from a crossing to a line's end) is taken from: the pass
// `stretch_from` of the stretch beside it when that pass follows the end (the first pass a flat
// end, the second a steep one), else the other pass when it does; -1 for neither.
int end_source(int stretch_from, point_t crossing, point_t a_end, point_t b_end) {
    bool a_follows = calc_points_flag(crossing, a_end) == 0;
    bool b_follows = calc_points_flag(crossing, b_end) == 1;
    if (stretch_from == 0)
        return a_follows ? 0 : b_follows ? 1 : -1;
    return b_follows ? 1 : a_follows ? 0 : -1;
}

// Appends the points first .. last - 1 of `from` (clamped to its points).
void append_range(polyline_t* result, const polyline_t* from, int first, int last) {
    first = std::max(first, 0);
    last = std::min(last, from->geom.count);
    for (int i = first; i < last; ++i)
        com_polyline_add(result, from->geom.points[i]);
}

}  // namespace

std::string point_to_string(point_t p) {
    return int_to_string(truncate_to_int32(p.x / kNodeGrid)) +
           int_to_string(truncate_to_int32(p.y / kNodeGrid));
}

int connect_polyline(std::vector<polyline_t>* pieces, polyline_t* result) {
    if (pieces->empty())
        return -1;
    com_polyline_free(result);
    *result = (*pieces)[0];
    std::vector<Piece> remaining;
    for (size_t i = 1; i < pieces->size(); ++i) {
        polyline_t& line = (*pieces)[i];
        remaining.push_back({line, point_to_string(com_polyline_front(&line)),
                             point_to_string(com_polyline_last(&line))});
    }
    pieces->clear();
    // Each round scans the unused pieces in order and attaches the first that meets an end;
    // `first_unused` skips the used prefix, so a list in path order joins in linear time.
    size_t first_unused = 0, left = remaining.size();
    int status = 0;
    for (int round = 0; left > 0; ++round) {
        bool attached = false;
        if (round < kMaxJoinRounds) {
            std::string result_first = point_to_string(com_polyline_front(result));
            std::string result_last = point_to_string(com_polyline_last(result));
            for (size_t i = first_unused; i < remaining.size() && !attached; ++i) {
                Piece& piece = remaining[i];
                if (piece.used || !attach(result, result_first, result_last, &piece))
                    continue;
                piece.used = attached = true;
                com_polyline_free(&piece.line);
                --left;
            }
            while (first_unused < remaining.size() && remaining[first_unused].used)
                ++first_unused;
        }
        if (!attached) {
            com_polyline_clear(result);
            status = -1;
            break;
        }
    }
    for (Piece& piece : remaining)
        if (!piece.used)
            com_polyline_free(&piece.line);
    return status;
}

int process_polyline_and_polyline(const polyline_t* a, const polyline_t* b, polyline_t* result) {
    if (a == nullptr)
        return 1;
    if (b == nullptr)
        return 0;
    polyline_t a_copy = copy_of(a), b_copy = copy_of(b);
    crosspts_t crossings{};
    com_crosspts_init(&crossings);
    calc_polylines_crosspts(&b_copy, &a_copy, &crossings);
    int n = crossings.count;
    const crosspt_t* c = crossings.crosspts;
    int last_from = 0;
    if (n < 2) {
        const polyline_t* whole = whole_line_without_crossings(a, b);
        if (whole != nullptr)
            append_range(result, whole, 0, whole->geom.count);
        last_from = whole == b ? 1 : 0;
    } else {
        // The head before the first crossing and the tail after the last are taken alike: from
        // the pass of the neighbouring stretch when it follows the end's direction, else from the
        // other pass when that one does.
        int first_from = calc_points_flag(c[0].pt, c[1].pt);
        int head = end_source(first_from, c[0].pt, com_polyline_front(&a_copy),
                              com_polyline_front(&b_copy));
        if (head == 0)
            append_range(result, &a_copy, 0, c[0].index2);
        else if (head == 1)
            append_range(result, &b_copy, 0, c[0].index1);
        for (int i = 0; i + 1 < n; ++i) {
            last_from = calc_points_flag(c[i].pt, c[i + 1].pt);
            if (last_from == 0)
                append_range(result, &a_copy, c[i].index2, c[i + 1].index2);
            else
                append_range(result, &b_copy, c[i].index1, c[i + 1].index1);
        }
        const crosspt_t& last = c[n - 1];
        int tail =
            end_source(last_from, last.pt, com_polyline_last(&a_copy), com_polyline_last(&b_copy));
        if (tail == 0)
            append_range(result, &a_copy, last.index2, a_copy.geom.count);
        else if (tail == 1)
            append_range(result, &b_copy, last.index1, b_copy.geom.count);
        else
            com_polyline_add(result, last.pt);  // the line ends at its last crossing
    }
    com_crosspts_free(&crossings);
    com_polyline_free(&a_copy);
    com_polyline_free(&b_copy);
    return last_from;
}

}  // namespace mapgeom

void polygon_framework_process(const polylines_t* in, polylines_t* out) {
    mapgeom::guarded_void([&] {
        if (in == nullptr || out == nullptr)
            return;
        mapgeom::Graph graph = mapgeom::graph_of(in);
        mapgeom::union_framework(&graph);
        std::vector<std::string> dead_ends = mapgeom::get_process_nodes(graph);
        while (mapgeom::process_nodes(&graph, dead_ends)) {
            mapgeom::union_framework(&graph);
            dead_ends = mapgeom::get_process_nodes(graph);
        }
        if (!mapgeom::get_process_nodes(graph).empty())
            mapgeom::delete_last_dead_ends(&graph);
        mapgeom::lines_to_polylines(in, graph, out);
    });
}

void framework_connect(const polylines_t* a, const polylines_t* b, polylines_t* out) {
    mapgeom::guarded_void([&] {
        if (a == nullptr || b == nullptr || out == nullptr)
            return;
        // b's counterparts may be reversed while they are matched: work on copies.
        mapgeom::OwnedPolylines b_copy;
        com_polylines_addrange_copy(&b_copy.list, b);
        mapgeom::Graph first = mapgeom::graph_of(a);
        mapgeom::Graph second = mapgeom::graph_of(&b_copy.list);
        while (!first.lines.empty()) {
            const mapgeom::line_t* line = mapgeom::longest_line(first);
            std::string counterpart = mapgeom::get_connect_line(&second, *line);
            const polyline_t* partner =
                counterpart.empty() ? nullptr : second.lines.at(counterpart).polyline;
            mapgeom::OwnedLine merged;
            mapgeom::process_polyline_and_polyline(line->polyline, partner, &merged.line);
            if (merged.line.geom.count > 1) {
                com_polylines_add(out, merged.line);
                merged.line = polyline_t{};  // the list owns its points now
            }
            mapgeom::delete_one_line(&first, std::string(line->key));
            if (!counterpart.empty())
                mapgeom::delete_one_line(&second, counterpart);
        }
    });
}

void framework_points_revise(const polygon_t* polygon, polylines_t* lines) {
    mapgeom::guarded_void([&] {
        if (polygon == nullptr || lines == nullptr)
            return;
        polygon_pretreat_t prepared;
        create_polygon_pretreat(polygon, &prepared);
        for (polyline_node_t* node = lines->head; node != nullptr; node = node->next) {
            geom_t& g = node->polyline.geom;
            for (int i = 0; i < g.count; ++i) {
                point_t& p = g.points[i];
                int left = relation_point_and_polygon(
                    &prepared, point_t{p.x - mapgeom::kReviseProbe, p.y, p.z});
                int right = relation_point_and_polygon(
                    &prepared, point_t{p.x + mapgeom::kReviseProbe, p.y, p.z});
                if (left == right)
                    continue;
                if (left == 0)
                    p.x += mapgeom::kReviseShift;
                else if (right == 0)
                    p.x -= mapgeom::kReviseShift;
            }
        }
    });
}
