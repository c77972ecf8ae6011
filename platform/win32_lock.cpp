#include <windows.h>

#include <new>

#include "platform/platform.h"

namespace velmora::platform {
namespace {

static_assert(sizeof(CRITICAL_SECTION) <= 64 && alignof(CRITICAL_SECTION) <= 8);

CRITICAL_SECTION* Section(unsigned char* storage) {
    return std::launder(reinterpret_cast<CRITICAL_SECTION*>(storage));
}

}  // namespace

CriticalSection::CriticalSection() {
    InitializeCriticalSection(new (storage_) CRITICAL_SECTION);
}

CriticalSection::~CriticalSection() {
    DeleteCriticalSection(Section(storage_));
}

void CriticalSection::Enter() {
    EnterCriticalSection(Section(storage_));
}

void CriticalSection::Leave() {
    LeaveCriticalSection(Section(storage_));
}

}  // namespace velmora::platform
