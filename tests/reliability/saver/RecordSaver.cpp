// quorvel-record-saver DIR [--forever] VARIANT...: saves the records tables
// named VARIANT (see SaverTables.h) into DIR/qorvl.dat, one after another,
// the way the name entry saves them. With --forever it goes round the list
// until it is killed and writes one byte to stdout after every save, so a
// test can kill it in the middle of one.
//
// quorvel-record-saver DIR --enter ZONE:SCORE:NAME...: a copy of the game
// that reads DIR/qorvl.dat at its start (the default table when there is
// none) and writes "r"; then, for each entry, waits for one byte on stdin,
// ranks the score and saves as the name entry does, and writes "s".
//
// Exit status: 0 saved, 3 a save failed (the error report on stderr),
// 2 bad arguments.

#include "app/QtRecordStorage.h"
#include "core/Module1.h"
#include "core/RecordFile.h"
#include "tests/reliability/SaverTables.h"

#include <cstdio>
#include <iostream>
#include <optional>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kSaveFailed = 3;
constexpr int kBadArguments = 2;

std::optional<Module1::EnteredRecord> parseEntry(const std::string& text)
{
    const auto first = text.find(':');
    const auto second = text.find(':', first + 1);
    if (first == std::string::npos || second == std::string::npos) {
        return std::nullopt;
    }
    try {
        const int zone = std::stoi(text.substr(0, first));
        if (zone < 0 || zone >= Module1::kZones) {
            return std::nullopt;
        }
        return Module1::EnteredRecord{zone, std::stoi(text.substr(first + 1, second - first - 1)),
                                      text.substr(second + 1)};
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

bool tell(const char* what)
{
    return write(STDOUT_FILENO, what, 1) == 1;
}

// Plays the part of the game: start-up, then one name entry per entry.
int enterRecords(const std::vector<std::string>& entries)
{
    std::vector<Module1::EnteredRecord> parsed;
    for (const std::string& text : entries) {
        const auto entry = parseEntry(text);
        if (!entry) {
            std::cerr << "quorvel-record-saver: not ZONE:SCORE:NAME: " << text << "\n";
            return kBadArguments;
        }
        parsed.push_back(*entry);
    }
    if (Module1::CurrentRecordStorage().isPlainFile(Module1::RecordFilePath())) {
        Module1::LoadRecords();
    } else {
        Module1::FillDefaultRecords();
    }
    tell("r");
    for (const auto& entry : parsed) {
        char go = 0;
        if (read(STDIN_FILENO, &go, 1) != 1) {
            return 0;
        }
        Module1::RecordTable table = Module1::SharedRecordTable();
        const int rank = Module1::bubbleIn(table, entry);
        Module1::SetSharedRecordTable(table);
        Module1::SaveEnteredRecord(entry.zone, rank);
        if (Module1::HasUnsavedRecords()) {
            return kSaveFailed;
        }
        tell("s");
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> variants;
    bool forever = false;
    for (int i = 2; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--forever") {
            forever = true;
        } else {
            variants.push_back(arg);
        }
    }
    if (argc < 3 || variants.empty()) {
        std::cerr << "usage: quorvel-record-saver DIR [--forever] VARIANT... | DIR --enter ZONE:SCORE:NAME...\n";
        return kBadArguments;
    }
    qtrecords::QtRecordStorage records;
    Module1::UseRecordStorage(records);
    Module1::AppDirOverride = argv[1];
    if (variants.front() == "--enter") {
        return enterRecords({variants.begin() + 1, variants.end()});
    }
    do {
        for (const std::string& variant : variants) {
            if (!reliability::fillTable(variant)) {
                std::cerr << "quorvel-record-saver: no table called " << variant << "\n";
                return kBadArguments;
            }
            try {
                Module1::SaveRecords();
            } catch (const Module1::RecordFileError& error) {
                std::cerr << error.what() << "\n";
                return kSaveFailed;
            }
            if (forever && write(STDOUT_FILENO, "s", 1) != 1) {
                return 0; // nobody listens any more
            }
        }
    } while (forever);
    return 0;
}
