// CKVLogView, the PD message list: one owner-drawn row per packet of the capture document that
// passes the display filter, one column per shown column record, incremental appending with the
// idle times, marks and markers, the time-stamp origin, the three-click sort and the column
// layout that goes back into the settings.
#pragma once

#include <QFont>
#include <QTableView>
#include <cstdint>
#include <functional>
#include <memory>

#include "capture/document_change.h"
#include "columns/column_text.h"
#include "columns/idle_time.h"
#include "columns/packet_row.h"
#include "list/core/column_info.h"
#include "pd/cc_packet.h"

class CKVDoc;
class CPacketListModel;
class QMenu;

class CKVLogView : public QTableView {
    Q_OBJECT

  public:
    // columns are the application's column records: read by RebuildList, written by
    // SaveColumnLayout. Both must outlive the view.
    CKVLogView(CKVDoc& document, ColumnLayout& columns, QWidget* parent = nullptr);
    ~CKVLogView() override;

    // Seams for features that plug into the list. Without them nothing is hidden, nothing is
    // found and no capture is recording. The filter and the matcher get the row (packet and
    // idle time); their column texts take the list's Context().
    void SetFilter(std::function<bool(const PacketRow&)> hidden) {
        hiddenByFilter_ = std::move(hidden);
    }
    void SetFindMatcher(std::function<int(const PacketRow&)> matchFind, QString findText);
    void SetRecordingQuery(std::function<bool()> recording) { recording_ = std::move(recording); }
    // The "VbusCurrDirReverse" setting, read again by every RebuildList.
    void SetReverseCurrentSource(std::function<bool()> reverse) {
        reverseCurrent_ = std::move(reverse);
    }

    // A first run: default column widths are widened to fit their widest texts in the list's
    // font (stored widths are never changed).
    void FitDefaultColumnWidths();
    // Recreates the columns from the records and refills every row, keeping the selection.
    void RebuildList();
    // The document update: the auto-scroll rule (while recording, the newest row is brought
    // into view unless the user scrolled away from the end; the rows follow the document's
    // changes as they happen).
    void OnDocumentUpdate();
    // The document was emptied: no rows, no selection, no marker rows.
    void ResetRows();
    // The time origin changed: every row is recreated with the new idle times and times.
    void OnTimeOriginChanged();
    void RecreateRows();

    // Find Next (forward) / Find Prev: selects and shows the nearest row after (before) the
    // selection that the find matcher matches, without wrapping. False when there is none; the
    // selection then stays.
    bool FindMessage(bool forward);
    // Repaints the rows on screen (after the find criteria changed).
    void RepaintVisibleRows() { viewport()->update(); }

    void SortByColumn(int listColumn);
    void SaveColumnLayout();
    void EnsureRowVisible(int row);
    // Rows of the packets this names carry a red mark at their left edge (the packets an error
    // finding of the checks blames).
    using ErrorMark = std::function<bool(const CCCPacket* packet)>;
    void SetErrorMark(ErrorMark mark) { errorMark_ = std::move(mark); }
    void SelectRow(int row);

    // The full text of a cell the list shows cut short (its tooltip), "" when it fits.
    QString TruncatedCellText(int row, int listColumn) const;

    int SelectedRow() const { return selectedRow_; }
    const CCCPacket* SelectedPacket() const;
    int RowCount() const;
    int ContextRow() const { return contextRow_; }
    void SetContextRow(int row) { contextRow_ = row; }
    int MarkerARow() const { return markerARow_; }
    int MarkerBRow() const { return markerBRow_; }
    // List column index of a column id, -1 when it is not shown.
    int ListColumnOf(int columnId) const;
    CPacketListModel* PacketModel() const { return model_; }
    // The column header (the list shows no row header).
    QHeaderView* header() const { return horizontalHeader(); }
    // Time origin, current direction and sample lookup of the rows' texts.
    const ColumnContext& Context() const;

    bool AutoScroll() const { return autoScroll_; }
    void SetAutoScroll(bool on) { autoScroll_ = on; }

    // Context menu commands; each acts on ContextRow() where it needs a row.
    void SetMark(bool marked);
    void ClearAllMarks();
    void SetMarkerA();
    void ClearMarkerA();
    void SetMarkerB();
    void ClearMarkerB();
    void SetOriginAbsolute();
    void SetOriginCurrentPosition();
    // The context menu for ContextRow(), with every command enabled by its rule.
    QMenu* BuildContextMenu(QWidget* parent);

    // Process-wide sort state: last clicked list column (starts 0) and descending flag.
    static void ResetSortState();

  signals:
    // The selected row changed; the packet is null when no row is selected.
    void selectedPacketChanged(const CCCPacket* packet, int number);
    void packetActivated(const CCCPacket* packet);
    void statusText(const QString& text);
    void columnSettingsRequested();
    // A marker or the time origin changed (the graph repaints its markers).
    void markersChanged();

  protected:
    // Paints the rows in the event's area whole, one owner-drawn row at a time.
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    // Home and End go to the first and the last row, as in a list, staying in the column; a
    // table would stay in the row and go to its first or last column.
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    void mousePressEvent(QMouseEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void selectionChanged(const QItemSelection& selected,
                          const QItemSelection& deselected) override;

  private:
    class DocumentFeed;

    // Follows a change of the document's packets (see PacketChange).
    void OnPacketsChanged(const PacketChange& change);
    // Late packets were sorted in from packet index first on: the rows from there are made
    // again, the rows before it stay.
    void RelistFrom(size_t first);
    // Appends rows for the packets the view has not seen yet.
    void AppendNewPackets();
    // Selects the row showing packet again without telling the detail views (the same packet
    // stays selected), or tells them that nothing is selected when it has no row.
    void ReselectPacket(const CCCPacket* packet);
    // Drops every row and the row indexes that point into them.
    void ClearRowState();
    // Rows in document order again: the header shows no sort.
    void ClearSortIndicator();
    bool IsHiddenByFilter(const PacketRow& row) const;
    bool IsRecording() const { return recording_ && recording_(); }
    // Whether any of the row shows in the viewport's height.
    bool RowInView(int row);
    void RepaintRow(int row);
    // Background, cells, grid, error mark and focus frame of one row.
    void PaintRow(QPainter& painter, int row, const QRect& rowRect) const;
    // Rows are as tall as the font with room below the baseline for underscores and descenders.
    void FitRowHeight();
    void ChangeSelection(int row);
    PacketPtr SharedPacketOfRow(int row) const;
    void AfterMarkerCommand();
    // row -1 clears the marker.
    void SetMarker(bool markerA, int row);
    void SelectPacketNumber(int packetNumber);

    CKVDoc& document_;
    std::unique_ptr<DocumentFeed> feed_;
    ColumnLayout& columns_;
    CPacketListModel* model_ = nullptr;
    bool columnsBuilt_ = false;
    int selectedRow_ = -1;
    int contextRow_ = -1;
    int markerARow_ = -1;
    int markerBRow_ = -1;
    IdleTimeTracker idleTimes_;  // restarted with each first row, at the rows' time origin
    size_t nextPacketIndex_ = 0;
    int autoScrollSeen_ = 0;
    int lastPercent_ = -1;
    bool autoScroll_ = true;
    bool selectingQuietly_ = false;
    std::function<bool(const PacketRow&)> hiddenByFilter_;
    std::function<int(const PacketRow&)> matchFind_;
    ErrorMark errorMark_;
    QString findText_;
    std::function<bool()> recording_;
    std::function<bool()> reverseCurrent_;
};
