#include "app/frame_automation.h"

#include "app/capture_controller.h"
#include "app/main_frame.h"
#include "app/tool_commands.h"
#include "capture/record_naming.h"
#include "tools/qt/export_dlg.h"

void CFrameAutomation::SetRecordFileName(const std::string& name) {
    frame_.Capture()->Control().SetExternalName(name);
}

bool CFrameAutomation::SetRecordFolder(const std::string& folder) {
    if (!folder.empty() && !IsWritableFolder(folder)) {
        return false;
    }
    frame_.Capture()->Control().SetExternalFolder(folder);
    return true;
}

bool CFrameAutomation::HasRecordFileName() const {
    return !frame_.Capture()->Control().ExternalName().empty();
}

bool CFrameAutomation::Start() {
    CaptureControl& control = frame_.Capture()->Control();
    if (!control.CanRun()) {
        return false;
    }
    control.AutomationStart();
    frame_.Capture()->UpdateActions();
    return control.Recording();
}

void CFrameAutomation::Stop() {
    frame_.Capture()->Control().AutomationStop();
    frame_.Capture()->UpdateActions();
}

bool CFrameAutomation::Export() {
    CToolCommands& tools = *frame_.Tools();
    if (!frame_.Commands().CanSave() ||
        (tools.AutomaticExport() != nullptr && tools.AutomaticExport()->Exporting())) {
        return false;
    }
    tools.ExportAutomatic();
    return true;
}
