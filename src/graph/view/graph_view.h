// CGraphView, the power graph window: binds to the capture document, paints the graph through
// a double buffer, routes its 25 buttons, the mouse, the wheel, the keys and its context menu to
// the graph model, and tells the main window when its markers changed or a packet was picked.
#pragma once

#include <QFont>
#include <QImage>
#include <QPoint>
#include <QPushButton>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <map>

#include "graph/graph_model.h"
#include "graph/marker_rules.h"
#include "graph/packet_bars.h"
#include "graph/view/graph_painter.h"
#include "settings/graph_appearance.h"

class CKVDoc;
class QMenu;

// Context menu command ids.
enum GraphMenuCommand : int {
    kSetOriginAbsolute = 32784,
    kSetMarkerO = 32828,
    kSetMarkerX = 32829,
    kSetOriginCurrent = 32834,
    kEnableCursor = 32879,
    kEnableVoltGraph = 32883,
    kEnableCurrGraph = 32884,
    kEnableWattGraph = 32885,
    kFitAllGraphs = 32887,
};

class CGraphView : public QWidget {
    Q_OBJECT

  public:
    CGraphView(const GraphAppearance& appearance, const GraphShownFlags& shown,
               QWidget* parent = nullptr);
    ~CGraphView() override;

    GraphModel& Model() { return model_; }
    const GraphModel& Model() const { return model_; }
    // The three graph-shown flags, for the settings when the view goes.
    GraphShownFlags ShownFlags() const;

    // Binds to the document (or none): markers, extents, fits; the document then asks the view
    // for its marker times when it saves.
    void AttachDocument(CKVDoc* document, bool reverseCurrent);
    CKVDoc* Document() const { return model_.Document(); }
    void CentreOnTime(int64_t t);
    // The window from..to (graph time, from < to) across the graph width.
    void ShowTimeRange(int64_t from, int64_t to);
    // Markers O and X at these graph times, as the user would place them.
    void PlaceMarkers(int64_t markerO, int64_t markerX);
    // The document's origin moved by delta.
    void ShiftTimes(int64_t delta);
    void FollowCapture(int64_t newestTime);
    // The document gained or lost data: the extents follow, the window stays.
    void OnDocumentChanged();

    void SetShowPdPackets(bool on);
    void SetMeasuringPointsShown(bool on);
    void SetGraphFont(const QFont& font);
    QFont GraphFont() const { return font_; }
    // The list's selected packet, read at every paint.
    void SetSelectedPacketSource(std::function<const CCCPacket*()> source) {
        selectedSource_ = std::move(source);
    }

    // The button with this command id (created by the first layout), or null.
    QPushButton* Button(int id) const;
    // Image resource path a button shows now.
    QString ButtonImagePath(int id) const;
    // Runs a button or context-menu command.
    void RunCommand(int id);
    bool IsCommandEnabled(int id) const;
    bool IsCommandChecked(int id) const;
    // The context menu for the last right-button press.
    QMenu* BuildContextMenu(QWidget* parent);
    GraphMarker HoverMarker() const { return hoverMarker_; }
    bool ContextTimeValid() const { return contextTimeValid_; }
    int64_t ContextTime() const { return contextTime_; }
    // Renders the view as it paints itself (buttons included), for screenshots and tests.
    QImage Render();
    // What a paint reads of the document: the samples, and only the packets in view.
    DocumentSnapshot PaintSnapshot() const;

  signals:
    // A marker or the time origin changed from the graph (the document is modified).
    void markersChanged();
    // A double click picked this packet.
    void packetPicked(const CCCPacket* packet);
    // The context menu asks the main window to open it.
    void contextMenuRequested(const QPoint& globalPosition);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void LayOutIfChanged(bool forced = false);
    void CreateButtons();
    void RefreshButtons();
    void UpdateHover(int x);
    void MarkersEdited();
    void SetMarker(GraphMarker marker, int64_t t);
    void SetOrigin(int64_t t, bool relative);
    GraphScene SceneOf(const DocumentSnapshot& snapshot) const;

    GraphModel model_;
    GraphAppearance appearance_;
    QFont font_;
    QImage buffer_;
    std::function<const CCCPacket*()> selectedSource_;
    std::map<int, QPushButton*> buttons_;
    bool buttonsCreated_ = false;
    bool smallButtons_ = false;
    bool forceLayout_ = false;
    bool fitPending_ = false;

    QPoint mouse_;
    bool mouseInside_ = false;
    int64_t cursorTime_ = 0;
    GraphMarker hoverMarker_ = GraphMarker::None;
    bool leftDrag_ = false;
    GraphMarker draggedMarker_ = GraphMarker::None;
    QPoint dragPoint_;
    bool dragVolt_ = false;
    bool dragCurr_ = false;
    bool dragWatt_ = false;
    bool zoomRectangle_ = false;
    QPoint zoomStart_;
    int64_t contextTime_ = 0;
    bool contextTimeValid_ = false;
};
