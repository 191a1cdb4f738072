// Concave polygon decomposition over integer records. The ring is kept counter-clockwise in a
// circular doubly linked list beside a circular list of its concave nodes. A forward pass walks
// from each concave node C along the ring while the piece C, C.next, ... stays convex and cuts it
// off along a diagonal that crosses no other edge; a backward pass does the mirror image. Cycles of
// the two passes run until the rest is convex (stored as the last piece) or neither pass can cut.
// Every turn and segment test is exact on the integer coordinates; the diagonals are marked not
// shown on both sides.
#include <cstdio>
#include <cstdlib>

#include "mapgeom/concave.h"

namespace {

// The two messages, as the bytes of their GBK encoding (hosts read them in that encoding).
// "初始化链表失败!!!" (the working ring could not be built)
const char kInitFailedMessage[] = "\xb3\xf5\xca\xbc\xbb\xaf\xc1\xb4\xb1\xed\xca\xa7\xb0\xdc!!!";
// " 分割凹多边形失败!!!" (no pass could cut the ring), with its leading blank
const char kSplitFailedMessage[] =
    " \xb7\xd6\xb8\xee\xb0\xbc\xb6\xe0\xb1\xdf\xd0\xce\xca\xa7\xb0\xdc!!!";

// Non-show bits: the edge to the next vertex, and the edge from the previous one.
constexpr int kHideFollowing = 1;
constexpr int kHidePreceding = 2;

// Turn codes of ConcexPoint.
constexpr int kRightTurn = 0;
constexpr int kLeftTurn = 1;
constexpr int kStraight = 2;

// Band of the box test on a computed crossing point: products of coordinate differences within it
// count as zero (the point is computed in doubles from integer lines).
constexpr double kBoxBand = 1e-8;

using Wide = __int128;

// (b - a) x (c - b), exact: coordinates are 32-bit, so every product fits in 128 bits.
Wide cross_turn(const _listnode* a, const _listnode* b, const _listnode* c) {
    return Wide(Wide(b->x) - a->x) * (Wide(c->y) - b->y) -
           Wide(Wide(b->y) - a->y) * (Wide(c->x) - b->x);
}

// Side of p against the directed line a -> b: positive left, negative right, zero on it.
int side(const _listnode* a, const _listnode* b, const _listnode* p) {
    Wide d = Wide(Wide(b->x) - a->x) * (Wide(p->y) - a->y) -
             Wide(Wide(b->y) - a->y) * (Wide(p->x) - a->x);
    return d > 0 ? 1 : (d < 0 ? -1 : 0);
}

bool same_place(const _listnode* a, const _listnode* b) {
    return a->x == b->x && a->y == b->y;
}

int min_of(int a, int b) {
    return a < b ? a : b;
}
int max_of(int a, int b) {
    return a > b ? a : b;
}

// Whether p lies in the closed box of a-b.
bool in_box(const _listnode* a, const _listnode* b, const _listnode* p) {
    return p->x >= min_of(a->x, b->x) && p->x <= max_of(a->x, b->x) && p->y >= min_of(a->y, b->y) &&
           p->y <= max_of(a->y, b->y);
}

_listnode* new_node(int x, int y, int non_show) {
    _listnode* node = static_cast<_listnode*>(std::malloc(sizeof(_listnode)));
    if (node == nullptr)
        return nullptr;
    node->x = x;
    node->y = y;
    node->non_show = non_show;
    node->prev = node->next = nullptr;
    return node;
}

// Releases an open chain of nodes linked by next (the ring before it is closed).
void release_chain(_listnode* first) {
    while (first != nullptr) {
        _listnode* next = first->next;
        std::free(first);
        first = next;
    }
}

// Appends an entry for each concave node of the ring, in ring order. False when an allocation
// failed (the entries made so far stay in the list).
bool build_concave_list(_listnode* head, int count, tagConcaveListHead_t* list) {
    list->first = nullptr;
    list->count = 0;
    _listnode* node = head;
    for (int i = 0; i < count; ++i, node = node->next) {
        if (ConcexNode(node) != 0)
            continue;
        tagConcaveList_t* entry =
            static_cast<tagConcaveList_t*>(std::malloc(sizeof(tagConcaveList_t)));
        if (entry == nullptr)
            return false;
        entry->node = node;
        if (list->first == nullptr) {
            entry->prev = entry->next = entry;
            list->first = entry;
        } else {
            tagConcaveList_t* last = list->first->prev;
            entry->prev = last;
            entry->next = list->first;
            last->next = entry;
            list->first->prev = entry;
        }
        ++list->count;
    }
    return true;
}

void write_line(const char* text) {
    std::fputs(text, stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

// Releases everything the decomposition still holds (the pieces chain is the caller's).
void release_work(tagConcaveWork_t* work) {
    if (work->head != nullptr)
        deletespace(work->head, work->count);
    work->head = nullptr;
    work->count = 0;
    DeleteConcaveListSpace(&work->list);
}

// Where a walk from the concave node C stopped, as one row of the table below.
enum class WalkEnd {
    kNoCut,          // fewer than three real turns: nothing to cut
    kBeforeStop,     // cut up to the vertex before the one that stopped the walk
    kAtConcaveStop,  // cut up to the concave vertex that stopped the walk (recheck it afterwards)
};

struct Walk {
    _listnode* p;
    int k;
    int run;
    WalkEnd end;
};

// The walk from C in one direction (step(n) gives the following node, turn(p) the turn the piece
// would make at C when closed by the diagonal p - C):
//
//   p's own turn       | turn at C | action
//   -------------------+-----------+-----------------------------------------------------------
//   convex / straight  | left      | k + 1, run + 1, strict; go on
//   convex / straight  | straight  | k + 1, run + 1 if strict; go on
//   convex / straight  | right     | stop; cut up to the vertex before p
//   concave            | left      | k + 1, run + 1; stop; cut up to p
//   concave            | straight  | k + 1, run + 1 if strict; stop; cut up to p
//   concave            | right     | stop; cut up to the vertex before p
//
// The walk ends at C.prev (C.next backwards) at the latest, since there the turn at C is C's own,
// right; `count` (the ring's node count) bounds it anyway.
template <typename Step, typename Back, typename Turn>
Walk walk_from(const _listnode* c, int count, Step step, Back back, Turn turn) {
    Walk w{step(c), 1, 2, WalkEnd::kNoCut};
    bool strict = false;
    for (;;) {
        if (w.k >= count) {
            w.end = WalkEnd::kNoCut;
            return w;
        }
        int t = turn(w.p);
        bool convex = ConcexNode(w.p) != 0;
        if (t == kRightTurn) {
            w.p = back(w.p);
            w.end = w.run < 3 ? WalkEnd::kNoCut : WalkEnd::kBeforeStop;
            return w;
        }
        ++w.k;
        if (t == kLeftTurn || strict)
            ++w.run;
        if (t == kLeftTurn)
            strict = true;
        if (!convex) {
            w.end = w.run < 3 ? WalkEnd::kNoCut : WalkEnd::kAtConcaveStop;
            return w;
        }
        w.p = step(w.p);
    }
}

// Where a pass stands: its cursor in the concave list, the last cut vertex and how many tries in
// a row made no cut.
struct PassState {
    tagConcaveList_t* cursor;
    _listnode* last_cut;
    int streak = 0;
};

// Moves the cursor on after a try; true when the pass has failed too often in a row and ends.
bool advance(tagConcaveWork_t* work, PassState* state) {
    if (state->cursor != nullptr)
        state->cursor = state->cursor->next;
    ++state->streak;
    return state->streak > work->list.count + 1;
}

// Stores the ring that is left (convex now) as the last piece and releases it.
int store_last_piece(tagConcaveWork_t* work, const _listnode* first, const _listnode* last) {
    if (StorePolygonPoint(work->pieces, first, last, work->count) == nullptr) {
        work->failed = 1;
        return 0;
    }
    ++*work->piece_count;
    deletespace(work->head, work->count);
    work->head = nullptr;
    work->count = 0;
    return 1;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Turn tests.
// ---------------------------------------------------------------------------------------------

int ConcexPoint(const _listnode* a, const _listnode* b, const _listnode* c) {
    Wide cross = cross_turn(a, b, c);
    if (cross == 0)
        return kStraight;
    return cross > 0 ? kLeftTurn : kRightTurn;
}

int ConcexNode(const _listnode* node) {
    return ConcexPoint(node->prev, node, node->next) == kRightTurn ? 0 : 1;
}

int Concex_Polygon(const _listnode* head, int n) {
    const _listnode* node = head;
    for (int i = 0; i < n; ++i, node = node->next)
        if (ConcexNode(node) == 0)
            return 0;
    return 1;
}

long long tria_area(const _listnode* node) {
    const _listnode* prev = node->prev;
    const _listnode* next = node->next;
    Wide area = Wide(Wide(prev->x) - next->x) * (Wide(node->y) - next->y) -
                Wide(Wide(node->x) - next->x) * (Wide(prev->y) - next->y);
    const Wide limit = Wide(0x7fffffffffffffffLL);
    if (area > limit)
        return 0x7fffffffffffffffLL;
    if (area < -limit)
        return -0x7fffffffffffffffLL;
    return static_cast<long long>(area);
}

_listnode* Searchminxy(_listnode* head, int n) {
    _listnode* best = head;
    _listnode* node = head;
    for (int i = 0; i < n; ++i, node = node->next)
        if (node->y < best->y || (node->y == best->y && node->x >= best->x))
            best = node;
    return best;
}

int JudgeDirection(_listnode* head, int n) {
    if (head == nullptr || n < 1)
        return 1;
    return tria_area(Searchminxy(head, n)) < 0 ? 0 : 1;
}

int CheckPolygonDirect(const int* xy, int n) {
    if (xy == nullptr || n < 1)
        return -1;
    _listnode* first = nullptr;
    _listnode* last = nullptr;
    for (int i = 0; i < n; ++i) {
        _listnode* node = new_node(xy[2 * i], xy[2 * i + 1], 0);
        if (node == nullptr) {
            release_chain(first);
            return -1;
        }
        if (first == nullptr)
            first = node;
        else
            last->next = node, node->prev = last;
        last = node;
    }
    last->next = first;
    first->prev = last;
    int direction = JudgeDirection(first, n);
    deletespace(first, n);
    return direction;
}

// ---------------------------------------------------------------------------------------------
// Segment tests.
// ---------------------------------------------------------------------------------------------

int isIntersected(const _listnode* a, const _listnode* b, const _listnode* c, const _listnode* d,
                  tagPoint_t* p) {
    // Segments sharing an end meet there: the point is the shared end itself.
    const _listnode* ends[2] = {a, b};
    for (const _listnode* e : ends)
        if (same_place(e, c) || same_place(e, d)) {
            p->x = e->x;
            p->y = e->y;
            return 1;
        }
    double dx1 = double(b->x) - a->x, dy1 = double(b->y) - a->y;
    double dx2 = double(d->x) - c->x, dy2 = double(d->y) - c->y;
    if (Wide(Wide(b->y) - a->y) * (Wide(d->x) - c->x) ==
        Wide(Wide(b->x) - a->x) * (Wide(d->y) - c->y))
        return 0;
    if (dx1 == 0.0) {
        p->x = a->x;
        p->y = c->y + (p->x - c->x) * dy2 / dx2;
    } else if (dx2 == 0.0) {
        p->x = c->x;
        p->y = a->y + (p->x - a->x) * dy1 / dx1;
    } else {
        double k1 = dy1 / dx1, k2 = dy2 / dx2;
        p->x = (c->y - a->y + k1 * a->x - k2 * c->x) / (k1 - k2);
        p->y = a->y + (p->x - a->x) * k1;
    }
    return 1;
}

int isInRectangle(const _listnode* a, const _listnode* b, tagPoint_t p) {
    double along_x = (a->x - p.x) * (b->x - p.x);
    double along_y = (a->y - p.y) * (b->y - p.y);
    bool x_inside = along_x <= kBoxBand;
    bool y_inside = along_y <= kBoxBand;
    return x_inside && y_inside ? 1 : 0;
}

int isOnLine(const _listnode* a, const _listnode* b, tagPoint_t p) {
    return isInRectangle(a, b, p);
}

// Decided by exact orientations: the computed crossing point of isIntersected is only used by
// hosts, since for large coordinates its rounding could put a touching point outside the boxes.
// Collinear segments meet when they overlap; a shared end point is a meeting.
int JudgeLineIntersect(const _listnode* a, const _listnode* b, const _listnode* c,
                       const _listnode* d) {
    int s1 = side(a, b, c), s2 = side(a, b, d);
    int s3 = side(c, d, a), s4 = side(c, d, b);
    if (s1 * s2 < 0 && s3 * s4 < 0)
        return 1;
    if (s1 == 0 && in_box(a, b, c))
        return 1;
    if (s2 == 0 && in_box(a, b, d))
        return 1;
    if (s3 == 0 && in_box(c, d, a))
        return 1;
    if (s4 == 0 && in_box(c, d, b))
        return 1;
    return 0;
}

int JudgeLineIntersectEx(const _listnode* a, const _listnode* b, const _listnode* c,
                         const _listnode* d) {
    if ((c->x < a->x && c->x < b->x && d->x < a->x && d->x < b->x) ||
        (c->x > a->x && c->x > b->x && d->x > a->x && d->x > b->x) ||
        (c->y < a->y && c->y < b->y && d->y < a->y && d->y < b->y) ||
        (c->y > a->y && c->y > b->y && d->y > a->y && d->y > b->y))
        return 0;
    return JudgeLineIntersect(a, b, c, d);
}

int JudgeSeriesLineIntersect(const _listnode* a, const _listnode* b, const _listnode* from,
                             const _listnode* to) {
    for (const _listnode* node = from; node != to; node = node->next)
        if (JudgeLineIntersectEx(a, b, node, node->next) != 0)
            return 1;
    return 0;
}

int self_polygon(_listnode* head, int n) {
    if (head == nullptr || n < 4)
        return 0;
    // Edge i runs from node i to node i + 1; edge n - 1 is the closing edge. Edges i and j
    // (i < j) are neighbours when j == i + 1, or i == 0 and j == n - 1.
    _listnode* edge_i = head;
    for (int i = 0; i < n - 2; ++i, edge_i = edge_i->next) {
        _listnode* edge_j = edge_i->next->next;
        for (int j = i + 2; j < n; ++j, edge_j = edge_j->next) {
            if (i == 0 && j == n - 1)
                continue;
            if (JudgeLineIntersectEx(edge_i, edge_i->next, edge_j, edge_j->next) != 0)
                return 1;
        }
    }
    return 0;
}

int inTriangle(const _listnode* a, const _listnode* b, const _listnode* c, const _listnode* p) {
    auto twice_area = [](const _listnode* u, const _listnode* v, const _listnode* w) {
        Wide d = cross_turn(u, v, w);
        return d < 0 ? -d : d;
    };
    Wide whole = twice_area(a, b, c);
    Wide parts = twice_area(p, a, b) + twice_area(p, b, c) + twice_area(p, c, a);
    return whole == parts ? 1 : 0;
}

int PointAtTriangulate(const _listnode* node, int n) {
    const _listnode* prev = node->prev;
    const _listnode* next = node->next;
    const _listnode* other = next->next;
    for (int i = 0; i < n - 3; ++i, other = other->next)
        if (inTriangle(prev, node, next, other) != 0)
            return 0;
    return 1;
}

// ---------------------------------------------------------------------------------------------
// The working ring and the concave list.
// ---------------------------------------------------------------------------------------------

void ReverseNonShowZoon(_listnode* node) {
    if (node->non_show == kHideFollowing)
        node->non_show = kHidePreceding;
    else if (node->non_show == kHidePreceding)
        node->non_show = kHideFollowing;
}

void ReverseList(_listnode* head, int n) {
    _listnode* node = head;
    for (int i = 0; i < n; ++i) {
        _listnode* next = node->next;
        node->next = node->prev;
        node->prev = next;
        ReverseNonShowZoon(node);
        node = next;
    }
}

_listnode* InitializeList(const _InPoint* points, int n, _listnode** head, int* count,
                          tagConcaveListHead_t* list) {
    *head = nullptr;
    *count = 0;
    list->first = nullptr;
    list->count = 0;
    if (points == nullptr || n < 2)
        return nullptr;
    _listnode* first = nullptr;
    _listnode* last = nullptr;
    int made = 0;
    for (int i = 0; i < n - 1; ++i) {
        const _InPoint& in = points[i];
        if (last != nullptr && last->x == in.x && last->y == in.y) {
            // The repeated point's following edge is the kept node's now.
            last->non_show |= in.non_show & kHideFollowing;
            continue;
        }
        _listnode* node = new_node(in.x, in.y, in.non_show);
        if (node == nullptr) {
            release_chain(first);
            return nullptr;
        }
        if (first == nullptr)
            first = node;
        else
            last->next = node, node->prev = last;
        last = node;
        ++made;
    }
    // The closing edge hidden by the last input point is the first node's preceding edge. A last
    // point hiding both its edges (3) hides the closing edge as much as 1 does.
    int last_flag = points[n - 2].non_show;
    if (last_flag == kHideFollowing || last_flag == (kHideFollowing | kHidePreceding)) {
        if (first->non_show == 0)
            first->non_show = kHidePreceding;
        else if (first->non_show == kHideFollowing)
            first->non_show = kHideFollowing | kHidePreceding;
    }
    // A last node repeating the first (the closing point given twice) would be a zero-length
    // edge: drop it, its preceding edge ending at the first node.
    if (made > 1 && same_place(first, last)) {
        first->non_show |= last->non_show & kHidePreceding;
        _listnode* before = last->prev;
        std::free(last);
        last = before;
        last->next = nullptr;
        --made;
    }
    last->next = first;
    first->prev = last;
    if (tria_area(Searchminxy(first, made)) < 0)
        ReverseList(first, made);
    if (!build_concave_list(first, made, list)) {
        DeleteConcaveListSpace(list);
        deletespace(first, made);
        return nullptr;
    }
    *head = first;
    *count = made;
    return first;
}

int IsSameNode(_listnode** head, int n) {
    if (head == nullptr || *head == nullptr || n < 1)
        return 0;
    int count = n;
    _listnode* node = (*head)->next;
    for (int i = 1; i < n; ++i) {
        _listnode* next = node->next;
        bool repeated = false;
        for (_listnode* earlier = *head; earlier != node; earlier = earlier->next)
            if (same_place(earlier, node)) {
                repeated = true;
                break;
            }
        if (repeated) {
            deleteNode(head, node);
            --count;
        }
        node = next;
    }
    return count;
}

void deleteNode(_listnode** head, _listnode* node) {
    if (node->next == node) {
        *head = nullptr;
    } else {
        node->prev->next = node->next;
        node->next->prev = node->prev;
        if (*head == node)
            *head = node->next;
    }
    std::free(node);
}

void deleteseriesspace(_listnode* from, _listnode* to) {
    _listnode* node = from->next;
    while (node != to) {
        _listnode* next = node->next;
        std::free(node);
        node = next;
    }
    from->next = to;
    to->prev = from;
}

void deletespace(_listnode* head, int n) {
    _listnode* node = head;
    for (int i = 0; i < n && node != nullptr; ++i) {
        _listnode* next = node->next;
        std::free(node);
        node = next;
    }
}

tagConcaveList_t* DeleteConcavelist(tagConcaveListHead_t* list, tagConcaveList_t* entry) {
    tagConcaveList_t* before = entry->prev;
    if (entry->next == entry) {
        before = nullptr;
        list->first = nullptr;
    } else {
        entry->prev->next = entry->next;
        entry->next->prev = entry->prev;
        if (list->first == entry)
            list->first = before;
    }
    std::free(entry);
    --list->count;
    return before;
}

void DeleteConcaveListSpace(tagConcaveListHead_t* list) {
    tagConcaveList_t* entry = list->first;
    for (int i = 0; i < list->count && entry != nullptr; ++i) {
        tagConcaveList_t* next = entry->next;
        std::free(entry);
        entry = next;
    }
    list->first = nullptr;
    list->count = 0;
}

// ---------------------------------------------------------------------------------------------
// Pieces.
// ---------------------------------------------------------------------------------------------

void SetlistNonShowZone(_listnode* from, _listnode* to) {
    from->non_show |= kHideFollowing;
    to->non_show |= kHidePreceding;
}

void SetPolygonNonShowZone(_polygon* piece) {
    int n = piece->num;
    piece->points[n - 2].non_show |= kHideFollowing;
    piece->points[n - 1].non_show = kHidePreceding;
    piece->points[0].non_show &= ~kHidePreceding;
}

_polygon* StorePolygonPoint(_polygon** pieces, const _listnode* first, const _listnode* last,
                            int k) {
    // Both blocks are made before anything is linked, so a failure leaves the chain as it was.
    _polygon* piece = static_cast<_polygon*>(std::malloc(sizeof(_polygon)));
    _point* points = static_cast<_point*>(std::malloc(sizeof(_point) * (size_t(k) + 1)));
    if (piece == nullptr || points == nullptr) {
        std::free(piece);
        std::free(points);
        return nullptr;
    }
    const _listnode* node = first;
    int num = 0;
    for (; num < k; ++num) {
        points[num] = _point{node->x, node->y, node->non_show};
        if (node == last) {
            ++num;
            break;
        }
        node = node->next;
    }
    points[num] = points[0];
    piece->points = points;
    piece->num = num + 1;
    piece->next = nullptr;
    SetPolygonNonShowZone(piece);
    _polygon** tail = pieces;
    while (*tail != nullptr)
        tail = &(*tail)->next;
    *tail = piece;
    return piece;
}

int ReleasePolygonSpace(_polygon* pieces, int piece_count) {
    for (int i = 0; i < piece_count && pieces != nullptr; ++i) {
        _polygon* next = pieces->next;
        std::free(pieces->points);
        std::free(pieces);
        pieces = next;
    }
    return 1;
}

// ---------------------------------------------------------------------------------------------
// Cut attempts.
// ---------------------------------------------------------------------------------------------

namespace {

// Steps the cut's end back once (toward C); false when fewer than three real turns are left.
template <typename Back>
bool step_back(_listnode** p, int* k, int* run, int* shortened, Back back) {
    *p = back(*p);
    --*k;
    --*run;
    *shortened = 1;
    return *run >= 3;
}

}  // namespace

int IsEffectPolygon(const _listnode* c, _listnode** p, int* k, int* run, int* shortened) {
    auto back = [](_listnode* n) { return n->prev; };
    *shortened = 0;
    if (*run < 3)
        return 0;
    if (ConcexPoint((*p)->prev, *p, c) == kRightTurn && !step_back(p, k, run, shortened, back))
        return 0;
    while (JudgeSeriesLineIntersect(c, *p, (*p)->next, c->prev) != 0)
        if (!step_back(p, k, run, shortened, back))
            return 0;
    return *run >= 3 ? 1 : 0;
}

int IsEffectPolygonC(const _listnode* c, _listnode** p, int* k, int* run, int* shortened) {
    auto back = [](_listnode* n) { return n->next; };
    *shortened = 0;
    if (*run < 3)
        return 0;
    if (ConcexPoint(c, *p, (*p)->next) == kRightTurn && !step_back(p, k, run, shortened, back))
        return 0;
    while (JudgeSeriesLineIntersect(c, *p, c->next, (*p)->prev) != 0)
        if (!step_back(p, k, run, shortened, back))
            return 0;
    return *run >= 3 ? 1 : 0;
}

// ---------------------------------------------------------------------------------------------
// The passes.
// ---------------------------------------------------------------------------------------------

int Nonclockwise_Polygon_Decompose_Algorithm(tagConcaveWork_t* work) {
    PassState state{work->list.first, work->head};
    while (work->list.count > 0) {
        _listnode* c = state.cursor->node;
        Walk w = walk_from(
            c, work->count, [](const _listnode* n) { return n->next; },
            [](_listnode* n) { return n->prev; },
            [c](const _listnode* p) { return ConcexPoint(p, c, c->next); });
        int shortened = 0;
        if (w.end != WalkEnd::kNoCut && IsEffectPolygon(c, &w.p, &w.k, &w.run, &shortened)) {
            if (StorePolygonPoint(work->pieces, c, w.p, w.k) == nullptr) {
                work->failed = 1;
                return 0;
            }
            _listnode* p = w.p;
            SetlistNonShowZone(c, p);
            deleteseriesspace(c, p);
            ++*work->piece_count;
            work->count -= w.k - 2;
            work->head = state.last_cut = c;
            state.streak = 0;
            if (ConcexPoint(c->prev, c, p) != kRightTurn)
                state.cursor = DeleteConcavelist(&work->list, state.cursor);
            // P's entry follows the cursor; deleting it leaves the cursor where it is (or on
            // nothing when it was the last entry).
            if (w.end == WalkEnd::kAtConcaveStop && !shortened && state.cursor != nullptr &&
                state.cursor->next->node == p && ConcexPoint(c, p, p->next) != kRightTurn)
                state.cursor = DeleteConcavelist(&work->list, state.cursor->next);
        }
        if (advance(work, &state)) {
            work->head = state.last_cut;
            return 0;
        }
    }
    work->head = state.last_cut;
    return store_last_piece(work, state.last_cut->next, state.last_cut);
}

int Clockwise_Polygon_Decompose_Algorithm(tagConcaveWork_t* work) {
    PassState state{work->list.first, work->head};
    while (work->list.count > 0) {
        _listnode* c = state.cursor->node;
        Walk w = walk_from(
            c, work->count, [](const _listnode* n) { return n->prev; },
            [](_listnode* n) { return n->next; },
            [c](const _listnode* p) { return ConcexPoint(c->prev, c, p); });
        int shortened = 0;
        if (w.end != WalkEnd::kNoCut && IsEffectPolygonC(c, &w.p, &w.k, &w.run, &shortened)) {
            _listnode* p = w.p;
            if (StorePolygonPoint(work->pieces, p, c, w.k) == nullptr) {
                work->failed = 1;
                return 0;
            }
            SetlistNonShowZone(p, c);
            deleteseriesspace(p, c);
            ++*work->piece_count;
            work->count -= w.k - 2;
            work->head = state.last_cut = c;
            state.streak = 0;
            if (ConcexPoint(p, c, c->next) != kRightTurn)
                state.cursor = DeleteConcavelist(&work->list, state.cursor);
            else if (w.end == WalkEnd::kAtConcaveStop)
                state.cursor = state.cursor->prev;
            if (w.end == WalkEnd::kAtConcaveStop && !shortened && state.cursor != nullptr &&
                state.cursor->node == p && ConcexPoint(p->prev, p, c) != kRightTurn)
                state.cursor = DeleteConcavelist(&work->list, state.cursor);
        }
        if (advance(work, &state)) {
            work->head = state.last_cut;
            return 0;
        }
    }
    work->head = state.last_cut;
    return store_last_piece(work, state.last_cut, state.last_cut->prev);
}

// ---------------------------------------------------------------------------------------------
// Top level.
// ---------------------------------------------------------------------------------------------

int MakePolyProtru(_polygon** pieces, int* piece_count, const _InPoint* points, int n) {
    tagConcaveWork_t work{nullptr, 0, {nullptr, 0}, pieces, piece_count, 0};
    if (pieces == nullptr || piece_count == nullptr)
        return -1;
    if (InitializeList(points, n, &work.head, &work.count, &work.list) == nullptr) {
        write_line(kInitFailedMessage);
        return -1;
    }
    // Crossings are looked for first: a ring can turn left at every vertex and still cross
    // itself (a pentagram), and must not be reported as convex then.
    if (self_polygon(work.head, work.count) != 0) {
        release_work(&work);
        return 1;
    }
    if (Concex_Polygon(work.head, work.count) == 1) {
        release_work(&work);
        return 2;
    }
    // Every cycle that goes on has cut at least once, and each cut removes a vertex from the
    // ring, so the cycles end.
    for (;;) {
        int before = *piece_count;
        if (Nonclockwise_Polygon_Decompose_Algorithm(&work) == 1)
            break;
        if (!work.failed && Clockwise_Polygon_Decompose_Algorithm(&work) == 1)
            break;
        if (work.failed) {
            release_work(&work);
            return -1;
        }
        if (*piece_count == before) {
            release_work(&work);
            write_line(kSplitFailedMessage);
            return -1;
        }
    }
    DeleteConcaveListSpace(&work.list);
    return 0;
}
