#include "graph/graph_layout.h"

int GraphBottomMargin(int fontHeight) {
    return 4 * fontHeight <= 74 ? 74 : 5 * fontHeight;
}
