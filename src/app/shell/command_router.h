// The window's commands by identifier: each registered action takes its menu text, keys and
// identifier from the command table, and follows the table's enabling rule.
#pragma once

#include <QObject>
#include <map>

#include "app/shell/command_table.h"

class QAction;

class CCommandRouter : public QObject {
    Q_OBJECT

  public:
    using QObject::QObject;

    // Routes id to action. A command of the table gets the table's text and keys; any other
    // identifier (a command another part of the window owns) keeps the action's own.
    void Register(int id, QAction* action);
    // The action of id; null when none is registered.
    QAction* Action(int id) const;
    // The identifier an action was registered under, 0 for none.
    static int CommandId(const QAction* action);
    // Enables every registered command that follows a table rule.
    void ApplyRules(const CommandState& state);
    const std::map<int, QAction*>& Actions() const { return actions_; }

  private:
    std::map<int, QAction*> actions_;
};
