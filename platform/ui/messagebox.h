#pragma once

#include <QString>
#include <functional>

// Message boxes that are modal to the whole application. They go through one seam, so that a
// test can answer them instead of a person.
enum class MsgButtons { OK, OKCancel };
enum class MsgIcon { None, Error, Warning, Information, Question };
// The answers; Escape and the box's close button give Cancel.
enum ModalResult { mrNone = 0, mrOk = 1, mrCancel = 2 };

struct MessageBoxRequest
{
    QString text;
    QString caption;
    MsgButtons buttons = MsgButtons::OK;
    MsgIcon icon = MsgIcon::None;
    // Centred on the screen rather than over the active window.
    bool centredOnScreen = false;
};

// Shows the box and returns the button chosen. OK is the default button.
int showMessageBox(const MessageBoxRequest &request);

// Replaces how boxes are shown (an empty handler restores the real boxes); returns the old one.
using MessageBoxHandler = std::function<int(const MessageBoxRequest &)>;
MessageBoxHandler setMessageBoxHandler(MessageBoxHandler handler);
