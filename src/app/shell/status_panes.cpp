#include "app/shell/status_panes.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QStatusBar>

namespace {

constexpr int kRefreshMs = 500;

QLabel* AddField(QStatusBar& bar, const QString& name, const QString& text) {
    auto* label = new QLabel(text, &bar);
    label->setObjectName(name);
    label->setAlignment(Qt::AlignCenter);
    label->setContentsMargins(4, 0, 4, 0);
    bar.addPermanentWidget(label);
    return label;
}

bool IsLockKey(int key) {
    return key == Qt::Key_CapsLock || key == Qt::Key_NumLock || key == Qt::Key_ScrollLock;
}

}  // namespace

QString CaptureSummaryText(const CaptureSummary& summary) {
    QString text;
    if (summary.decoding) {
        // The rows come once the decoding ends: no shown count that would blame the filter.
        text = QStringLiteral("Packets: %1 (decoding)").arg(summary.packets);
    } else if (summary.shownRows == summary.packets) {
        text = QStringLiteral("Packets: %1").arg(summary.packets);
    } else {
        text =
            QStringLiteral("Packets: %1 shown of %2").arg(summary.shownRows).arg(summary.packets);
    }
    if (summary.lengthUs >= 0) {
        text += QStringLiteral("   Length: %1 s")
                    .arg(static_cast<double>(summary.lengthUs) / 1e6, 0, 'f', 3);
    }
    return text;
}

CStatusPanes::CStatusPanes(QStatusBar& bar, std::function<CaptureSummary()> summary,
                           std::string ledFolder)
    : QObject(&bar), source_(std::move(summary)), ledFolder_(std::move(ledFolder)) {
    problem_ = AddField(bar, QStringLiteral("fileProblem"), QString());
    problem_->setStyleSheet(QStringLiteral("color: rgb(176, 0, 0);"));
    problem_->hide();
    summary_ = AddField(bar, QStringLiteral("captureSummary"), QString());
    caps_ = AddField(bar, QStringLiteral("capsLock"), QStringLiteral("CAP"));
    num_ = AddField(bar, QStringLiteral("numLock"), QStringLiteral("NUM"));
    scroll_ = AddField(bar, QStringLiteral("scrollLock"), QStringLiteral("SCRL"));
    // A lock key pressed anywhere in the application shows at once.
    qApp->installEventFilter(this);
    connect(&timer_, &QTimer::timeout, this, &CStatusPanes::Refresh);
    timer_.start(kRefreshMs);
    Refresh();
}

void CStatusPanes::Refresh() {
    if (source_) {
        const QString text = CaptureSummaryText(source_());
        if (summary_->text() != text) {
            summary_->setText(text);
        }
    }
    RefreshLocks();
}

void CStatusPanes::RefreshLocks() {
    const LockKeyStates states = ReadLockKeyStates(ledFolder_);
    // An indicator whose lock is off is drawn disabled (greyed), as the toolkit's are.
    caps_->setEnabled(states.caps);
    num_->setEnabled(states.num);
    scroll_->setEnabled(states.scroll);
}

void CStatusPanes::SetFileProblem(const QString& note, const QString& details) {
    problem_->setText(note);
    problem_->setToolTip(details);
    problem_->setVisible(!note.isEmpty());
}

bool CStatusPanes::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyRelease && IsLockKey(static_cast<QKeyEvent*>(event)->key())) {
        RefreshLocks();
    }
    return QObject::eventFilter(watched, event);
}
