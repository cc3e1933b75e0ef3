#pragma once

// "Export records" and "Import records": the records file carried out of
// the browser's storage and into it, as the very bytes the desktop game
// keeps in qorvl.dat.

#include "core/RecordStorage.h"

#include <string>
#include <string_view>

namespace webrecords {

struct ExportedFile {
    std::string bytes;
    std::string note; // why the table in memory was taken, when it was
};

// The file a save would leave: the stored table, which holds what other
// tabs saved since this one started; the table in memory when nothing is
// stored yet, when the storage cannot be read, or when this run holds
// records its storage refused. Those are first saved once more, unless a
// name entry is open: a save would move its new record under it. A stored
// table the reader refuses is exported as it is stored, with the reason.
ExportedFile exportRecords(Module1::RecordStorage& storage, const std::string& path, bool nameEntryOpen);

struct ImportOutcome {
    bool replaced = false; // the table in memory is the imported one
    std::string message;   // for the page: why it was refused, or how it went
};

// Reads BYTES (the chosen file FILE_NAME) with the records file's reader.
// A file it refuses replaces nothing, and neither does any file while a
// name entry is open: its new record is saved when it closes, into the
// table as it stood. Otherwise the table becomes ranks 0..9 of every zone
// in memory and is stored at PATH; when the storage refuses it, the game
// goes on with it in memory and the message says why.
ImportOutcome importRecords(Module1::RecordStorage& storage, const std::string& path, std::string_view fileName,
                            std::string_view bytes, bool nameEntryOpen);

} // namespace webrecords
