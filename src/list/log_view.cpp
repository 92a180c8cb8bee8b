#include "list/log_view.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QMenu>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QToolTip>
#include <algorithm>
#include <utility>

#include "capture/document.h"
#include "columns/column_text.h"
#include "columns/document_context.h"
#include "list/cell_painter.h"
#include "list/core/column_widths.h"
#include "list/core/find_row.h"
#include "list/core/packet_sort.h"
#include "list/core/row_style.h"
#include "list/packet_list_model.h"
#include "pd/packet_column.h"

namespace {

// Process-wide sort state of the header clicks.
int gLastSortColumn = 0;
bool gSortDescending = false;

// First cell: margin and inset of the label; further cells: margin and inset of a column.
constexpr int kLabelMargin = 4;
constexpr int kLabelInset = 2;
constexpr int kCellMargin = 12;
constexpr int kCellInset = 6;

QColor ToColor(const RowColour& colour) {
    return QColor(colour.red, colour.green, colour.blue);
}

}  // namespace

// The list's subscription to the document's packet changes, for the view's lifetime.
class CKVLogView::DocumentFeed : public CKVDocObserver {
  public:
    explicit DocumentFeed(CKVLogView& view) : view_(view) { view_.document_.AddObserver(this); }
    ~DocumentFeed() override { view_.document_.RemoveObserver(this); }
    DocumentFeed(const DocumentFeed&) = delete;
    DocumentFeed& operator=(const DocumentFeed&) = delete;

    void OnPacketsChanged(const PacketChange& change) override { view_.OnPacketsChanged(change); }

  private:
    CKVLogView& view_;
};

CKVLogView::CKVLogView(CKVDoc& document, ColumnLayout& columns, QWidget* parent)
    : QTableView(parent), document_(document), columns_(columns) {
    setObjectName(QStringLiteral("messageList"));
    model_ = new CPacketListModel(&ColumnText, this);
    ColumnContext context;
    context.samples = DocumentSampleLookup(document_);
    model_->SetContext(std::move(context));
    setModel(model_);
    // A table view lays out nothing per row: the rows are all as tall, and only the rows in
    // view are painted.
    setShowGrid(false);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    FitRowHeight();
    header()->setHighlightSections(false);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    header()->setSectionsMovable(true);
    header()->setSectionsClickable(true);
    // The last column takes the width left over, so that the rows end at the window's edge.
    header()->setStretchLastSection(true);
    header()->setSortIndicatorShown(true);
    ClearSortIndicator();
    header()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    connect(header(), &QHeaderView::sectionClicked, this, &CKVLogView::SortByColumn);
    connect(this, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
        if (const CCCPacket* packet = model_->PacketAt(index.row())) {
            emit packetActivated(packet);
        }
    });
    feed_ = std::make_unique<DocumentFeed>(*this);
}

CKVLogView::~CKVLogView() = default;

void CKVLogView::SetFindMatcher(std::function<int(const PacketRow&)> matchFind, QString findText) {
    matchFind_ = std::move(matchFind);
    findText_ = std::move(findText);
    viewport()->update();
}

void CKVLogView::ResetSortState() {
    gLastSortColumn = 0;
    gSortDescending = false;
}

int CKVLogView::ListColumnOf(int columnId) const {
    return model_->ListColumnOf(columnId);
}

int CKVLogView::RowCount() const {
    return model_->RowCount();
}

const CCCPacket* CKVLogView::SelectedPacket() const {
    return model_->PacketAt(selectedRow_);
}

const ColumnContext& CKVLogView::Context() const {
    return model_->Context();
}

bool CKVLogView::IsHiddenByFilter(const PacketRow& row) const {
    return hiddenByFilter_ && hiddenByFilter_(row);
}

