/* The record sizes and link offsets of the concave-decomposition header, listed once for the C and
 * the C++ side of the layout test. */
#define CONCAVE_LAYOUT                                                                  \
    {                                                                                   \
        sizeof(_InPoint), sizeof(_point), sizeof(_listnode), offsetof(_listnode, next), \
            sizeof(tagConcaveList_t), offsetof(tagConcaveList_t, next),                 \
            sizeof(tagConcaveListHead_t), sizeof(_polygon), offsetof(_polygon, next),   \
            sizeof(tagPoint_t)                                                          \
    }
