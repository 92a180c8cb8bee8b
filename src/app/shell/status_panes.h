// The status bar's permanent fields, right of the message pane: the capture summary (packet
// count, the shown count when the display filter hides some, the capture length), a short
// note when the open record file is damaged, and the CAP, NUM and SCRL lock indicators. The
// message pane itself shows the capture state and progress texts; these fields stay whatever
// it shows and whatever a menu hover does to it.
#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <string>

#include "app/shell/lock_keys.h"

class QLabel;
class QStatusBar;

// What the summary field counts.
struct CaptureSummary {
    uint64_t packets = 0;
    uint64_t shownRows = 0;
    int64_t lengthUs = -1;  // last minus first sample time; -1 without samples
    bool decoding = false;  // a file is being decoded: the list has not caught up yet
};

// "Packets: 120", "Packets: 12 shown of 120" when rows are hidden, "Packets: 120 (decoding)"
// while a file decodes; then "   Length: 2.500 s".
QString CaptureSummaryText(const CaptureSummary& summary);

class CStatusPanes : public QObject {
    Q_OBJECT

  public:
    // summary supplies the numbers; the lock states are read from ledFolder.
    CStatusPanes(QStatusBar& bar, std::function<CaptureSummary()> summary,
                 std::string ledFolder = kLedFolder);

    // Reads the summary and the lock states again (also done twice a second).
    void Refresh();
    // A short note and its full text as tooltip; "" hides the field.
    void SetFileProblem(const QString& note, const QString& details);

    QLabel* SummaryField() const { return summary_; }
    QLabel* ProblemField() const { return problem_; }
    QLabel* CapsIndicator() const { return caps_; }
    QLabel* NumIndicator() const { return num_; }
    QLabel* ScrollIndicator() const { return scroll_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void RefreshLocks();

    std::function<CaptureSummary()> source_;
    std::string ledFolder_;
    QTimer timer_;
    QLabel* summary_ = nullptr;
    QLabel* problem_ = nullptr;
    QLabel* caps_ = nullptr;
    QLabel* num_ = nullptr;
    QLabel* scroll_ = nullptr;
};
