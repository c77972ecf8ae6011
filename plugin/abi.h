#pragma once

// The two compiler details of the host boundary. The host is a 32-bit Windows game built with
// Microsoft's compiler; everything here makes our tables and calls look like MSVC's.

// Every slot is called with the member-function convention of 32-bit MSVC: `this` in ECX, the
// callee pops its arguments. GCC uses it by default for i686 member functions; say so anyway.
#if defined(_WIN32) && (defined(__i386__) || defined(_M_IX86))
#define VELMORA_HOSTCALL __thiscall
#else
#define VELMORA_HOSTCALL
#endif

// Slot 0 is MSVC's one "deleting destructor" entry: it takes a flags word (bit 0: free the
// memory) and returns the object. GCC and Clang would give a virtual destructor two table entries
// and shift every later slot, so on them slot 0 is declared explicitly and the classes keep a
// protected non-virtual destructor: no one deletes them through a base pointer.
#if defined(_MSC_VER)
#define VELMORA_SLOT0_DESTRUCTOR(Class) \
public:                                 \
    virtual ~Class() {}
#else
#define VELMORA_SLOT0_DESTRUCTOR(Class)                                    \
public:                                                                    \
    virtual void* VELMORA_HOSTCALL DeletingDestructor(unsigned flags) = 0; \
                                                                           \
protected:                                                                 \
    ~Class() = default;                                                    \
                                                                           \
public:
#endif

// The tracker driver, by the bare file name the system's loader searches for: the vendor's
// IWEARDRV.DLL on Windows, a library of the same role under the usual name elsewhere.
#if defined(_WIN32)
#define VELMORA_DRIVER_LIBRARY "IWEARDRV.DLL"
#else
#define VELMORA_DRIVER_LIBRARY "libiweardrv.so"
#endif

// The four exports: plain C names; the .def file gives the Windows link their ordinals.
#if defined(_WIN32)
#define VELMORA_EXPORT extern "C" __declspec(dllexport)
#else
#define VELMORA_EXPORT extern "C" __attribute__((visibility("default")))
#endif

// Slot 0 of a concrete class on GCC and Clang: MSVC's deleting destructor for an object on the
// heap; for a static object, which the host never deletes, nothing at all.
#if defined(_MSC_VER)
#define VELMORA_SLOT0_DELETES_HEAP_OBJECT
#define VELMORA_SLOT0_STATIC_OBJECT
#else
#define VELMORA_SLOT0_STATIC_OBJECT                                \
    void* VELMORA_HOSTCALL DeletingDestructor(unsigned) override { \
        return this;                                               \
    }
#define VELMORA_SLOT0_DELETES_HEAP_OBJECT                                \
    void* VELMORA_HOSTCALL DeletingDestructor(unsigned flags) override { \
        return ::velmora::DestroyThroughSlot0(this, flags);              \
    }
#endif

namespace velmora {

template <class Object>
void* DestroyThroughSlot0(Object* object, unsigned flags) {
    if ((flags & 1u) != 0) {
        delete object;
    } else {
        object->~Object();
    }
    return object;
}

}  // namespace velmora
