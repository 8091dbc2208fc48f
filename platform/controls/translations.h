#pragma once
// Qt's own texts (the context menu of a text field: 元に戻す, 切り取り, コピー...) in Japanese,
// like the rest of the user interface, whatever language the system is set to.

#include <QString>

namespace platform {

// The folders searched for Qt's translation qtbase_ja.qm, in order: "translations" beside
// the program (the Windows package ships it there), then Qt's own translations folder
// (Debian's qt6-translations-l10n).
QStringList qtTranslationFolders();
// Loads qtbase_ja.qm from the first folder that has it and installs it in the application;
// false when none has it (the texts then stay English). Call once the application exists.
bool installQtTranslation();

} // namespace platform
