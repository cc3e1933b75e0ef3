#pragma once

// Which copy of the game this executable is. ThisCopy.cpp is compiled twice:
// into `quorvel`, a portable copy that keeps its records beside itself when
// it may write there, and into the program of the Debian package, which
// always keeps them in the player's data folder.

#include "app/QtRecordStorage.h"

namespace game {

extern const qtrecords::QtRecordStorage::Copy kThisCopy;

} // namespace game
