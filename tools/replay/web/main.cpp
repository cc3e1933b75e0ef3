// quorvel-replay SCRIPT [OUTDIR] built without a host: the same commands,
// dumps, messages and exit statuses as the native driver, reading and
// writing real files, but its snaps write the dumps only.

#include "tools/replay/Driver.h"

#include <iostream>

int main(int argc, char** argv)
{
    const auto invocation = replay::readCommandLine(argc, argv, std::cout, std::cerr);
    if (const int* status = std::get_if<int>(&invocation)) {
        return *status;
    }
    replay::NoPictures painter(std::cerr);
    return replay::playScript(std::get<replay::Invocation>(invocation), painter, std::cerr);
}