void CKVLogView::RebuildList() {
    ColumnContext context = model_->Context();
    context.reverseCurrent = reverseCurrent_ && reverseCurrent_();
    model_->SetContext(std::move(context));
    const CCCPacket* selected = SelectedPacket();
    const PacketRow* selectedRow = model_->RowAt(selectedRow_);
    const int rememberedNumber = selectedRow != nullptr ? selectedRow->number : -1;

    // List columns in display order: at each position the first shown id that claims it.
    std::vector<int> ids;
    std::vector<int> widths;
    for (int position = 0; position < kPacketColumnCount; ++position) {
        for (int id = 0; id < kPacketColumnCount; ++id) {
            if (columns_[id].shown != 0 && columns_[id].order == position) {
                ids.push_back(id);
                widths.push_back(columns_[id].width);
                break;
            }
        }
    }
    selectingQuietly_ = true;
    model_->SetColumns(ids);
    selectingQuietly_ = false;
    for (int section = 0; section < static_cast<int>(ids.size()); ++section) {
        // Moving sections back to creation order: the list starts in the recorded order.
        const int visual = header()->visualIndex(section);
        if (visual != section) {
            header()->moveSection(visual, section);
        }
        header()->resizeSection(section, std::max(widths[section], 0));
    }
    columnsBuilt_ = true;
    ClearSortIndicator();
    nextPacketIndex_ = 0;
    selectedRow_ = -1;
    markerARow_ = -1;
    markerBRow_ = -1;
    AppendNewPackets();
    if (rememberedNumber >= 0) {
        SelectPacketNumber(rememberedNumber);
    }
    if (selectedRow_ == -1 && selected != nullptr) {
        emit selectedPacketChanged(nullptr, -1);
    }
}

void CKVLogView::AppendNewPackets() {
    if (!columnsBuilt_) {
        return;
    }
    const std::vector<PacketPtr>& packets = document_.Packets();
    const size_t count = packets.size();
    if (nextPacketIndex_ >= count) {
        return;
    }
    const bool recording = IsRecording();
    const bool hasColumns = model_->columnCount() > 0;
    if (nextPacketIndex_ == 0) {
        // The first row: texts and idle times count from the document's origin of now.
        const int64_t origin = document_.TimeOrigin();
        idleTimes_ = IdleTimeTracker(origin);
        ColumnContext context = model_->Context();
        context.timeOrigin = origin;
        model_->SetContext(std::move(context));
    }
    const CCCPacket* markerA = document_.MarkerA().get();
    const CCCPacket* markerB = document_.MarkerB().get();
    std::vector<PacketRow> fresh;
    fresh.reserve(count - nextPacketIndex_);
    int firstRow = model_->RowCount();
    lastPercent_ = -1;
    while (nextPacketIndex_ < count) {
        const auto number = static_cast<int32_t>(nextPacketIndex_);
        const CCCPacket* packet = packets[nextPacketIndex_].get();
        ++nextPacketIndex_;
        if (!recording) {
            const int percent = static_cast<int>(nextPacketIndex_ * 100 / count);
            if (percent != lastPercent_) {
                lastPercent_ = percent;
                emit statusText(QStringLiteral("Building PD Messages... %1%").arg(percent));
            }
        }
        if (packet == nullptr) {
            continue;
        }
        const PacketRow candidate{packet, number, idleTimes_.Next(*packet)};
        if (IsHiddenByFilter(candidate) || !hasColumns) {
            continue;
        }
        const int row = firstRow + static_cast<int>(fresh.size());
        fresh.push_back(candidate);
        if (packet == markerA) {
            markerARow_ = row;
        }
        if (packet == markerB) {
            markerBRow_ = row;
        }
    }
    model_->AppendRows(std::move(fresh));
}

void CKVLogView::FitDefaultColumnWidths() {
    const QFontMetrics metrics(font());
    for (int column = 0; column < kPacketColumnCount; ++column) {
        const std::string widest = WidestColumnText(column);
        if (!widest.empty()) {
            const int needed =
                metrics.horizontalAdvance(QString::fromStdString(widest)) + kCellMargin;
            columns_[column].width = std::max(columns_[column].width, needed);
        }
    }
}

