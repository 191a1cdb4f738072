/* Concave polygon decomposition over integer records: a simple polygon with 32-bit integer
 * vertices is cut into convex pieces for hosts that can only fill convex shapes. Every vertex
 * carries a non-show flag naming which of its two edges must not be outlined; the cut diagonals
 * come back hidden on both sides, so filling the pieces and outlining only the shown edges draws
 * the polygon's own outline without seams. The records compile as C; the operations are C++
 * functions. Nothing here uses the geometry records of mapgeom/com.h. */
#ifndef MAPGEOM_CONCAVE_H
#define MAPGEOM_CONCAVE_H

#include "mapgeom/export.h"

/* ---------------------------------------------------------------------------------------------------
 * Records. Layouts are fixed (hosts fill and read them directly).
 *
 * non_show of a vertex:  bit value 1  the edge from this vertex to the next is not shown
 *                        bit value 2  the edge from the previous vertex to this one is not shown
 * so 0 both shown, 1 following hidden, 2 preceding hidden, 3 neither shown. An edge a -> b of a
 * ring or piece is hidden when a carries bit 1 or b carries bit 2.
 * -------------------------------------------------------------------------------------------------
 */

/* An input vertex. */
typedef struct _InPoint {
    int x;
    int y;
    int non_show;
} _InPoint;

/* A vertex of an output piece. */
typedef struct _point {
    int x;
    int y;
    int non_show;
} _point;

/* A node of the working ring: circular and doubly linked, one heap block (malloc) per node. */
typedef struct _listnode {
    int x;
    int y;
    int non_show;
    struct _listnode* prev;
    struct _listnode* next;
} _listnode;

/* An entry of the circular list of concave ring nodes. */
typedef struct tagConcaveList_t {
    _listnode* node;
    struct tagConcaveList_t* prev;
    struct tagConcaveList_t* next;
} tagConcaveList_t;

typedef struct tagConcaveListHead_t {
    tagConcaveList_t* first;
    int count;
} tagConcaveListHead_t;

/* One convex piece: `num` points (malloc'd array), the last repeating the first; pieces form a
 * singly linked chain (malloc'd) in the order they were made. */
typedef struct _polygon {
    _point* points;
    int num;
    struct _polygon* next;
} _polygon;

/* The crossing point of two lines. */
typedef struct tagPoint_t {
    double x;
    double y;
} tagPoint_t;

/* The decomposition state the two passes share. */
typedef struct tagConcaveWork_t {
    _listnode* head;           /* a live node of the working ring */
    int count;                 /* nodes in the ring */
    tagConcaveListHead_t list; /* its concave nodes */
    _polygon** pieces;         /* the caller's chain */
    int* piece_count;
    int failed; /* set when an allocation failed */
} tagConcaveWork_t;

#ifdef __cplusplus

/* ---------------------------------------------------------------------------------------------------
 * Decomposition.
 * -------------------------------------------------------------------------------------------------
 */

/* Cuts the polygon points[0 .. n-1] (n counts the closing point, which is not read) into convex
 * pieces. Consecutive repeated points are dropped first; a clockwise ring is worked
 * counter-clockwise (pieces then run counter-clockwise, with flags 1 and 2 exchanged).
 *   0  decomposed: the pieces are appended to *pieces (set to null by the caller first; the last
 *      piece made is last) and *piece_count grows by their number
 *   1  the polygon crosses or touches itself: nothing added
 *   2  the polygon is already convex: nothing added
 *  -1  fewer than two points or no ring could be built (the line "初始化链表失败!!!" in GBK on
 *      standard output), an allocation failure while cutting (no line), or a ring that neither
 *      pass can cut (the line " 分割凹多边形失败!!!" in GBK); pieces appended before either of the
 *      last two stay in the chain and are counted
 * Both lines are written as the bytes of their GBK encoding, each followed by a newline. A ring
 * that crosses or touches itself is reported as 1 before any convexity test (a pentagram turns
 * left at every vertex).
 * The caller releases the chain with ReleasePolygonSpace. */
