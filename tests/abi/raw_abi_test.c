/* The host's view of the plug-in in plain C, with no project header, on every build: load the
   library, call the four exports, then every slot of the descriptor and of an object that gives a
   fixed answer, purely by its position in the table and with the signature the host uses. */

#include <stdbool.h>
#include <stdint.h>
#include <stdio.h>
#include <string.h>

#include "host_os.h"

/* ISO C has no cast between data and function pointers; the bytes are the same on every target
   the host runs on. */
typedef void (*AnyFn)(void);
static AnyFn Slot(void* object, int index) {
    AnyFn function;
    memcpy(&function, &(*(void***)object)[index], sizeof function);
    return function;
}

enum Kind { kText, kInt, kIntArg, kBool, kBoolArg, kVoid, kVoidArg, kVoidFloat };
typedef struct {
    int32_t slot, kind, answer; /* a text: 1 when it is kDescriptorTexts[slot] */
} FixedSlot;

static const char* const kDescriptorTexts[] = {
    NULL,
    "HeadTracker",
    "Velmora Plugin - 2008.5.11 - HeadTracker",
    "Plugin for using the head tracking ability of the Vuzix VR920 HMD",
    NULL,
    "Internals"};
static const FixedSlot kDescriptorSlots[] = {{1, kText, 1}, {2, kText, 1}, {3, kText, 1},
                                             {4, kInt, 9},  {5, kText, 1}, {6, kInt, 3}};
static const FixedSlot kObjectSlots[] = {
    {3, kInt, 0},      {4, kIntArg, 0},   {5, kIntArg, 0},   {9, kVoid, 0},  {10, kBool, 0},
    {11, kVoidArg, 0}, {12, kBool, 0},    {13, kVoidArg, 0}, {14, kBool, 1}, {15, kVoidFloat, 0},
    {19, kBoolArg, 0}, {20, kBool, 1},    {21, kVoidArg, 0}, {22, kVoid, 0}, {23, kVoid, 0},
    {24, kVoidArg, 0}, {25, kVoidArg, 0}, {27, kBoolArg, 0},
};

/* A slot is a member function of the game's MSVC build. Called from outside a class it is a
   plain function taking the object first; on i686 Windows it is also thiscall (the object in ECX,
   the callee pops the other arguments), which SLOT_CALL, defined by the build for the target,
   says. GCC remarks that thiscall is meant for member functions, yet applies it all the same. */
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wattributes"
static int CheckSlots(void* object, const FixedSlot* slots, size_t count) {
    int failed = 0;
    for (const FixedSlot* s = slots; s < slots + count; ++s) {
        AnyFn f = Slot(object, s->slot);
        int32_t got = s->kind == kText     ? strcmp(((const char*(SLOT_CALL*)(void*))f)(object),
                                                    kDescriptorTexts[s->slot]) == 0
                      : s->kind == kInt    ? ((int32_t(SLOT_CALL*)(void*))f)(object)
                      : s->kind == kIntArg ? ((int32_t(SLOT_CALL*)(void*, int32_t))f)(object, 12345)
                      : s->kind == kBool   ? ((bool(SLOT_CALL*)(void*))f)(object)
                      : s->kind == kBoolArg ? ((bool(SLOT_CALL*)(void*, int32_t))f)(object, 6)
                      : s->kind == kVoid    ? (((void(SLOT_CALL*)(void*))f)(object), 0)
                      : s->kind == kVoidArg
                          ? (((void(SLOT_CALL*)(void*, int32_t))f)(object, 7), 0)
                          : (((void(SLOT_CALL*)(void*, float))f)(object, 1.5f), 0);
        if (got != s->answer) {
            fprintf(stderr, "slot %d answers %d, not %d\n", s->slot, got, s->answer);
            ++failed;
        }
    }
    return failed;
}

int main(void) {
    char path[1024] = "";
    if (HostProgramDirectory(path, sizeof path)) {
        strncat(path, HostPluginFileName(), sizeof path - strlen(path) - 1);
    }
    void* library = HostLoadLibrary(path);
    void* exports[4] = {NULL};
    const char* names[4] = {"GetPluginName", "GetPluginObjectCount", "GetPluginObjectInfo",
                            "GetPluginVersion"};
    for (int i = 0; library && i < 4; ++i) {
        exports[i] = HostFindSymbol(library, names[i]);
    }
    /* The exports are plain functions everywhere. */
    void* (*info)(uint32_t) = (void* (*)(uint32_t))(uintptr_t)exports[2];
    void* descriptor = info ? info(0) : NULL;
    if (!exports[0] || !exports[1] || !exports[3] || !descriptor || info(1) || info(0xffffffffu) ||
        strcmp(((const char* (*)(void))(uintptr_t)exports[0])(), "Velmora Plugin - 2008.5.11") ||
        ((int32_t(*)(void))(uintptr_t)exports[1])() != 1 ||
        ((int32_t(*)(void))(uintptr_t)exports[3])() != 1) {
        fprintf(stderr, "%s: the exports are missing or give the wrong answers\n", path);
        return 1;
    }
    int failed = CheckSlots(descriptor, kDescriptorSlots,
                            sizeof kDescriptorSlots / sizeof *kDescriptorSlots);
    void* object = ((void*(SLOT_CALL*)(void*))Slot(descriptor, 7))(descriptor);
    failed += ((void*(SLOT_CALL*)(void*))Slot(object, 2))(object) != descriptor;
    failed += CheckSlots(object, kObjectSlots, sizeof kObjectSlots / sizeof *kObjectSlots);
    ((void*(SLOT_CALL*)(void*, uint32_t))Slot(object, 0))(object, 1); /* delete */
    HostFreeLibrary(library);
    printf("%d checks failed\n", failed);
    return failed == 0 ? 0 : 1;
}
#pragma GCC diagnostic pop
