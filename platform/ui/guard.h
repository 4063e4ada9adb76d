#pragma once

#include <QString>
#include <functional>

// Runs an action at a place where the toolkit calls into our code (a click, a key, a close
// query). An error that ends the action is shown in the error box and goes no further; the
// toolkit's frames never see an exception. Returns whether the action ran to its end.
bool guarded(const std::function<void()> &action);

// The error box: the message with the full-stop rule, the application's title as caption, the
// stop icon and one OK button.
void showErrorBox(const QString &message);

// A message that ends in a character sorting after "." gets a "." appended.
QString withFullStop(const QString &message);
