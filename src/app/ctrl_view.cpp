#include "app/ctrl_view.h"

#include <QAction>
#include <QFont>
#include <QFontMetrics>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QResizeEvent>
#include <algorithm>

#include "app/capture_controller.h"
#include "app/ctrl/ctrl_layout.h"
#include "capture/document.h"
#include "settings/settings_store.h"

namespace {

constexpr int kButtonImageSize = 48;

QRect ToRect(const CtrlRect& rect) {
    return {rect.left, rect.top, rect.width, rect.height};
}

QFont ArialFont(int pixelHeight) {
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(pixelHeight);
    return font;
}

void SetText(QLabel* label, const std::string& text) {
    label->setText(QString::fromStdString(text));
}

// The label's text at pixel height at most maxHeight, smaller until it fits the label's width
// (and, for a text of several lines, its height): a read-out is never cut off or run into its
// neighbour.
void FitFont(QLabel* label, int maxHeight) {
    const QRect box = label->contentsRect();
    const QString text = label->text();
    const bool lines = text.contains(QLatin1Char('\n'));
    int size = std::max(maxHeight, 1);
    for (; size > 1; --size) {
        const QRect needed =
            QFontMetrics(ArialFont(size))
                .boundingRect(QRect(0, 0, 1 << 16, 1 << 16), Qt::AlignLeft | Qt::AlignTop, text);
        if (needed.width() <= box.width() && (!lines || needed.height() <= box.height())) {
            break;
        }
    }
    if (label->font().pixelSize() != size || label->font().family() != QStringLiteral("Arial")) {
        label->setFont(ArialFont(size));
    }
}

}  // namespace

QString DirectionPicturePath(DirectionPicture picture) {
    switch (picture) {
        case DirectionPicture::Positive:
            return QStringLiteral(":/zoduz/icons/dir_plug_to_receptacle.svg");
        case DirectionPicture::Negative:
            return QStringLiteral(":/zoduz/icons/dir_receptacle_to_plug.svg");
        case DirectionPicture::NoCurrent:
            return QStringLiteral(":/zoduz/icons/dir_no_current.svg");
        case DirectionPicture::Hidden:
            break;
    }
    return {};
}

CKVCtrlView::CKVCtrlView(CKVDoc& document, CCaptureController& capture, SettingsStore& settings,
                         QWidget* parent)
    : QWidget(parent), document_(document), capture_(capture), settings_(settings) {
    setObjectName(QStringLiteral("CKVCtrlView"));
    const Qt::Alignment right = Qt::AlignRight | Qt::AlignVCenter;
    const Qt::Alignment left = Qt::AlignLeft | Qt::AlignVCenter;

    picture_ = AddStatic(1003, {}, Qt::AlignCenter);
    picture_->hide();
    ccStatus_ = AddStatic(1120, QStringLiteral("CC Status"), Qt::AlignCenter);
    vbusPower_ = AddStatic(1009, {}, right);
    const std::array<const char*, 4> captions = {"VBUS", "CC1", "CC2", "VCONN"};
    const std::array<int, 4> captionIds = {1117, 1118, 1119, 1121};
    const std::array<std::array<int, 2>, 4> valueIds = {
        {{1002, 1004}, {1005, 1006}, {1007, 1008}, {1011, 1012}}};
    for (size_t column = 0; column < captions.size(); ++column) {
        captions_[column] =
            AddStatic(captionIds[column], QString::fromLatin1(captions[column]), left);
        for (size_t row = 0; row < 2; ++row) {
            values_[column][row] = AddStatic(valueIds[column][row], {}, right);
        }
    }
    peak_ = AddStatic(1160, {}, Qt::AlignLeft | Qt::AlignTop);

    run_ = AddButton("ctrlRun", "run", QStringLiteral("Run"));
    connect(run_, &QPushButton::clicked, this, [this] { capture_.RunAction()->trigger(); });
    pause_ = AddButton("ctrlPause", "pause", QStringLiteral("Pause"));
    connect(pause_, &QPushButton::clicked, this, [this] { capture_.StopAction()->trigger(); });
    clear_ = AddButton("ctrlClear", "clear", QStringLiteral("Clear"));
    connect(clear_, &QPushButton::clicked, this, [this] { capture_.ClearAction()->trigger(); });

    connect(&capture_, &CCaptureController::readoutsChanged, this, &CKVCtrlView::RefreshReadouts);
    connect(&capture_, &CCaptureController::actionsUpdated, this, &CKVCtrlView::UpdateButtons);
    LayOut();
    UpdateButtons();
}

CKVCtrlView::~CKVCtrlView() {
    settings_.ctrlViewHeight = height();
}

