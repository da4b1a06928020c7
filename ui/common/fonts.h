#pragma once

// Maps the Windows font names the drawings and dialogs ask for ("宋体", "楷体_GB2312",
// "Tahoma", "Arial") onto fonts a Debian desktop has, so Chinese text never draws as
// boxes and Latin text keeps its proportions. Call once after the application object.
void InstallFontSubstitutions();
