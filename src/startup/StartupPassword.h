// The start-up password check that Main asks before loading the main window.
#pragma once

#include <functional>

class QWidget;

// True when access is granted. Without a password file ("prtct1.sys" in the program folder), or
// with an empty one, there is no password.
bool CheckStartupPassword(QWidget* owner);
// The password dialog installs its check here.
void SetStartupPasswordCheck(std::function<bool(QWidget* owner)> check);
