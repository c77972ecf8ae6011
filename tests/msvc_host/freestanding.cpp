// What clang's code expects of a C runtime that this program does without: structure copies and
// clears become calls of memcpy and memset, and any floating point brings a reference to
// _fltused. The loops write through volatile so that they are not turned back into those calls.

using size_t = decltype(sizeof 0);

extern "C" {

int _fltused = 0;

void* memset(void* target, int byte, size_t count) {
    volatile unsigned char* bytes = static_cast<unsigned char*>(target);
    for (size_t i = 0; i < count; ++i) {
        bytes[i] = static_cast<unsigned char>(byte);
    }
    return target;
}

void* memcpy(void* target, const void* source, size_t count) {
    volatile unsigned char* to = static_cast<unsigned char*>(target);
    const unsigned char* from = static_cast<const unsigned char*>(source);
    for (size_t i = 0; i < count; ++i) {
        to[i] = from[i];
    }
    return target;
}
}
