// CKVCtrlView, the strip at the top of the main window: the Run, Pause and Clear buttons, the
// live read-outs of VBUS, CC1, CC2 and VCONN, the VBUS current direction picture, the CC status
// of both wires and the capture's peak VBUS power. It only shows; its buttons trigger the
// window's capture commands.
#pragma once

#include <QWidget>
#include <array>

#include "app/ctrl/readouts.h"

class CCaptureController;
class CKVDoc;
class QLabel;
class QPushButton;
struct SettingsStore;

class CKVCtrlView : public QWidget {
    Q_OBJECT

  public:
    CKVCtrlView(CKVDoc& document, CCaptureController& capture, SettingsStore& settings,
                QWidget* parent = nullptr);
    // Stores the strip's height as the "CtrlViewHeight" setting.
    ~CKVCtrlView() override;

    // Once a tick: the live values (or empty read-outs when the link is down) and the peak.
    void RefreshReadouts();
    // Run, Pause and Clear as the capture commands stand (after every actionsUpdated).
    void UpdateButtons();

    const ControlReadouts& Shown() const { return shown_; }
    QLabel* ValueLabel(int id) const;  // by control id: 1002, 1004 ... 1160
    QLabel* Picture() const { return picture_; }
    QPushButton* RunButton() const { return run_; }
    QPushButton* PauseButton() const { return pause_; }
    QPushButton* ClearButton() const { return clear_; }

    // The strip is never squeezed below the size at which its read-outs stay readable.
    QSize minimumSizeHint() const override;

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    QLabel* AddStatic(int id, const QString& text, Qt::Alignment alignment);
    QPushButton* AddButton(const char* name, const char* icon, const QString& tip);
    void LayOut();
    void ShowPicture();
    // Every text at its layout font, or smaller where it would not fit its box.
    void FitFonts();

    CKVDoc& document_;
    CCaptureController& capture_;
    SettingsStore& settings_;
    ControlReadouts shown_;
    QString peakText_;
    int valueFontHeight_ = 1;
    int statusFontHeight_ = 1;
    int peakFontHeight_ = 1;

    QLabel* picture_ = nullptr;
    QLabel* ccStatus_ = nullptr;
    QLabel* peak_ = nullptr;
    std::array<QLabel*, 4> captions_{};
    std::array<std::array<QLabel*, 2>, 4> values_{};  // VBUS, CC1, CC2, VCONN
    QLabel* vbusPower_ = nullptr;
    QPushButton* run_ = nullptr;
    QPushButton* pause_ = nullptr;
    QPushButton* clear_ = nullptr;
};

// The resource path of a direction picture ("" for Hidden); the current direction dialog shows
// the same two direction images.
QString DirectionPicturePath(DirectionPicture picture);
