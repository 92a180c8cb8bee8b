// The state of one power graph and every operation that changes it: mapping between times or
// values and pixels, data extents, fits, zoom, scroll, pan and the live-capture follow. A view
// lays the window out through Layout() and draws what this model and the decimation compute.
#pragma once

#include <cstdint>

#include "capture/document.h"
#include "graph/graph_layout.h"

// 1024 pixels for 100 hours.
inline constexpr float kTimeScaleMin = static_cast<float>(1024 / 3.6e11);
inline constexpr float kTimeScaleMax = 1.0f;
// The fits' 0.4 as the single-precision value they were tuned with: the float just below 0.4
// (not the nearest float, 0.4000000059604645), used in double precision.
inline constexpr double kFitFraction = 0.39999997615814209;
static_assert(static_cast<double>(static_cast<float>(kFitFraction)) == kFitFraction);
// Data span of a document without samples: 0 .. 100 s.
inline constexpr int64_t kEmptyDataEndTime = 100'000'000;

struct GraphViewState {
    float timeScale = 1.0f;  // pixels per µs
    float timeScaleMin = kTimeScaleMin;
    float timeScaleMax = kTimeScaleMax;
    int64_t centreTime = 0;
    int64_t leftTime = 0;
    int64_t rightTime = 0;
    int64_t dataStartTime = 0;
    int64_t dataEndTime = 0;
    float voltScale = 0.01f;  // pixels per mV
    float currScale = 0.1f;   // pixels per mA
    float wattScale = 0.01f;  // pixels per mW
    int voltZeroOffset = 10;
    int currZeroOffset = 10;
    int wattZeroOffset = 10;
    // Extents start at the floors of ComputeExtents so that a fit never divides by zero.
    int32_t voltMax = 5000;
    int32_t currMin = -100;
    int32_t currMax = 100;
    int32_t wattMin = -100;
    int32_t wattMax = 100;
    bool showVoltGraph = true;
    bool showCurrGraph = true;
    bool showWattGraph = true;
    bool traceVBusVol = true;
    bool traceVBusCurr = true;
    bool traceCC1Vol = true;
    bool traceCC1Curr = false;
    bool traceCC2Vol = true;
    bool traceCC2Curr = false;
    bool showPdPackets = true;
    bool measuringPointsShown = false;
    bool cursorEnabled = false;
    bool invertCurrent = false;
    bool reverseCurrent = false;
    int fontHeight = 16;
    // The full line height of a label in that font (more than its pixel size); 0: fontHeight.
    int labelHeight = 0;
    // Graph Marker O and X, graph time.
    int64_t markerOTime = 0;
    int64_t markerXTime = 0;
};

// Band height a and base heights b (above the graph bottom) of the shown graphs.
struct HeightSplit {
    int a = 0;
    int voltBase = 0;
    int currBase = 0;
    int wattBase = 0;
};
HeightSplit SplitHeight(int graphHeight, bool volt, bool curr, bool watt);

class GraphModel {
  public:
    GraphViewState state;

    const GraphLayout& Geometry() const { return layout_; }
    // Recomputes the geometry for a window of this size; true when the bottom margin or the
    // window size changed, or when forced (a font change).
    bool Layout(int windowWidth, int windowHeight, bool forced = false);

    // --- Mapping -----------------------------------------------------------------------------
    int XOfTime(int64_t t) const;
    int64_t TimeOfX(int x) const;
    int YOfVoltage(int32_t mV) const;
    int YOfCurrent(int32_t displayedMa) const;
    int YOfPower(int32_t displayedMw) const;

    // --- Document ----------------------------------------------------------------------------
    // Binds to a document (or none): markers, reverse-current flag, extents, inversion, fits.
    void AttachDocument(CKVDoc* doc, bool reverseCurrent);
    CKVDoc* Document() const { return doc_; }
    void ComputeExtents();
    // The document's time origin moved by delta: every held time moves the other way.
    void ShiftTimes(int64_t delta);
    // Live capture: extents only grow; the newest sample jumps to the centre when off screen.
    void FollowCapture(int64_t newestTime);

    // --- Time --------------------------------------------------------------------------------
    void CentreOnTime(int64_t t);
    void ZoomTimeIn();
    void ZoomTimeOut();
    void ScrollTimeLeft();
    void ScrollTimeRight();

    // --- Fits and values ---------------------------------------------------------------------
    void FitTime();
    void FitVoltage();
    void FitCurrent();
    void FitWattage();
    void ZoomVoltage(bool in);
    // Acts on the current and the wattage graph, each when shown.
    void ZoomCurrent(bool in);
    void MoveVoltage(bool up);
    void MoveCurrent(bool up);
    void ZoomToRect(int x1, int y1, int x2, int y2);
    // One mouse move of a left-button drag from (px, py) to (x, y) over the chosen graphs.
    void Pan(int px, int py, int x, int y, bool volt, bool curr, bool watt);

  private:
    void SetZoom(float scale);
    HeightSplit Split() const;
    void FitSigned(float& scale, int& zeroOffset, int32_t min, int32_t max, int base) const;
    GraphBand ValueBand(int zero, int32_t lo, int32_t hi, float scale) const;
    void ReadExtremes(int32_t& lo, int32_t& hi, int32_t docMin, int32_t docMax) const;

    GraphLayout layout_;
    CKVDoc* doc_ = nullptr;
};
