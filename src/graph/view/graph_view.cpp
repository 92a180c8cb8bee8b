#include "graph/view/graph_view.h"

#include <QAction>
#include <QIcon>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QWheelEvent>

#include "capture/document.h"
#include "graph/graph_buttons.h"
#include "graph/graph_settings.h"
#include "graph/packet_pick.h"

// The button images live in this library's resources. (Q_INIT_RESOURCE declares a function and
// must stay outside any namespace.)
static void InitGraphResources() {
    Q_INIT_RESOURCE(graph_view);
}

namespace {

constexpr int kDefaultFontHeight = 16;

QFont DefaultGraphFont() {
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(kDefaultFontHeight);
    return font;
}

int FontHeightOf(const QFont& font) {
    if (font.pixelSize() > 0) {
        return font.pixelSize();
    }
    return QFontMetrics(font).height();
}

}  // namespace

CGraphView::CGraphView(const GraphAppearance& appearance, const GraphShownFlags& shown,
                       QWidget* parent)
    : QWidget(parent), appearance_(appearance), font_(DefaultGraphFont()) {
    InitGraphResources();
    setObjectName(QStringLiteral("graphView"));
    ApplyShownFlags(model_.state, shown);
    model_.state.fontHeight = FontHeightOf(font_);
    model_.state.labelHeight = QFontMetrics(font_).height();
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

CGraphView::~CGraphView() {
    if (CKVDoc* document = model_.Document()) {
        document->SetGraphMarkerSource({});
    }
}

GraphShownFlags CGraphView::ShownFlags() const {
    return ShownFlagsOf(model_.state);
}

void CGraphView::AttachDocument(CKVDoc* document, bool reverseCurrent) {
    if (CKVDoc* previous = model_.Document(); previous != nullptr && previous != document) {
        previous->SetGraphMarkerSource({});
    }
    LayOutIfChanged();
    if (document != nullptr) {
        model_.AttachDocument(document, reverseCurrent);
        // Before the pane has its size the fits had a placeholder window: they run again with
        // the first real size.
        fitPending_ = !isVisible();
        document->SetGraphMarkerSource([this]() -> std::optional<GraphMarkerTimes> {
            return GraphMarkerTimes{model_.state.markerOTime, model_.state.markerXTime};
        });
    } else {
        model_.AttachDocument(nullptr, reverseCurrent);
    }
    RefreshButtons();
    update();
}

void CGraphView::CentreOnTime(int64_t t) {
    model_.CentreOnTime(t);
    update();
}

void CGraphView::ShowTimeRange(int64_t from, int64_t to) {
    LayOutIfChanged();
    if (to <= from) {
        return;
    }
    model_.state.timeScale =
        static_cast<float>(model_.Geometry().graphWidth) / static_cast<float>(to - from);
    model_.CentreOnTime(from + (to - from) / 2);
    update();
}

void CGraphView::PlaceMarkers(int64_t markerO, int64_t markerX) {
    model_.state.markerOTime = markerO;
    model_.state.markerXTime = markerX;
    MarkersEdited();
}

void CGraphView::ShiftTimes(int64_t delta) {
    model_.ShiftTimes(delta);
}

void CGraphView::FollowCapture(int64_t newestTime) {
    model_.FollowCapture(newestTime);
    update();
}

void CGraphView::OnDocumentChanged() {
    model_.ComputeExtents();
    update();
}

void CGraphView::SetShowPdPackets(bool on) {
    model_.state.showPdPackets = on;
    RefreshButtons();
    update();
}

void CGraphView::SetMeasuringPointsShown(bool on) {
    model_.state.measuringPointsShown = on;
    update();
}

void CGraphView::SetGraphFont(const QFont& font) {
    font_ = font;
    model_.state.fontHeight = FontHeightOf(font_);
    model_.state.labelHeight = QFontMetrics(font_).height();
    LayOutIfChanged(true);
    update();
}

// --- Layout and buttons ----------------------------------------------------------------------

void CGraphView::LayOutIfChanged(bool forced) {
    if (model_.Layout(width() + 1, height() + 1, forced || forceLayout_) || !buttonsCreated_) {
        forceLayout_ = false;
        CreateButtons();
        const ButtonLayout layout = LayOutButtons(model_.Geometry());
        for (const ButtonPlacement& placement : layout.placements) {
            const GraphRect& r = placement.rect;
            buttons_[placement.id]->setGeometry(r.left, r.top, r.Width(), r.Height());
        }
        if (layout.smallButtons != smallButtons_) {
            smallButtons_ = layout.smallButtons;
        }
        RefreshButtons();
    }
}

void CGraphView::CreateButtons() {
    if (buttonsCreated_) {
        return;
    }
    buttonsCreated_ = true;
    for (const GraphButtonInfo& info : GraphButtons()) {
        auto* button = new QPushButton(QString::fromLatin1(info.caption), this);
        button->setObjectName(QStringLiteral("graphButton%1").arg(info.id));
        // The caption stays with the button while its image shows instead.
        button->setAccessibleName(QString::fromLatin1(info.caption));
        button->setFocusPolicy(Qt::NoFocus);
        button->setFlat(true);
        const int id = info.id;
        connect(button, &QPushButton::clicked, this, [this, id] { RunCommand(id); });
        buttons_[id] = button;
    }
}

QString CGraphView::ButtonImagePath(int id) const {
    return QStringLiteral(":/zoduz/graph/%1.svg")
        .arg(QString::fromStdString(ButtonImage(model_.state, id, smallButtons_)));
}

void CGraphView::RefreshButtons() {
    for (auto& [id, button] : buttons_) {
        const QIcon icon(ButtonImagePath(id));
        button->setIcon(icon);
        button->setIconSize(button->size());
        button->setText(icon.isNull() ? button->accessibleName() : QString());
        button->setVisible(IsButtonShown(model_.state, id));
    }
}

QPushButton* CGraphView::Button(int id) const {
    const auto it = buttons_.find(id);
    return it == buttons_.end() ? nullptr : it->second;
}

// --- Commands --------------------------------------------------------------------------------

void CGraphView::RunCommand(int id) {
    if (!IsCommandEnabled(id)) {
        return;
    }
    switch (id) {
        case kSetMarkerO:
            SetMarker(GraphMarker::O, contextTime_);
            return;
        case kSetMarkerX:
            SetMarker(GraphMarker::X, contextTime_);
            return;
        case kSetOriginAbsolute:
            SetOrigin(0, false);
            return;
        case kSetOriginCurrent:
            SetOrigin(contextTime_, true);
            return;
        case kEnableVoltGraph:
            ToggleGraphWithFit(model_, GraphKind::Voltage);
            break;
        case kEnableCurrGraph:
            ToggleGraphWithFit(model_, GraphKind::Current);
            break;
        case kEnableWattGraph:
            ToggleGraphWithFit(model_, GraphKind::Wattage);
            break;
        case kFitAllGraphs:
            FitAllGraphs(model_);
            break;
        case kEnableCursor:
            model_.state.cursorEnabled = !model_.state.cursorEnabled;
            break;
        default:
            if (!RunButtonCommand(model_, id)) {
                return;
            }
            break;
    }
    RefreshButtons();
    update();
}

bool CGraphView::IsCommandEnabled(int id) const {
    switch (id) {
        case kSetMarkerO:
        case kSetMarkerX:
        case kSetOriginCurrent:
            return contextTimeValid_;
        case kSetOriginAbsolute:
            return model_.Document() != nullptr;
        default:
            return true;
    }
}

bool CGraphView::IsCommandChecked(int id) const {
    switch (id) {
        case kEnableVoltGraph:
            return model_.state.showVoltGraph;
        case kEnableCurrGraph:
            return model_.state.showCurrGraph;
        case kEnableWattGraph:
            return model_.state.showWattGraph;
        case kEnableCursor:
            return model_.state.cursorEnabled;
        default:
            return false;
    }
}

QMenu* CGraphView::BuildContextMenu(QWidget* parent) {
    auto* menu = new QMenu(parent);
    const auto add = [this](QMenu* to, int id, const char* text, bool checkable = false) {
        QAction* action = to->addAction(QString::fromLatin1(text));
        action->setData(id);
        action->setEnabled(IsCommandEnabled(id));
        if (checkable) {
            action->setCheckable(true);
            action->setChecked(IsCommandChecked(id));
        }
        connect(action, &QAction::triggered, this, [this, id] { RunCommand(id); });
        return action;
    };
    add(menu, kSetMarkerO, "Set Marker O");
    add(menu, kSetMarkerX, "Set Marker X");
    QMenu* origin = menu->addMenu(QStringLiteral("Set Time Stamp Origin"));
    add(origin, kSetOriginAbsolute, "Absolute");
    add(origin, kSetOriginCurrent, "Current Position");
    menu->addSeparator();
    add(menu, kEnableVoltGraph, "Enable Voltage Graph (with Fitting)", true);
    add(menu, kEnableCurrGraph, "Enable Current Graph  (with Fitting)", true);
    add(menu, kEnableWattGraph, "Enable Wattage Graph (with Fitting)", true);
    add(menu, kFitAllGraphs, "Fit All Graphs");
    menu->addSeparator();
    add(menu, kEnableCursor, "Enable Cursor", true);
    return menu;
}

void CGraphView::MarkersEdited() {
    if (CKVDoc* document = model_.Document()) {
        document->NoteMarkersChanged();
    }
    emit markersChanged();
    update();
}

void CGraphView::SetMarker(GraphMarker marker, int64_t t) {
    (marker == GraphMarker::X ? model_.state.markerXTime : model_.state.markerOTime) = t;
    MarkersEdited();
}

void CGraphView::SetOrigin(int64_t t, bool relative) {
    if (CKVDoc* document = model_.Document()) {
        // The document tells its views (this one included, through ShiftTimes) that the origin
        // moved, then refreshes them.
        document->SetTimeOrigin(t, relative);
    }
    MarkersEdited();
}

// --- Painting --------------------------------------------------------------------------------

GraphScene CGraphView::SceneOf(const DocumentSnapshot& snapshot) const {
    GraphScene scene{model_, appearance_, snapshot};
    scene.highlights.markerA = snapshot.markerA.get();
    scene.highlights.markerB = snapshot.markerB.get();
    scene.highlights.selected = selectedSource_ ? selectedSource_() : nullptr;
    scene.hoverMarker = hoverMarker_;
    scene.mouseInside = mouseInside_;
    scene.mouse = mouse_;
    scene.zoomRectangle = zoomRectangle_;
    scene.zoomStart = zoomStart_;
    if (model_.state.cursorEnabled) {
        scene.cursor = CursorReadouts(model_, mouseInside_, cursorTime_, mouse_.y());
    }
    return scene;
}

void CGraphView::paintEvent(QPaintEvent* event) {
    CKVDoc* document = model_.Document();
    if (document == nullptr) {
        return;
    }
    LayOutIfChanged();
    const DocumentSnapshot snapshot = PaintSnapshot();
    const GraphScene scene = SceneOf(snapshot);
    const GraphLayout& layout = model_.Geometry();
    const GraphRect& frame = layout.frameArea;
    const QRect frameRect(frame.left, frame.top, frame.Width(), frame.Height());
    QPainter window(this);
    if (event->region().intersects(frameRect)) {
        const QSize size(std::max(frame.right, 1), std::max(frame.bottom, 1));
        if (buffer_.size() != size) {
            buffer_ = QImage(size, QImage::Format_RGB32);
        }
        QPainter painter(&buffer_);
        painter.setFont(font_);
        PaintGraph(painter, scene);
        painter.end();
        window.drawImage(frameRect.topLeft(), buffer_, frameRect);
    }
    const GraphRect& area = layout.measurementArea;
    const QRect areaRect(area.left, area.top, area.Width(), area.Height());
    if (event->region().intersects(areaRect)) {
        window.setFont(font_);
        PaintMeasurements(window, scene);
    }
}

DocumentSnapshot CGraphView::PaintSnapshot() const {
    const CKVDoc* document = model_.Document();
    if (document == nullptr) {
        return {};
    }
    return document->SnapshotOfView(model_.state.leftTime, model_.state.rightTime);
}

void CGraphView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const GraphLayout before = model_.Geometry();
    LayOutIfChanged();
    const GraphLayout& after = model_.Geometry();
    CKVDoc* document = model_.Document();
    if (document == nullptr || !isVisible()) {
        return;
    }
    if (fitPending_) {
        fitPending_ = false;
        FitEverything(model_);
        return;
    }
    // A taller or shorter pane refits the value axes as its first size was fitted, so that
    // the traces use the new height instead of staying squashed at the bottom; a wider one
    // shows more time at the same scale around the same centre.
    if (after.graphHeight != before.graphHeight) {
        FitAllGraphs(model_);
    }
    if (after.graphWidth != before.graphWidth) {
        model_.CentreOnTime(model_.state.centreTime);
    }
}

