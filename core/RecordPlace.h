#pragma once

// Where the records file lives. A portable copy of the program in a folder
// the player can write (a build tree, an unpacked archive) keeps it beside
// the executable; one whose folder only the system may write keeps it in the
// player's own data folder for the game. An installed copy (the Debian
// package's) always keeps it in the player's data folder, even when its
// player may write the program's folder (root).

#include <string>

namespace Module1 {

struct RecordPlace {
    std::string savePath;     // the file every save replaces
    std::string startPath;    // the table start-up reads, when this file exists
    std::string folderToMake; // made before a save when missing; empty beside the executable
};

// The rule, from its inputs: the executable's directory, whether the player
// may write it, and the player's data folder. Beside a read-only program, a
// table shipped with it is the start until the player's folder has a file.
// Asks the records storage whether those files exist.
RecordPlace ChooseRecordPlace(const std::string& programDir, bool programDirWritable, const std::string& dataDir);

// The place of an installed copy: only the player's own file, read and
// saved. A file beside the installed program is never read: the package
// ships none, so one found there was left by something else (an older
// version run by root), and must not become every new player's table.
RecordPlace InstalledRecordPlace(const std::string& dataDir);

} // namespace Module1
