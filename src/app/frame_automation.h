// The main window as the target of remote control: the record file name and folder go to
// capture control, start and stop are its automation commands, export is the automatic export
// of the File menu's Export.
#pragma once

#include "app/automation/automation_dispatcher.h"

class CMainFrame;

class CFrameAutomation : public AutomationTarget {
  public:
    // The window outlives the target.
    explicit CFrameAutomation(CMainFrame& frame) : frame_(frame) {}

    void SetRecordFileName(const std::string& name) override;
    // A folder that fails the record folder's writability test is refused.
    bool SetRecordFolder(const std::string& folder) override;
    bool HasRecordFileName() const override;
    // Only when Run is enabled (an analyzer is connected and no capture records).
    bool Start() override;
    void Stop() override;
    // Only when Export is enabled (no capture records, the document has a record file) and no
    // automatic export runs.
    bool Export() override;

  private:
    CMainFrame& frame_;
};
