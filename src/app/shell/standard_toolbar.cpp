#include "app/shell/standard_toolbar.h"

#include <QAction>
#include <QIcon>
#include <QMainWindow>
#include <QToolBar>

#include "app/shell/command_router.h"
#include "app/shell/command_table.h"

namespace {

// The icon resource of each toolbar command.
const char* IconName(int id) {
    switch (id) {
        case kCommandNew:
            return "new";
        case kCommandOpen:
            return "open";
        case kCommandSaveAs:
            return "save_as";
        case kCommandExport:
            return "export";
        case kCommandRun:
            return "run";
        case kCommandStop:
            return "stop";
        case kCommandClear:
            return "clear";
        case kCommandFind:
            return "find";
        case kCommandFindPrev:
            return "find_prev";
        case kCommandFindNext:
            return "find_next";
        case kCommandFilterSettings:
            return "filter";
        case kCommandDisableFilters:
            return "filter_off";
        case kCommandMessageAutoScroll:
            return "auto_scroll";
        case kCommandShowGraph:
            return "show_graph";
        case kCommandShowMeasuringPoints:
            return "measuring_points";
        case kCommandShowPdPackets:
            return "pd_packets";
        case kCommandGraphAutoScroll:
            return "graph_auto_scroll";
        case kCommandRecordSettings:
            return "record_settings";
        case kCommandRecordFileSettings:
            return "record_file_settings";
        case kCommandAbout:
            return "about";
        default:
            return nullptr;
    }
}

}  // namespace

QToolBar* BuildStandardToolBar(QMainWindow& window, const CCommandRouter& router) {
    QToolBar* toolBar = window.addToolBar(QStringLiteral("Standard"));
    toolBar->setObjectName(QStringLiteral("Standard"));
    toolBar->setIconSize(QSize(20, 20));
    bool separatorDue = false;
    for (int id : StandardToolBarLayout()) {
        if (id == 0) {
            separatorDue = !toolBar->actions().isEmpty();
            continue;
        }
        QAction* action = router.Action(id);
        if (action == nullptr) {
            continue;
        }
        if (separatorDue) {
            toolBar->addSeparator();
            separatorDue = false;
        }
        if (const char* icon = IconName(id)) {
            action->setIcon(QIcon(QStringLiteral(":/zoduz/icons/%1.svg").arg(QLatin1String(icon))));
        }
        toolBar->addAction(action);
    }
    return toolBar;
}