void CKVLogView::OnPacketsChanged(const PacketChange& change) {
    if (!columnsBuilt_) {
        return;  // RebuildList lists every packet there is
    }
    switch (change.kind) {
        case PacketChange::Kind::kReset:
            ResetRows();
            break;
        case PacketChange::Kind::kAppended:
            // Rows listed beyond what the document had told about may have moved since.
            if (change.first < nextPacketIndex_) {
                RelistFrom(change.first);
            } else {
                AppendNewPackets();
            }
            break;
        case PacketChange::Kind::kMerged:
            RelistFrom(change.first);
            break;
        case PacketChange::Kind::kFrontTrimmed:
            // Every packet was renumbered and the first rows' packets are going.
            RecreateRows();
            break;
    }
}

void CKVLogView::RelistFrom(size_t first) {
    if (header()->sortIndicatorSection() != -1) {
        RecreateRows();  // sorted rows are not in document order
        return;
    }
    // The rows are in document order: those before the first moved packet stay as they are.
    const std::vector<PacketRow>& rows = model_->Rows();
    const auto kept = std::partition_point(rows.begin(), rows.end(), [first](const PacketRow& row) {
        return static_cast<size_t>(row.number) < first;
    });
    const int cut = static_cast<int>(kept - rows.begin());
    const CCCPacket* selected = selectedRow_ >= cut ? SelectedPacket() : nullptr;
    selectingQuietly_ = true;
    model_->TruncateRows(cut);
    selectingQuietly_ = false;
    for (int* row : {&selectedRow_, &contextRow_, &markerARow_, &markerBRow_}) {
        if (*row >= cut) {
            *row = -1;
        }
    }
    const std::vector<PacketPtr>& packets = document_.Packets();
    nextPacketIndex_ = std::min(first, packets.size());
    idleTimes_ = IdleTimeTracker(model_->Context().timeOrigin);
    if (nextPacketIndex_ > 0) {
        idleTimes_.Next(*packets[nextPacketIndex_ - 1]);
    }
    AppendNewPackets();
    if (selected != nullptr) {
        ReselectPacket(selected);
    }
}

