#include "app/shell/command_router.h"

#include <QAction>
#include <QKeySequence>

namespace {
constexpr const char* kCommandIdProperty = "commandId";
}

void CCommandRouter::Register(int id, QAction* action) {
    actions_[id] = action;
    action->setProperty(kCommandIdProperty, id);
    action->setObjectName(QStringLiteral("command%1").arg(id));
    if (const CommandInfo* info = FindCommand(id)) {
        action->setText(QString::fromLatin1(info->menuText));
        action->setShortcut(
            QKeySequence::fromString(QString::fromLatin1(info->keys), QKeySequence::PortableText));
    }
}

QAction* CCommandRouter::Action(int id) const {
    const auto found = actions_.find(id);
    return found == actions_.end() ? nullptr : found->second;
}

int CCommandRouter::CommandId(const QAction* action) {
    return action == nullptr ? 0 : action->property(kCommandIdProperty).toInt();
}

void CCommandRouter::ApplyRules(const CommandState& state) {
    for (const auto& [id, action] : actions_) {
        const CommandInfo* info = FindCommand(id);
        if (info == nullptr) {
            continue;
        }
        if (const std::optional<bool> enabled = RuleEnables(info->rule, state)) {
            action->setEnabled(*enabled);
        }
    }
}
