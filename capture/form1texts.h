#pragma once
// The designed texts of Form1. Every line of the multi-line boxes ends with CR LF.

#include <QString>

namespace capture::texts {

inline const QString kCaption = QStringLiteral("Mirok101");
inline const QString kLabel1 = QStringLiteral("このツールは実行中の画面をファイル化します");
inline const QString kRun = QStringLiteral("実行");
inline const QString kExit = QStringLiteral("終了");
inline const QString kText1 = QStringLiteral("\r\n"
                                             "\u3000Print-Screen    \u3000=> 全画面取り込み\r\n"
                                             "\r\n"
                                             "\u3000Alt + PrintScreen => ｱｸﾃｨﾌﾞ画面のみ\r\n");
inline const QString kPrefix = QStringLiteral("SAVE");
inline const QString kText3 = QStringLiteral("ファイル名を変える時\r\n は右の欄に入力する\r\n");
inline const QString kText4 =
    QStringLiteral("\r\n 終了は必ず右の\r\n ボタンで終わっ\r\n て ください。\r\n");
inline const QString kText5 = QStringLiteral(" お休みボタン");
inline const QString kResting = QStringLiteral("おやすみ中");
inline const QString kWorking = QStringLiteral("お仕事中");
inline const QString kSwitchOn = QStringLiteral("ON");
inline const QString kSwitchOff = QStringLiteral("OFF");
// Shown from the start where the display gives no clipboard watch (no X11).
inline const QString kCannotWatch =
    QStringLiteral("クリップボードを監視できません (X11 に接続していません)");

} // namespace capture::texts
