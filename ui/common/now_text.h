#pragma once
// The PC's local time now, as the windows and the report show it
// ("%Y-%m-%d  %H:%M:%S"); empty when the local time cannot be told.

#include <QString>

QString LocalNowText();
