// CDockableGraph, the "Graph" docking pane: hosts one CGraphView filling the pane and passes the
// focus to it.
#pragma once

#include <QDockWidget>

class CGraphView;

class CDockableGraph : public QDockWidget {
    Q_OBJECT

  public:
    explicit CDockableGraph(CGraphView* view, QWidget* parent = nullptr);
    CGraphView* View() const { return view_; }

  protected:
    void focusInEvent(QFocusEvent* event) override;

  private:
    CGraphView* view_;
};
