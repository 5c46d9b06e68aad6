#pragma once

#include <string>

#include "platform/lock_owner.h"

class QWidget;

namespace brantel {

// What a window does with a command table that another live window keeps.
enum class TableChoice { kReadOnly, kSaveAnyway };

// Warns that `owner` keeps the INI file's table and asks whether this window opens it read-only
// (the default, also on Esc) or saves its own table anyway. A modal warning box whose buttons
// are "ReadOnlyButton" and "SaveAnywayButton".
TableChoice AskAboutKeptTable(const std::string& iniPath, const LockOwner& owner, QWidget* parent);

}  // namespace brantel
