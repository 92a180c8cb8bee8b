// The analyzer's "driver" on Linux: the udev rule that lets the logged-in user open it. Where it
// may be installed, and the command that installs it.
#pragma once

#include <string>
#include <vector>

// Where udev reads rules from, the administrator's folder first.
std::vector<std::string> UdevRuleFolders();

// The installed rule's path in the first of folders that holds it; "" when none does.
std::string InstalledUdevRule(const std::vector<std::string>& folders);

// Where Install Driver puts the rule.
std::string UdevRuleTarget();

// The program and arguments that copy the rule at source to its target, readable by all.
std::vector<std::string> UdevRuleInstallCommand(const std::string& source);

// The same command as a line to paste into a root shell ("sudo" first), each word quoted for
// the shell where it needs it.
std::string ManualUdevRuleInstallLine(const std::string& source);