void CGraphView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    QResizeEvent resize(size(), size());
    resizeEvent(&resize);
}

QImage CGraphView::Render() {
    LayOutIfChanged();
    return grab().toImage();
}

// --- Mouse and keys --------------------------------------------------------------------------

void CGraphView::UpdateHover(int x) {
    if (leftDrag_) {
        return;
    }
    const GraphMarker hover = HoveredMarker(model_, x);
    if (hover != hoverMarker_) {
        hoverMarker_ = hover;
        update();
    }
}

void CGraphView::mousePressEvent(QMouseEvent* event) {
    const QPoint point = event->position().toPoint();
    const GraphLayout& layout = model_.Geometry();
    if (event->button() == Qt::LeftButton) {
        leftDrag_ = true;
        dragPoint_ = point;
        draggedMarker_ = hoverMarker_;
        dragVolt_ = dragCurr_ = dragWatt_ = false;
        if (point.x() >= layout.graphLeft && point.x() <= layout.graphLeft + layout.graphWidth) {
            const GraphViewState& state = model_.state;
            dragVolt_ = state.showVoltGraph && layout.voltBand.Contains(point.y());
            dragCurr_ = state.showCurrGraph && layout.currBand.Contains(point.y());
            dragWatt_ = state.showWattGraph && layout.wattBand.Contains(point.y());
        }
        if (!dragVolt_ && !dragCurr_ && !dragWatt_) {
            dragVolt_ = dragCurr_ = dragWatt_ = true;
        }
        setCursor(draggedMarker_ != GraphMarker::None ? Qt::SizeHorCursor : Qt::SizeAllCursor);
    } else if (event->button() == Qt::RightButton) {
        contextTimeValid_ = InGraphAreaWithEdges(layout, point.x(), point.y());
        if (contextTimeValid_) {
            contextTime_ = model_.TimeOfX(point.x());
        }
        zoomRectangle_ = true;
        zoomStart_ = point;
        mouse_ = point;
        setCursor(Qt::CrossCursor);
    } else if (event->button() == Qt::MiddleButton) {
        FitEverything(model_);
        update();
    }
    setFocus(Qt::MouseFocusReason);
}

