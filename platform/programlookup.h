#pragma once
// Where the Windows program names the organiser starts by ("CLIPBRD.EXE", "MSPAINT.EXE",
// "mirok101.exe") are found on a platform that has no such programs: a table of stand-ins
// searched in the starting program's own folder, the current directory, then PATH.

#include "programs.h"

#include <QString>
#include <QStringList>

namespace platform {

// Our own programs accept this argument: their window opens without taking the focus.
inline constexpr char kNoFocusArgument[] = "--no-focus";

// Whether the program of this Windows name is one of ours, which take kNoFocusArgument.
bool takesNoFocusArgument(const QString& windowsName);

// The stand-in program names for a Windows name, in order of preference. The Windows
// name is matched without regard to case; an unknown "x.exe" stands for "x".
QStringList programCandidates(const QString& windowsName);

// The folders searched, in order: the running program's folder, the current directory,
// then each folder of PATH. Duplicates are dropped.
QStringList programSearchFolders();

// Every path tried for windowsName: each candidate in every folder, candidates in order of
// preference.
QStringList programSearchPaths(const QString& windowsName);

// The first executable file among programSearchPaths, or an empty string.
QString resolveProgram(const QString& windowsName);

// Starts the resolved program detached, in the current directory, so that it outlives
// the caller. Error::NotFound when nothing is found, Error::Io when it cannot be started.
Result startProgram(const QString& windowsName, WindowStyle style);

// The paint-program message for platforms where Paint is one of the stand-ins to install.
QString installPaintMessage();

} // namespace platform