MAPGEOM_API int MakePolyProtru(_polygon** pieces, int* piece_count, const _InPoint* points, int n);

/* Releases up to piece_count pieces of the chain (each piece's points, then the piece),
 * following `next`. Returns 1, also when pieces is null or piece_count < 1 (nothing released). */
MAPGEOM_API int ReleasePolygonSpace(_polygon* pieces, int piece_count);

/* ---------------------------------------------------------------------------------------------------
 * Turn tests. Cross products are exact (integer coordinates); a ring is counter-clockwise with
 * the y axis up.
 * -------------------------------------------------------------------------------------------------
 */

/* The turn a -> b -> c: 1 left, 0 right, 2 straight (or a repeated point). */
MAPGEOM_API int ConcexPoint(const _listnode* a, const _listnode* b, const _listnode* c);
/* 1 when the turn prev -> node -> next is left or straight (convex), 0 when right (concave). */
MAPGEOM_API int ConcexNode(const _listnode* node);
/* 1 when all n nodes from head on are convex or straight, 0 otherwise. */
MAPGEOM_API int Concex_Polygon(const _listnode* head, int n);
/* Twice the signed area of the triangle prev, node, next: positive when counter-clockwise. The
 * value saturates at the range of long long (its sign is always right). */
MAPGEOM_API long long tria_area(const _listnode* node);
/* The extreme node of the ring: least y, then greatest x, on a full tie the later node. */
MAPGEOM_API _listnode* Searchminxy(_listnode* head, int n);
/* 1 when the ring runs counter-clockwise (tria_area at the extreme node not negative), 0 when
 * clockwise. */
MAPGEOM_API int JudgeDirection(_listnode* head, int n);
/* The same for a temporary ring of n vertices given as x, y pairs in xy[0 .. 2n-1]; -1 when the
 * ring cannot be built. */
MAPGEOM_API int CheckPolygonDirect(const int* xy, int n);

/* ---------------------------------------------------------------------------------------------------
 * Segment tests (segments are closed: touching counts as meeting).
 * -------------------------------------------------------------------------------------------------
 */

/* Meeting point of the lines a-b and c-d: 1 with *p written (a shared end point is the meeting
 * point itself), 0 when the lines are parallel or collinear (*p untouched). */
MAPGEOM_API int isIntersected(const _listnode* a, const _listnode* b, const _listnode* c,
                              const _listnode* d, tagPoint_t* p);
/* 1 when p lies in the closed box of a-b (within 1e-8), 0 otherwise. */
MAPGEOM_API int isInRectangle(const _listnode* a, const _listnode* b, tagPoint_t p);
MAPGEOM_API int isOnLine(const _listnode* a, const _listnode* b, tagPoint_t p);
/* 1 when the closed segments a-b and c-d meet, 0 otherwise; the Ex form rejects by boxes first. */
MAPGEOM_API int JudgeLineIntersect(const _listnode* a, const _listnode* b, const _listnode* c,
                                   const _listnode* d);
MAPGEOM_API int JudgeLineIntersectEx(const _listnode* a, const _listnode* b, const _listnode* c,
                                     const _listnode* d);
/* 1 when segment a-b meets an edge of the chain from -> from.next -> ... -> to, 0 otherwise. */
MAPGEOM_API int JudgeSeriesLineIntersect(const _listnode* a, const _listnode* b,
                                         const _listnode* from, const _listnode* to);
/* 1 when two edges of the ring that are not neighbours meet, 0 otherwise. */
MAPGEOM_API int self_polygon(_listnode* head, int n);
/* 1 when p lies in or on the triangle a, b, c (area comparison in integers), 0 otherwise. */
MAPGEOM_API int inTriangle(const _listnode* a, const _listnode* b, const _listnode* c,
                           const _listnode* p);
/* 1 when no other node of the ring of n nodes lies in the triangle of node and its neighbours. */
MAPGEOM_API int PointAtTriangulate(const _listnode* node, int n);

