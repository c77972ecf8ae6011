#include <pthread.h>

#include <new>

#include "platform/platform.h"

namespace velmora::platform {
namespace {

static_assert(sizeof(pthread_mutex_t) <= 64 && alignof(pthread_mutex_t) <= 8);

pthread_mutex_t* Mutex(unsigned char* storage) {
    return std::launder(reinterpret_cast<pthread_mutex_t*>(storage));
}

}  // namespace

CriticalSection::CriticalSection() {
    auto* mutex = new (storage_) pthread_mutex_t;
    pthread_mutex_init(mutex, nullptr);
}

CriticalSection::~CriticalSection() {
    pthread_mutex_destroy(Mutex(storage_));
}

void CriticalSection::Enter() {
    pthread_mutex_lock(Mutex(storage_));
}

void CriticalSection::Leave() {
    pthread_mutex_unlock(Mutex(storage_));
}

}  // namespace velmora::platform
