#include "core/RecordStorage.h"

#include <stdexcept>

namespace Module1 {

namespace {

RecordStorage* handedStorage = nullptr;

} // namespace

void UseRecordStorage(RecordStorage& storage)
{
    handedStorage = &storage;
}

RecordStorage& CurrentRecordStorage()
{
    if (handedStorage == nullptr) {
        throw std::logic_error("no records storage was handed to the core before it needed the records file");
    }
    return *handedStorage;
}

} // namespace Module1