/* ---------------------------------------------------------------------------------------------------
 * The working ring and the concave list.
 * -------------------------------------------------------------------------------------------------
 */

/* Builds the counter-clockwise working ring from points[0 .. n-2] into *head (null when no node
 * can be made or an allocation fails: then nothing is left allocated), its node count into *count
 * and the list of its concave nodes into *list. Returns *head. */
MAPGEOM_API _listnode* InitializeList(const _InPoint* points, int n, _listnode** head, int* count,
                                      tagConcaveListHead_t* list);
/* Reverses the ring of n nodes in place (head stays first) and exchanges flags 1 and 2. */
MAPGEOM_API void ReverseList(_listnode* head, int n);
/* Exchanges the non-show values 1 and 2 of one node (3 and 0 stay). */
MAPGEOM_API void ReverseNonShowZoon(_listnode* node);
/* Removes every node equal (x and y) to an earlier node; returns the node count left. */
MAPGEOM_API int IsSameNode(_listnode** head, int n);
/* Unlinks and releases one node, moving *head on when it is the head (null for the last node). */
MAPGEOM_API void deleteNode(_listnode** head, _listnode* node);
/* Releases the nodes strictly between from and to (following next) and links from to to. */
MAPGEOM_API void deleteseriesspace(_listnode* from, _listnode* to);
/* Releases the n nodes of the ring from head on. */
MAPGEOM_API void deletespace(_listnode* head, int n);
/* Deletes one entry; returns the entry before it (null when the list became empty). Deleting the
 * first entry makes the one before it first. */
MAPGEOM_API tagConcaveList_t* DeleteConcavelist(tagConcaveListHead_t* list,
                                                tagConcaveList_t* entry);
/* Releases every entry of the list and empties it. */
MAPGEOM_API void DeleteConcaveListSpace(tagConcaveListHead_t* list);

/* ---------------------------------------------------------------------------------------------------
 * Pieces and the two passes.
 * -------------------------------------------------------------------------------------------------
 */

/* Marks the diagonal from -> to not shown in the ring: from gains bit 1, to gains bit 2. */
MAPGEOM_API void SetlistNonShowZone(_listnode* from, _listnode* to);
/* Marks the closing edge of a piece not shown: the last real point gains bit 1, the closing point
 * gets exactly 2, the first point loses bit 2. */
MAPGEOM_API void SetPolygonNonShowZone(_polygon* piece);
/* Appends to the chain a piece of the k nodes first, first.next, ..., last, closed by first again
 * (k + 1 points), with its closing edge marked. Returns the piece, or null when an allocation
 * fails (then nothing is appended). */
MAPGEOM_API _polygon* StorePolygonPoint(_polygon** pieces, const _listnode* first,
                                        const _listnode* last, int k);

/* Cuts which run from a concave node C forward (C, C.next, ...) and back (..., C.prev, C). Each
 * returns 1 when the ring is used up (the rest stored as the last piece), 0 when the pass ended
 * with concave nodes left. */
MAPGEOM_API int Nonclockwise_Polygon_Decompose_Algorithm(tagConcaveWork_t* work);
MAPGEOM_API int Clockwise_Polygon_Decompose_Algorithm(tagConcaveWork_t* work);

/* The cut attempts of the passes: given the walk's end *p (its *k nodes counted from C, *run of
 * them real turns), step *p back until the diagonal C-p leaves a convex piece and crosses no edge
 * of the rest of the ring. Return 1 when the cut can be made (run >= 3); *shortened tells whether
 * *p was stepped back. */
MAPGEOM_API int IsEffectPolygon(const _listnode* c, _listnode** p, int* k, int* run,
                                int* shortened);
MAPGEOM_API int IsEffectPolygonC(const _listnode* c, _listnode** p, int* k, int* run,
                                 int* shortened);

#endif /* __cplusplus */

#endif /* MAPGEOM_CONCAVE_H */
