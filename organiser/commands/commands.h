#pragma once
// The main window's commands: file changes, clipboard copies and memos. Each takes the
// organiser and works on the selected cell, as the window's handlers call them.

#include "platform/result.h"

#include <QString>

namespace tarvo {

class Organiser;

// CNcommand "ﾌｧｲﾙ名変更": applies the selected cell's typed name as a rename. A refused
// rename is told on the memo window's caption, with its reason, and the field shows the
// file's name again; the text told is returned (empty when nothing was refused).
QString CNcommand_Click(Organiser& org);
// Renames old to the typed new name, keeping old's extension; moves the memo along. The
// reason when nothing was renamed.
platform::Result RenameImageFile(Organiser& org, const QString& oldName, QString& newName);
// DelFcommand "削 除": deletes the selected picture and its memo and empties the cell.
void DelFcommand_Click(Organiser& org);
// The copy to the destination (after the selection of a double-click).
void CopyToDestination(Organiser& org);
// ItemCopy(k): 0 puts the picture on the clipboard, 1 its full path. False when there was
// a picture to copy and it could not be put there (no picture in the cell, or the
// clipboard held by another program); the caller tells the user with ReportNotCopied.
bool ItemCopy_Click(Organiser& org, int k);
// Adds a note that the picture was not copied to the memo window's caption.
void ReportNotCopied(Organiser& org);
// Loads the memo of the selected cell into the memo window.
void LoadMemo(Organiser& org);
// Writes the pending memo edit to its memo and marks the caption; the edit stays pending
// when the memo cannot be written, with the reason returned.
platform::Result SaveMemo(Organiser& org);
// Tells which memo could not be saved and why; its text stays in the memo window. leaving
// says that a selection waits on it and goes on when the user selects again.
void ReportMemoNotSaved(Organiser& org, const platform::Result& why, bool leaving);
// TSave "メモ保存": SaveMemo, telling the user when it fails.
void TSave_Click(Organiser& org);
// The memo text double-click: copies the memo text to the clipboard.
void CopyMemoText(Organiser& org);

} // namespace tarvo
