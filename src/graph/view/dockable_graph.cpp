#include "graph/view/dockable_graph.h"

#include "graph/view/graph_view.h"

CDockableGraph::CDockableGraph(CGraphView* view, QWidget* parent)
    : QDockWidget(QStringLiteral("Graph"), parent), view_(view) {
    setObjectName(QStringLiteral("Graph"));
    setWidget(view_);
    setFocusProxy(view_);
}

void CDockableGraph::focusInEvent(QFocusEvent* event) {
    QDockWidget::focusInEvent(event);
    view_->setFocus(Qt::OtherFocusReason);
}
