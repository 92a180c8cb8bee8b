// CPacketFindDlg, "Find PD Messages" / "Display Filter Settings": edits one set of find or
// filter criteria. The buttons change the criteria at once (so their changes survive Cancel);
// OK stores every control.
#pragma once

#include <QDialog>
#include <array>

#include "capture/packet_statistics.h"
#include "list/core/find_criteria.h"

class QCheckBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

class CPacketFindDlg : public QDialog {
    Q_OBJECT

  public:
    // The criteria must outlive the dialog. Without statistics every box is enabled.
    CPacketFindDlg(FindCriteria& criteria, const PacketStatistics* statistics,
                   QWidget* parent = nullptr);

    QCheckBox* Box(Criterion criterion) const { return boxes_[static_cast<size_t>(criterion)]; }
    QCheckBox* AllowAllBox() const { return allowAll_; }
    QCheckBox* EnableTextBox() const { return enableText_; }
    QLineEdit* TextEdit() const { return text_; }
    QGroupBox* DirectionGroup() const { return directionGroup_; }
    QRadioButton* ForwardButton() const { return forward_; }
    QRadioButton* BackwardButton() const { return backward_; }
    QPushButton* CheckAllTypesButton() const { return checkAllTypes_; }
    QPushButton* ClearAllTypesButton() const { return clearAllTypes_; }
    QPushButton* CheckAllButton() const { return checkAll_; }
    QPushButton* ClearAllButton() const { return clearAll_; }

    void accept() override;

  private:
    QGroupBox* BuildGroup(std::string_view title, int first, int last, int columns);
    // Members into the controls, and back.
    void ShowCriteria();
    void StoreControls();
    void ApplyEnabling();
    // A button that changes the stored criteria, then shows them.
    template <typename Change>
    void ConnectCriteriaButton(QPushButton* button, Change change);

    FindCriteria& criteria_;
    const PacketStatistics* statistics_;
    std::array<QCheckBox*, kCriterionCount> boxes_{};
    QCheckBox* allowAll_ = nullptr;
    QCheckBox* enableText_ = nullptr;
    QLineEdit* text_ = nullptr;
    QGroupBox* directionGroup_ = nullptr;
    QRadioButton* forward_ = nullptr;
    QRadioButton* backward_ = nullptr;
    QPushButton* checkAllTypes_ = nullptr;
    QPushButton* clearAllTypes_ = nullptr;
    QPushButton* checkAll_ = nullptr;
    QPushButton* clearAll_ = nullptr;
};
