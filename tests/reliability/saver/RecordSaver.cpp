// quorvel-record-saver DIR [--forever] VARIANT...: saves the records tables
// named VARIANT (see SaverTables.h) into DIR/qorvl.dat, one after another,
// the way the name entry saves them. With --forever it goes round the list
// until it is killed and writes one byte to stdout after every save, so a
// test can kill it in the middle of one.
//
// Exit status: 0 saved, 3 a save failed (the error report on stderr),
// 2 bad arguments.

#include "app/QtRecordStorage.h"
#include "core/Module1.h"
#include "core/RecordFile.h"
#include "tests/reliability/SaverTables.h"

#include <cstdio>
#include <iostream>
#include <string>
#include <unistd.h>
#include <vector>

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
        std::cerr << "usage: quorvel-record-saver DIR [--forever] VARIANT...\n";
        return 2;
    }
    qtrecords::QtRecordStorage records;
    Module1::UseRecordStorage(records);
    Module1::AppDirOverride = argv[1];
    do {
        for (const std::string& variant : variants) {
            if (!reliability::fillTable(variant)) {
                std::cerr << "quorvel-record-saver: no table called " << variant << "\n";
                return 2;
            }
            try {
                Module1::SaveRecords();
            } catch (const Module1::RecordFileError& error) {
                std::cerr << error.what() << "\n";
                return 3;
            }
            if (forever && write(STDOUT_FILENO, "s", 1) != 1) {
                return 0; // nobody listens any more
            }
        }
    } while (forever);
    return 0;
}
