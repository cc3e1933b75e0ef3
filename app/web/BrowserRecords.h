#pragma once

// The records of the game in a web page: the records file in the browser's
// storage, "Export records" and "Import records" in the page's
// #qv-records-tools, and every problem with the storage told in the page.

#include "core/RecordFile.h"
#include "platform/model/Application.h"

#include <functional>
#include <string>

namespace webrecords {

// Hands the core the browser's records storage and the page as the place
// where failed saves are told, and puts the two buttons into the page.
// SHOW_CHANGES is called after an import has changed a window the host
// shows (an open records panel lists the new table). PROGRAM_FAILED tells
// whether the program has stopped on an error: then nothing more is saved,
// as on the desktop. Call once, before Module1::Main.
void InstallBrowserRecords(ui::Application& app, std::function<void()> showChanges,
                           std::function<bool()> programFailed);

// Saves again the records a failed save left in memory, as the desktop does
// when the game ends; the page also does it when it is left or hidden,
// while the browser still lets it write; not while a name entry is open,
// which saves when it closes. Returns what the page says about it: nothing
// when nothing was tried, else that the records are stored now, or why they
// still are not.
std::string SaveWhatIsLeft();

// After every event: a notice about a name entry that has closed goes.
void FollowTheGame();

// What the page says when start-up cannot read the stored table
// (Module1::Main threw ERROR): the reader's words and the way out. A good
// import then replaces the table, and the page starts again.
std::string UnreadableStoredTableMessage(const Module1::RecordFileError& error);

} // namespace webrecords
