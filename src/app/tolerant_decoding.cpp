#include "app/tolerant_decoding.h"

CTolerantDecoding::CTolerantDecoding(CKVDoc& document, SettingsStore& settings,
                                     QStatusBar* statusBar, QObject* parent)
    : QObject(parent), document_(document), settings_(settings) {
    action_ = new QAction(QStringLiteral("&Tolerant Decoding"), this);
    action_->setCheckable(true);
    action_->setChecked(settings_.pdMessageTolerantDecode);
    action_->setStatusTip(
        QStringLiteral("Recover messages the strict decoder rejects (distorted bursts, short "
                       "preambles, a damaged K-code)"));
    document_.SetTolerantDecoding(settings_.pdMessageTolerantDecode);
    connect(action_, &QAction::toggled, this, &CTolerantDecoding::Switch);

    label_ = new QLabel(statusBar);
    label_->setObjectName(QStringLiteral("tolerantSummary"));
    statusBar->addPermanentWidget(label_);
    Refresh();
}

void CTolerantDecoding::Refresh() {
    label_->setText(QString::fromStdString(
        TolerantSummaryText(document_.Tolerant(), document_.TolerantDecoding())));
}

void CTolerantDecoding::Switch(bool on) {
    settings_.pdMessageTolerantDecode = on;
    document_.SetTolerantDecoding(on);
    const std::string path = document_.RecordFilePath();
    if (!path.empty() && !document_.Recording() && !document_.Modified()) {
        document_.OpenRecordFile(path);
    }
    Refresh();
}