void CGraphView::mouseMoveEvent(QMouseEvent* event) {
    const QPoint point = event->position().toPoint();
    const bool wasInside = mouseInside_;
    mouse_ = point;
    const GraphLayout& layout = model_.Geometry();
    mouseInside_ = InGraphArea(layout, point.x(), point.y());
    if (mouseInside_) {
        cursorTime_ = model_.TimeOfX(point.x());
    }
    const GraphMarker previousHover = hoverMarker_;
    UpdateHover(point.x());
    bool dragging = false;
    if (leftDrag_) {
        dragging = true;
        if (draggedMarker_ != GraphMarker::None) {
            SetMarker(draggedMarker_, model_.TimeOfX(point.x()));
        } else {
            model_.Pan(dragPoint_.x(), dragPoint_.y(), point.x(), point.y(), dragVolt_, dragCurr_,
                       dragWatt_);
        }
        dragPoint_ = point;
    }
    if (zoomRectangle_) {
        dragging = true;
    }
    if (mouseInside_ || wasInside || previousHover != hoverMarker_ || dragging) {
        update();
    }
}

void CGraphView::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint point = event->position().toPoint();
    if (event->button() == Qt::LeftButton && leftDrag_) {
        leftDrag_ = false;
        draggedMarker_ = GraphMarker::None;
        unsetCursor();
        UpdateHover(point.x());
    } else if (event->button() == Qt::RightButton && zoomRectangle_) {
        zoomRectangle_ = false;
        model_.ZoomToRect(zoomStart_.x(), zoomStart_.y(), point.x(), point.y());
        unsetCursor();
        update();
        if (point == zoomStart_) {
            emit contextMenuRequested(mapToGlobal(point));
        }
    }
}

