#include "app/contracts_model.h"

#include <QStringList>
#include <array>
#include <iterator>

#include "check/check_units.h"
#include "columns/column_text.h"

namespace {

constexpr std::array<const char*, CContractsModel::kColumnCount> kTitles = {
    "Time",       "PDO",    "Voltage",   "Current", "Accept", "PS_RDY",
    "Transition", "Settle", "Overshoot", "Final",   "End",    "Between"};

QString Millis(const std::optional<int64_t>& us) {
    return us ? QString::fromStdString(MillisText(*us)) : QString();
}

QString Volts(const std::optional<int>& mv) {
    return mv ? QString::number(*mv / 1000.0, 'f', 3) + QStringLiteral(" V") : QString();
}

QString Events(const std::vector<std::string>& events) {
    QStringList texts;
    for (const std::string& event : events) {
        texts.push_back(QString::fromStdString(event));
    }
    return texts.join(QStringLiteral(", "));
}

}  // namespace

void CContractsModel::SetContracts(std::vector<Contract> ended, std::vector<Contract> open,
                                   int64_t timeOrigin) {
    beginResetModel();
    ended_ = std::move(ended);
    open_ = std::move(open);
    timeOrigin_ = timeOrigin;
    endResetModel();
}

void CContractsModel::AppendContracts(std::vector<Contract> ended, std::vector<Contract> open,
                                      int64_t timeOrigin) {
    beginResetModel();
    if (ended_.empty()) {
        ended_ = std::move(ended);
    } else {
        ended_.insert(ended_.end(), std::make_move_iterator(ended.begin()),
                      std::make_move_iterator(ended.end()));
    }
    open_ = std::move(open);
    timeOrigin_ = timeOrigin;
    endResetModel();
}

const Contract* CContractsModel::ContractAt(int row) const {
    if (row < 0 || row >= rowCount()) {
        return nullptr;
    }
    const auto index = static_cast<size_t>(row);
    return index < ended_.size() ? &ended_[index] : &open_[index - ended_.size()];
}

int CContractsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(ended_.size() + open_.size());
}

int CContractsModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumnCount;
}

QVariant CContractsModel::data(const QModelIndex& index, int role) const {
    const Contract* contract = ContractAt(index.row());
    if (contract == nullptr) {
        return {};
    }
    if (role == kPacketRole) {
        return qint64{contract->requestPacket};
    }
    if (role == Qt::DisplayRole) {
        return CellText(*contract, index.column());
    }
    return {};
}

QString CContractsModel::CellText(const Contract& c, int column) const {
    switch (column) {
        case kTimeColumn:
            return QString::fromStdString(FormatTime(c.time - timeOrigin_));
        case kPdoColumn:
            return QStringLiteral("#%1 %2").arg(c.position).arg(QString::fromStdString(c.pdoType));
        case kVoltageColumn:
            return c.voltage > 0
                       ? QString::number(c.voltage / 1000.0, 'f', 2) + QStringLiteral(" V")
                       : QString();
        case kCurrentColumn:
            return c.power > 0 ? QStringLiteral("%1 mW").arg(c.power)
                               : QStringLiteral("%1 mA").arg(c.current);
        case kAcceptColumn:
            return Millis(c.acceptLatency);
        case kPsRdyColumn:
            return Millis(c.psRdyLatency);
        case kTransitionColumn:
            return Millis(c.transitionStart);
        case kSettleColumn:
            return Millis(c.settleTime);
        case kOvershootColumn:
            return c.overshoot ? QStringLiteral("%1 mV").arg(*c.overshoot) : QString();
        case kFinalColumn:
            return Volts(c.finalVoltage);
        case kEndColumn:
            return QString::fromLatin1(ContractEndName(c.end));
        case kBetweenColumn:
            return Events(c.events);
        default:
            return {};
    }
}

QVariant CContractsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= kColumnCount) {
        return {};
    }
    return QString::fromLatin1(kTitles[static_cast<size_t>(section)]);
}
