// The global new and delete of the test executable, counting the bytes held (the allocator's
// usable size of each block, taken alike when it is made and when it goes).
#include "allocationcount.h"
#include "fixtures/heapcounting.h"

#include <atomic>
#include <cstdlib>
#include <malloc.h>
#include <new>

namespace {

std::atomic<long long> held{0};
std::atomic<long long> most{0};
std::atomic<long long> mark{0};

} // namespace

#ifndef QUARVEL_NO_HEAP_COUNT
namespace {

void* Allocate(std::size_t size) {
    void* block = std::malloc(size ? size : 1);
    if (block == nullptr)
        throw std::bad_alloc();
    const auto bytes = static_cast<long long>(malloc_usable_size(block));
    const long long now = held.fetch_add(bytes) + bytes;
    long long top = most.load();
    while (now > top && !most.compare_exchange_weak(top, now)) {
    }
    return block;
}

void Free(void* block) noexcept {
    if (block == nullptr)
        return;
    held.fetch_sub(static_cast<long long>(malloc_usable_size(block)));
    std::free(block);
}

} // namespace

void* operator new(std::size_t size) {
    return Allocate(size);
}
void* operator new[](std::size_t size) {
    return Allocate(size);
}
void operator delete(void* block) noexcept {
    Free(block);
}
void operator delete[](void* block) noexcept {
    Free(block);
}
void operator delete(void* block, std::size_t) noexcept {
    Free(block);
}
void operator delete[](void* block, std::size_t) noexcept {
    Free(block);
}
#endif

namespace qv::test {

bool CanCountHeldBytes() {
#ifdef QUARVEL_NO_HEAP_COUNT
    return false;
#else
    return true;
#endif
}

void MarkHeldBytes() {
    mark = held.load();
    most = mark.load();
}

long long MostHeldSinceMark() {
    return most.load() - mark.load();
}

} // namespace qv::test
