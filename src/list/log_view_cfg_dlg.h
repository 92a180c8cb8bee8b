// "PD Messages Column Settings": which of the 38 message list columns are shown and in which
// order. Edits a copy of the column records; OK writes the shown flags and orders back.
#pragma once

#include <QDialog>

#include "list/core/column_cfg_state.h"
#include "list/core/column_info.h"

class QPushButton;
class QTableWidget;

class CLogViewCfgDlg : public QDialog {
    Q_OBJECT

  public:
    // The records must outlive the dialog; they are written only by OK.
    CLogViewCfgDlg(ColumnLayout& records, QWidget* parent = nullptr);

    const ColumnCfgState& State() const { return state_; }
    QTableWidget* List() const { return list_; }
    QPushButton* UpButton() const { return up_; }
    QPushButton* DownButton() const { return down_; }
    QPushButton* ShowButton() const { return show_; }
    QPushButton* HideButton() const { return hide_; }
    QPushButton* DefaultsButton() const { return defaults_; }

    void accept() override;

  private:
    void Refill();
    void RecordSelection();
    template <typename Operation>
    void RunButton(Operation operation);

    ColumnLayout& records_;
    ColumnCfgState state_;
    QTableWidget* list_ = nullptr;
    QPushButton* up_ = nullptr;
    QPushButton* down_ = nullptr;
    QPushButton* show_ = nullptr;
    QPushButton* hide_ = nullptr;
    QPushButton* defaults_ = nullptr;
};
