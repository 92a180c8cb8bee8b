// "Zoduz Driver Install": offered at start-up when no analyzer is connected.
#pragma once

#include <QDialog>

class QCheckBox;

class CLaunchDriverInstallerDlg : public QDialog {
    Q_OBJECT

  public:
    explicit CLaunchDriverInstallerDlg(QWidget* parent = nullptr);

    bool DoNotAskAgain() const;
    QCheckBox* DoNotAskAgainBox() const { return doNotAskAgain_; }

  private:
    QCheckBox* doNotAskAgain_ = nullptr;
};