QLabel* CKVCtrlView::AddStatic(int id, const QString& text, Qt::Alignment alignment) {
    auto* label = new QLabel(text, this);
    label->setObjectName(QStringLiteral("ctrl%1").arg(id));
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(alignment);
    return label;
}

QPushButton* CKVCtrlView::AddButton(const char* name, const char* icon, const QString& tip) {
    auto* button = new QPushButton(this);
    button->setObjectName(QLatin1String(name));
    button->setIcon(QIcon(QStringLiteral(":/zoduz/icons/%1.svg").arg(QLatin1String(icon))));
    button->setIconSize(QSize(kButtonImageSize, kButtonImageSize));
    button->setToolTip(tip);
    button->setAccessibleName(tip);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

QLabel* CKVCtrlView::ValueLabel(int id) const {
    return findChild<QLabel*>(QStringLiteral("ctrl%1").arg(id), Qt::FindDirectChildrenOnly);
}

// The buttons are the window's Run, Stop and Clear commands; Run also needs the link up.
void CKVCtrlView::UpdateButtons() {
    run_->setEnabled(LinkUp(capture_.State().flags) && capture_.RunAction()->isEnabled());
    pause_->setEnabled(capture_.StopAction()->isEnabled());
    clear_->setEnabled(capture_.ClearAction()->isEnabled());
}

void CKVCtrlView::RefreshReadouts() {
    const CaptureState& state = capture_.State();
    const bool linkUp = LinkUp(state.flags);
    shown_ = linkUp ? ComputeReadouts(ReadLiveValues(state.live)) : LinkDownReadouts(shown_);

    SetText(values_[0][0], shown_.vbusVoltage);
    SetText(values_[0][1], shown_.vbusCurrent);
    SetText(vbusPower_, shown_.vbusPower);
    SetText(values_[1][0], shown_.cc1Voltage);
    SetText(values_[1][1], shown_.cc1Current);
    SetText(values_[2][0], shown_.cc2Voltage);
    SetText(values_[2][1], shown_.cc2Current);
    SetText(values_[3][0], shown_.vconnVoltage);
    SetText(values_[3][1], shown_.vconnPower);
    ShowPicture();
    // The CC status is hidden with the picture only while the link is up; a link that went
    // down leaves it as it was.
    if (linkUp) {
        ccStatus_->setVisible(shown_.picture != DirectionPicture::Hidden);
        SetText(ccStatus_, shown_.ccStatus);
    }
    peak_->setText(QString::fromStdString(PeakPowerText(document_.Stats())));
    FitFonts();
}

QSize CKVCtrlView::minimumSizeHint() const {
    return {CtrlStripWidth(kCtrlMinReadableHeight), kCtrlMinReadableHeight};
}

void CKVCtrlView::FitFonts() {
    for (size_t column = 0; column < captions_.size(); ++column) {
        FitFont(captions_[column], valueFontHeight_);
        for (QLabel* value : values_[column]) {
            FitFont(value, valueFontHeight_);
        }
    }
    FitFont(vbusPower_, valueFontHeight_);
    FitFont(ccStatus_, statusFontHeight_);
    FitFont(peak_, peakFontHeight_);
}

void CKVCtrlView::ShowPicture() {
    if (shown_.picture == DirectionPicture::Hidden) {
        picture_->hide();
        return;
    }
    const QSize box = picture_->size();
    picture_->setPixmap(QIcon(DirectionPicturePath(shown_.picture)).pixmap(box));
    picture_->show();
}

void CKVCtrlView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    LayOut();
}

void CKVCtrlView::LayOut() {
    const CtrlLayout layout = ComputeCtrlLayout(height(), width());
    picture_->setGeometry(ToRect(layout.picture));
    ccStatus_->setGeometry(ToRect(layout.ccStatus));
    vbusPower_->setGeometry(ToRect(layout.vbusPower));
    for (size_t column = 0; column < captions_.size(); ++column) {
        captions_[column]->setGeometry(ToRect(layout.columns[column][0]));
        for (size_t row = 0; row < 2; ++row) {
            values_[column][row]->setGeometry(ToRect(layout.columns[column][row + 1]));
        }
    }
    valueFontHeight_ = layout.valueFontHeight;
    statusFontHeight_ = layout.statusFontHeight;
    peakFontHeight_ = layout.peakFontHeight;
    run_->setGeometry(ToRect(layout.run));
    pause_->setGeometry(ToRect(layout.pause));
    clear_->setGeometry(ToRect(layout.clear));
    peak_->setGeometry(ToRect(layout.peak));
    FitFonts();
    ShowPicture();
}
