#include "app/ThisCopy.h"

#ifndef QUORVEL_INSTALLED_COPY
#error "build ThisCopy.cpp with QUORVEL_INSTALLED_COPY set to 0 or 1"
#endif

namespace game {

const qtrecords::QtRecordStorage::Copy kThisCopy =
    QUORVEL_INSTALLED_COPY ? qtrecords::QtRecordStorage::Copy::Installed : qtrecords::QtRecordStorage::Copy::Portable;

} // namespace game
