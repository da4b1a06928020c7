#pragma once
// Qt's own texts (file dialogs, message-box buttons, the print dialog and print
// preview) in the UI's language, Simplified Chinese.

class QCoreApplication;
class QTranslator;

// Loads Qt's "qtbase_zh_CN" translation from Qt's translations folder and installs it
// in `app`, which owns it. Call it before the first window is made. Returns the
// translator, or nullptr when the translation is not installed (Debian's
// qt6-translations-l10n): Qt's dialogs then stay in English and nothing else changes.
QTranslator* InstallQtTranslations(QCoreApplication& app);
