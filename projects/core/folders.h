// Where the program keeps what it writes, relative to its own folder (the
// current directory from the start on): its settings, the project list with
// its lock and backup, the batch files of starts, and the project shortcuts.
#pragma once

// The language, and the editor the user chose when none was registered.
inline constexpr char kSettingsFile[] = "Language.ini";
inline constexpr char kDataFolder[] = "Data";
inline constexpr char kProjectFile[] = "Data\\Projects.twp";
inline constexpr char kProjectBackup[] = "Data\\Projects.twp.bak";
// Every change of the project file holds this lock, in whichever copy of
// the program makes it: a change reads the file and writes it anew, and two
// changes at once would lose one of them.
inline constexpr char kProjectLock[] = "Data\\Projects.lock";
inline constexpr char kShortcutFolder[] = "Projects";