void CKVLogView::ReselectPacket(const CCCPacket* packet) {
    const int row = model_->RowOfPacket(packet);
    if (row < 0) {
        selectedRow_ = -1;
        emit selectedPacketChanged(nullptr, -1);
        return;
    }
    selectingQuietly_ = true;
    selectionModel()->setCurrentIndex(
        model_->index(row, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    selectingQuietly_ = false;
    selectedRow_ = row;
}

void CKVLogView::OnDocumentUpdate() {
    // The list follows only while the newest row it followed is still in view: a user who
    // scrolled up to read stays there until they return to the end.
    const bool following = autoScrollSeen_ == 0 || autoScrollSeen_ > model_->RowCount() ||
                           RowInView(autoScrollSeen_ - 1);
    if (!autoScroll_ || !IsRecording()) {
        return;
    }
    const int count = model_->RowCount();
    if (count != 0 && count != autoScrollSeen_ && following) {
        EnsureRowVisible(count - 1);
    }
    autoScrollSeen_ = count;
}

bool CKVLogView::RowInView(int row) {
    const QRect rect = visualRect(model_->index(row, 0));
    return rect.isValid() && rect.bottom() >= 0 && rect.top() < viewport()->height();
}

void CKVLogView::ClearSortIndicator() {
    header()->setSortIndicator(-1, Qt::AscendingOrder);
}

void CKVLogView::ClearRowState() {
    ClearSortIndicator();
    selectingQuietly_ = true;
    model_->ClearRows();
    selectingQuietly_ = false;
    selectedRow_ = -1;
    markerARow_ = -1;
    markerBRow_ = -1;
    nextPacketIndex_ = 0;
}

void CKVLogView::ResetRows() {
    const bool hadSelection = selectedRow_ != -1;
    ClearRowState();
    contextRow_ = -1;
    if (hadSelection) {
        emit selectedPacketChanged(nullptr, -1);
    }
}

void CKVLogView::OnTimeOriginChanged() {
    if (columnsBuilt_ && document_.TimeOrigin() != model_->Context().timeOrigin) {
        RecreateRows();
    }
}

void CKVLogView::RecreateRows() {
    // Found again by identity: after a trim the selected packet may be one that is going, and
    // every number changed.
    const CCCPacket* selected = SelectedPacket();
    ClearRowState();
    AppendNewPackets();
    const int row = model_->RowOfPacket(selected);
    if (row >= 0) {
        SelectRow(row);
        EnsureRowVisible(row);
    } else if (selected != nullptr) {
        emit selectedPacketChanged(nullptr, -1);
    }
}

void CKVLogView::SelectPacketNumber(int packetNumber) {
    const int row = model_->RowOfPacketNumber(packetNumber);
    if (row >= 0) {
        SelectRow(row);
        EnsureRowVisible(row);
    }
}

bool CKVLogView::FindMessage(bool forward) {
    if (!matchFind_) {
        return false;
    }
    const std::vector<PacketRow>& rows = model_->Rows();
    const int row = FindMatchingRow(RowCount(), selectedRow_, forward, [&](int candidate) {
        return matchFind_(rows[static_cast<size_t>(candidate)]) != -1;
    });
    if (row == -1) {
        return false;
    }
    SelectRow(row);
    EnsureRowVisible(row);
    return true;
}

void CKVLogView::SelectRow(int row) {
    if (row < 0 || row >= model_->RowCount()) {
        selectionModel()->clearSelection();
        ChangeSelection(-1);
        return;
    }
    const QModelIndex index = model_->index(row, 0);
    selectionModel()->setCurrentIndex(
        index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    ChangeSelection(row);
}

void CKVLogView::selectionChanged(const QItemSelection& selected,
                                  const QItemSelection& deselected) {
    QTableView::selectionChanged(selected, deselected);
    if (!selectingQuietly_) {
        const QModelIndexList rows = selectionModel()->selectedRows();
        ChangeSelection(rows.isEmpty() ? -1 : rows.first().row());
    }
}

void CKVLogView::ChangeSelection(int row) {
    if (row == selectedRow_) {
        return;
    }
    const int previous = selectedRow_;
    selectedRow_ = row;
    RepaintRow(previous);
    RepaintRow(row);
    const PacketRow* shown = model_->RowAt(row);
    emit selectedPacketChanged(shown != nullptr ? shown->packet : nullptr,
                               shown != nullptr ? shown->number : -1);
}

void CKVLogView::EnsureRowVisible(int row) {
    if (row < 0 || row >= model_->RowCount()) {
        return;
    }
    if (row + 1 < model_->RowCount()) {
        scrollTo(model_->index(row + 1, 0), QAbstractItemView::EnsureVisible);
    }
    if (row > 0) {
        scrollTo(model_->index(row - 1, 0), QAbstractItemView::EnsureVisible);
    }
    scrollTo(model_->index(row, 0), QAbstractItemView::EnsureVisible);
}

void CKVLogView::SortByColumn(int listColumn) {
    const std::vector<int>& ids = model_->ColumnIds();
    if (listColumn < 0 || listColumn >= static_cast<int>(ids.size())) {
        return;
    }
    const int id = ids[listColumn];
    gSortDescending = listColumn == gLastSortColumn && !gSortDescending;
    gLastSortColumn = listColumn;

    const CCCPacket* selected = SelectedPacket();
    selectingQuietly_ = true;
    selectionModel()->clear();
    selectingQuietly_ = false;
    selectedRow_ = -1;

    model_->ReorderRows(SortedRowOrder(model_->Rows(), id, gSortDescending, model_->Context()));
    header()->setSortIndicator(listColumn,
                               gSortDescending ? Qt::DescendingOrder : Qt::AscendingOrder);
    markerARow_ = model_->RowOfPacket(document_.MarkerA().get());
    markerBRow_ = model_->RowOfPacket(document_.MarkerB().get());
    if (selected != nullptr) {
        // The same packet stays selected; the detail views see no change.
        ReselectPacket(selected);
        EnsureRowVisible(selectedRow_);
    }
    viewport()->update();
}

void CKVLogView::SaveColumnLayout() {
    for (int id = 0; id < kPacketColumnCount; ++id) {
        const int section = model_->ListColumnOf(id);
        if (section == -1) {
            columns_[id].shown = 0;
            continue;
        }
        columns_[id].shown = 1;
        // The last column is stretched to the window's edge: its own width stays recorded.
        if (header()->visualIndex(section) != header()->count() - 1) {
            columns_[id].width = header()->sectionSize(section);
        }
        columns_[id].order = header()->visualIndex(section);
    }
}

void CKVLogView::RepaintRow(int row) {
    if (row < 0 || row >= model_->RowCount()) {
        return;
    }
    const QRect rect = visualRect(model_->index(row, 0));
    if (rect.isValid()) {
        viewport()->update(QRect(0, rect.top(), viewport()->width(), rect.height()));
    }
}

void CKVLogView::FitRowHeight() {
    const int height = QFontMetrics(font()).height() + 4;
    verticalHeader()->setMinimumSectionSize(height);
    verticalHeader()->setDefaultSectionSize(height);
}

void CKVLogView::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange) {
        FitRowHeight();
    }
    QTableView::changeEvent(event);
}

QModelIndex CKVLogView::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
    if ((action == MoveHome || action == MoveEnd) && model_->RowCount() > 0) {
        const int row = action == MoveHome ? 0 : model_->RowCount() - 1;
        return model_->index(row, std::max(currentIndex().column(), 0));
    }
    return QTableView::moveCursor(action, modifiers);
}

