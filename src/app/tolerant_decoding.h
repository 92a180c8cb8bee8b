// The "Tolerant Decoding" switch of the PD Message menu and the status bar field that tells how
// many packets the strict decoder rejected and what the tolerant pass made of them.
#pragma once

#include <QAction>
#include <QLabel>
#include <QObject>
#include <QStatusBar>

#include "capture/document.h"
#include "settings/settings_store.h"

class CTolerantDecoding : public QObject {
    Q_OBJECT

  public:
    // Applies the stored switch to the document and puts the field into `statusBar`.
    CTolerantDecoding(CKVDoc& document, SettingsStore& settings, QStatusBar* statusBar,
                      QObject* parent);

    QAction* Action() const { return action_; }
    // The field's text from the document's counts; empty when nothing was rejected.
    void Refresh();
    QString SummaryText() const { return label_->text(); }

  private:
    // Stores the switch and decodes the open record file again, unless a capture is recording
    // or unsaved marks would be lost; then it applies to the packets decoded from now on.
    void Switch(bool on);

    CKVDoc& document_;
    SettingsStore& settings_;
    QAction* action_ = nullptr;
    QLabel* label_ = nullptr;
};
