#pragma once

// `quorvel --watch PLAYFILE`: the play shown again in a real window, at
// real speed. Space pauses and resumes, Escape or the close box ends it;
// nothing else the player types reaches the replayed stage. A play that
// does not verify is not shown: its reason goes to stderr.

#include <QString>

namespace watchmode {

// The exit status: 0 once the window was closed, 1 for a play refused,
// 2 for a file that cannot be read.
int watch(const QString& playFile);

} // namespace watchmode