void CKVLogView::paintEvent(QPaintEvent* event) {
    const QRect area = event->rect();
    const int first = rowAt(area.top());
    if (first < 0) {
        return;  // below the last row
    }
    int last = rowAt(area.bottom());
    if (last < 0) {
        last = model_->RowCount() - 1;
    }
    QPainter painter(viewport());
    for (int row = first; row <= last; ++row) {
        PaintRow(painter, row,
                 QRect(0, rowViewportPosition(row), viewport()->width(), rowHeight(row)));
    }
}

void CKVLogView::PaintRow(QPainter& painter, int row, const QRect& rowRect) const {
    const CCCPacket* packet = model_->PacketAt(row);
    if (packet == nullptr) {
        return;
    }
    const RowRoles roles{row == selectedRow_, packet == document_.MarkerA().get(),
                         packet == document_.MarkerB().get(), document_.IsMarked(*packet)};
    painter.save();
    const RowColour background = RowBackground(*packet, row, roles);
    painter.fillRect(rowRect, ToColor(background));
    const QColor paletteText = palette().color(QPalette::Text);
    const RowColour textColour = RowTextColour(*packet).value_or(
        RowColour{paletteText.red(), paletteText.green(), paletteText.blue()});
    painter.setPen(ToColor(ReadableTextColour(textColour, background)));
    painter.setFont(font());

    const QFontMetrics metrics(font());
    const int match = matchFind_ ? matchFind_(model_->Rows()[row]) : -1;
    const std::vector<int>& ids = model_->ColumnIds();
    const QColor gridColour(210, 210, 210);
    for (int section = 0; section < static_cast<int>(ids.size()); ++section) {
        if (header()->isSectionHidden(section)) {
            continue;
        }
        const int x = header()->sectionViewportPosition(section);
        const int width = header()->sectionSize(section);
        const bool label = section == 0;
        const int margin = label ? kLabelMargin : kCellMargin;
        const int inset = label ? kLabelInset : kCellInset;
        const QString text = FitText(metrics, model_->CellText(row, section), width, margin);
        const QRect textRect(x + inset, rowRect.top(), std::max(width - 2 * inset, 0),
                             rowRect.height());
        if (!label && ids[section] == match) {
            painter.fillRect(QRect(textRect.left(), rowRect.top(), metrics.horizontalAdvance(text),
                                   rowRect.height()),
                             QColor(0, 255, 0));
        }
        DrawHighlightedText(painter, textRect, text, findText_);
        const QPen pen = painter.pen();
        painter.setPen(gridColour);
        painter.drawLine(x + width - 1, rowRect.top(), x + width - 1, rowRect.bottom());
        painter.setPen(pen);
    }
    painter.setPen(gridColour);
    painter.drawLine(rowRect.left(), rowRect.bottom(), rowRect.right(), rowRect.bottom());
    if (errorMark_ && errorMark_(packet) && !ids.empty()) {
        constexpr int kErrorMarkWidth = 4;
        painter.fillRect(QRect(header()->sectionViewportPosition(0), rowRect.top(), kErrorMarkWidth,
                               rowRect.height()),
                         QColor(220, 0, 0));
    }
    if (hasFocus() && currentIndex().row() == row && !ids.empty()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = QRect(header()->sectionViewportPosition(0), rowRect.top(),
                           header()->sectionSize(0), rowRect.height());
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
    }
    painter.restore();
}

