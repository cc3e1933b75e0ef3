// quorvel-replay SCRIPT [OUTDIR] built without a host: the same commands,
// dumps, messages and exit statuses as the native driver, reading and
// writing real files, but its snaps write the dumps only; `verify PLAYFILE`
// checks a play as the native driver does.

#include "tools/replay/Driver.h"

#include <iostream>

int main(int argc, char** argv)
{
    const auto invocation = replay::readCommandLine(argc, argv, std::cout, std::cerr);
    replay::NoPictures painter(std::cerr);
    return replay::runInvocation(invocation, painter, std::cout, std::cerr);
}