void CGraphView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        return;
    }
    const int x = event->position().toPoint().x();
    const GraphLayout& layout = model_.Geometry();
    if (x < layout.graphLeft || x > layout.graphLeft + layout.graphWidth) {
        return;
    }
    const int64_t t = model_.TimeOfX(x);
    model_.CentreOnTime(t);
    update();
    CKVDoc* document = model_.Document();
    if (document == nullptr) {
        return;
    }
    const DocumentSnapshot snapshot = document->Snapshot();
    if (const std::optional<size_t> picked = PickPacket(snapshot, model_.state, t)) {
        emit packetPicked(snapshot.packets[*picked].get());
    }
}

void CGraphView::wheelEvent(QWheelEvent* event) {
    const int delta = event->angleDelta().y();
    if (event->angleDelta().y() == 0 && event->angleDelta().x() != 0) {
        return;  // horizontal wheel
    }
    if (zoomRectangle_) {
        delta > 0 ? model_.ZoomTimeIn() : model_.ZoomTimeOut();
    } else {
        delta > 0 ? model_.ScrollTimeRight() : model_.ScrollTimeLeft();
    }
    event->accept();
    update();
}

void CGraphView::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_PageUp:
            model_.ZoomTimeIn();
            break;
        case Qt::Key_PageDown:
            model_.ZoomTimeOut();
            break;
        case Qt::Key_Home:
            FitEverything(model_);
            break;
        default:
            QWidget::keyPressEvent(event);
            return;
    }
    update();
}