QString CKVLogView::TruncatedCellText(int row, int listColumn) const {
    if (row < 0 || row >= model_->RowCount() || listColumn < 0 ||
        listColumn >= model_->columnCount()) {
        return {};
    }
    const QString text = model_->CellText(row, listColumn);
    const int margin = listColumn == 0 ? kLabelMargin : kCellMargin;
    const QString shown =
        FitText(QFontMetrics(font()), text, header()->sectionSize(listColumn), margin);
    return shown == text ? QString() : text;
}

bool CKVLogView::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const QModelIndex index = indexAt(help->pos());
        const QString text =
            index.isValid() ? TruncatedCellText(index.row(), index.column()) : QString();
        if (text.isEmpty()) {
            QToolTip::hideText();
        } else {
            QToolTip::showText(help->globalPos(), text, viewport(), visualRect(index));
        }
        return true;
    }
    return QTableView::viewportEvent(event);
}

void CKVLogView::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        const QModelIndex index = indexAt(event->position().toPoint());
        contextRow_ = index.isValid() ? index.row() : -1;
    }
    QTableView::mousePressEvent(event);
}

void CKVLogView::contextMenuEvent(QContextMenuEvent* event) {
    if (event->reason() == QContextMenuEvent::Mouse) {
        const QModelIndex index = indexAt(event->pos());
        contextRow_ = index.isValid() ? index.row() : -1;
    } else {
        contextRow_ = selectedRow_;
    }
    QMenu* menu = BuildContextMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

QMenu* CKVLogView::BuildContextMenu(QWidget* parent) {
    auto* menu = new QMenu(parent);
    menu->setObjectName(QStringLiteral("LogView"));
    const CCCPacket* packet = model_->PacketAt(contextRow_);
    const PacketMarks marks = document_.Marks();
    const bool anyMarked =
        std::any_of(model_->Rows().begin(), model_->Rows().end(),
                    [&](const PacketRow& shown) { return marks.Contains(*shown.packet); });
    auto add = [&](const QString& text, bool enabled, auto handler) {
        QAction* action = menu->addAction(text);
        action->setEnabled(enabled);
        connect(action, &QAction::triggered, this, handler);
        return action;
    };
    const bool packetMarked = packet != nullptr && marks.Contains(*packet);
    add(QStringLiteral("Set Marker"), packet != nullptr && !packetMarked,
        [this] { SetMark(true); });
    add(QStringLiteral("Clear Marker"), packetMarked, [this] { SetMark(false); });
    add(QStringLiteral("Clear All Markers"), anyMarked, [this] { ClearAllMarks(); });
    menu->addSeparator();
    add(QStringLiteral("Set Marker A"), packet != nullptr, [this] { SetMarkerA(); });
    add(QStringLiteral("Clear Marker A"), markerARow_ != -1, [this] { ClearMarkerA(); });
    add(QStringLiteral("Set Marker B"), packet != nullptr, [this] { SetMarkerB(); });
    add(QStringLiteral("Clear Marker B"), markerBRow_ != -1, [this] { ClearMarkerB(); });
    menu->addSeparator();
    QMenu* origin = menu->addMenu(QStringLiteral("Set Time Stamp Origin"));
    connect(origin->addAction(QStringLiteral("Absolute")), &QAction::triggered, this,
            [this] { SetOriginAbsolute(); });
    QAction* current = origin->addAction(QStringLiteral("Current Position"));
    current->setEnabled(packet != nullptr);
    connect(current, &QAction::triggered, this, [this] { SetOriginCurrentPosition(); });
    menu->addSeparator();
    add(QStringLiteral("Column Settings"), true, [this] { emit columnSettingsRequested(); });
    return menu;
}

PacketPtr CKVLogView::SharedPacketOfRow(int row) const {
    const PacketRow* shown = model_->RowAt(row);
    if (shown == nullptr) {
        return nullptr;
    }
    const CCCPacket* packet = shown->packet;
    const std::vector<PacketPtr>& packets = document_.Packets();
    const int number = shown->number;
    if (number >= 0 && number < static_cast<int>(packets.size()) &&
        packets[number].get() == packet) {
        return packets[number];
    }
    const auto it = std::find_if(packets.begin(), packets.end(),
                                 [&](const PacketPtr& held) { return held.get() == packet; });
    return it == packets.end() ? nullptr : *it;
}

void CKVLogView::AfterMarkerCommand() {
    emit markersChanged();
}

void CKVLogView::SetMark(bool marked) {
    const PacketPtr packet = SharedPacketOfRow(contextRow_);
    if (!packet || document_.IsMarked(*packet) == marked) {
        return;
    }
    document_.SetMarked(packet, marked);
    RepaintRow(contextRow_);
    AfterMarkerCommand();
}

void CKVLogView::ClearAllMarks() {
    bool changed = false;
    for (int row = 0; row < model_->RowCount(); ++row) {
        const CCCPacket* packet = model_->PacketAt(row);
        if (document_.IsMarked(*packet)) {
            document_.SetMarked(SharedPacketOfRow(row), false);
            RepaintRow(row);
            changed = true;
        }
    }
    if (changed) {
        AfterMarkerCommand();
    }
}

void CKVLogView::SetMarker(bool markerA, int row) {
    int& markerRow = markerA ? markerARow_ : markerBRow_;
    const int previous = markerRow;
    const PacketPtr shared = SharedPacketOfRow(row);
    if (markerA) {
        document_.SetMarkerA(shared);
    } else {
        document_.SetMarkerB(shared);
    }
    markerRow = shared ? row : -1;
    RepaintRow(previous);
    RepaintRow(markerRow);
    AfterMarkerCommand();
}

void CKVLogView::SetMarkerA() {
    if (model_->PacketAt(contextRow_) != nullptr) {
        SetMarker(true, contextRow_);
    }
}

void CKVLogView::ClearMarkerA() {
    SetMarker(true, -1);
}

void CKVLogView::SetMarkerB() {
    if (model_->PacketAt(contextRow_) != nullptr) {
        SetMarker(false, contextRow_);
    }
}

void CKVLogView::ClearMarkerB() {
    SetMarker(false, -1);
}

void CKVLogView::SetOriginAbsolute() {
    const PacketRow* contextShown = model_->RowAt(contextRow_);
    const int contextNumber = contextShown != nullptr ? contextShown->number : -1;
    document_.SetTimeOrigin(0, false);
    document_.NoteMarkersChanged();
    OnTimeOriginChanged();
    if (contextNumber >= 0) {
        contextRow_ = model_->RowOfPacketNumber(contextNumber);
        EnsureRowVisible(contextRow_);
    }
    AfterMarkerCommand();
}

void CKVLogView::SetOriginCurrentPosition() {
    const PacketRow* contextShown = model_->RowAt(contextRow_);
    if (contextShown == nullptr) {
        return;
    }
    const int contextNumber = contextShown->number;
    document_.SetTimeOrigin(contextShown->packet->relTime, false);
    document_.NoteMarkersChanged();
    OnTimeOriginChanged();
    contextRow_ = model_->RowOfPacketNumber(contextNumber);
    EnsureRowVisible(contextRow_);
    AfterMarkerCommand();
}
