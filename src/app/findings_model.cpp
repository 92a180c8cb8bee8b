#include "app/findings_model.h"

#include <QApplication>
#include <QStyle>

#include "columns/column_text.h"

namespace {

std::array<QIcon, 3> SeverityIcons() {
    const QStyle* style = QApplication::style();
    return {style->standardIcon(QStyle::SP_MessageBoxCritical),
            style->standardIcon(QStyle::SP_MessageBoxWarning),
            style->standardIcon(QStyle::SP_MessageBoxInformation)};
}

}  // namespace

CFindingsModel::CFindingsModel(QObject* parent)
    : QAbstractTableModel(parent), icons_(SeverityIcons()) {}

void CFindingsModel::SetFindings(std::vector<Finding> findings, int64_t timeOrigin) {
    beginResetModel();
    findings_ = std::move(findings);
    timeOrigin_ = timeOrigin;
    ListShown();
    endResetModel();
}

void CFindingsModel::SetFilter(ChecksFilter filter) {
    if (filter == filter_) {
        return;
    }
    beginResetModel();
    filter_ = filter;
    ListShown();
    endResetModel();
}

bool CFindingsModel::Passes(const Finding& finding) const {
    return static_cast<int>(finding.severity) <= static_cast<int>(filter_);
}

void CFindingsModel::ListShown() {
    shown_.clear();
    if (filter_ == ChecksFilter::kAll) {
        shown_.shrink_to_fit();
        return;
    }
    for (size_t index = 0; index < findings_.size(); ++index) {
        if (Passes(findings_[index])) {
            shown_.push_back(static_cast<int>(index));
        }
    }
}

const Finding* CFindingsModel::FindingAt(int row) const {
    if (row < 0 || row >= rowCount()) {
        return nullptr;
    }
    const auto index = static_cast<size_t>(filter_ == ChecksFilter::kAll ? row : shown_[row]);
    return &findings_[index];
}

int CFindingsModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid()) {
        return 0;
    }
    return static_cast<int>(filter_ == ChecksFilter::kAll ? findings_.size() : shown_.size());
}

int CFindingsModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumnCount;
}

QVariant CFindingsModel::data(const QModelIndex& index, int role) const {
    const Finding* finding = FindingAt(index.row());
    if (finding == nullptr) {
        return {};
    }
    const int column = index.column();
    switch (role) {
        case kPacketRole:
            return finding->packets.empty() ? qint64{-1} : qint64{finding->packets.front()};
        case Qt::DecorationRole:
            return column == kSeverityColumn ? icons_[static_cast<size_t>(finding->severity)]
                                             : QVariant();
        case Qt::ToolTipRole:
            // The text column is cut at the pane's edge: its tooltip has all of it.
            if (column == kSeverityColumn) {
                return QString::fromLatin1(SeverityName(finding->severity));
            }
            return column == kTextColumn ? QString::fromStdString(finding->text) : QVariant();
        case Qt::DisplayRole:
            switch (column) {
                case kRuleColumn:
                    return QString::fromStdString(finding->rule);
                case kTimeColumn:
                    return QString::fromStdString(FormatTime(finding->time - timeOrigin_));
                case kTextColumn:
                    return QString::fromStdString(finding->text);
                default:
                    return {};
            }
        default:
            return {};
    }
}

QVariant CFindingsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return {};
    }
    switch (section) {
        case kRuleColumn:
            return QStringLiteral("Rule");
        case kTimeColumn:
            return QStringLiteral("Time");
        case kTextColumn:
            return QStringLiteral("Finding");
        default:
            return {};
    }
}
