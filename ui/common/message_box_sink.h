#pragma once
// The desktop program's answer to the message seam: a real modal QMessageBox with
// the caption, icon and buttons the message asks for.

#include "ui/common/messages.h"

class QWidget;

// Shows every message as a modal box over `parent` (may be null) from now on.
void InstallMessageBoxSink(QWidget* parent);
sondara::MessageAnswer ShowMessageBox(QWidget* parent, const sondara::Message& message);
