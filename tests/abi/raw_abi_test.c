/* The host's view of the plug-in, in C and with no project header: load the library by path,
   call the four exports, then call the descriptor's and the object's operations purely by their
   position in the table, with the signatures the host uses. */

#include <stdbool.h>
#include <stdint.h>
#include <stdio.h>
#include <string.h>

#include "host_os.h"

static int passed;
static int failed;

#define CHECK(condition)                                                                  \
    do {                                                                                  \
        if (condition) {                                                                  \
            ++passed;                                                                     \
        } else {                                                                          \
            ++failed;                                                                     \
            fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
        }                                                                                 \
    } while (0)

typedef void** Table;
typedef void (*AnyFn)(void);

/* ISO C has no cast between data and function pointers; the bytes are the same on every target
   the host runs on. */
static AnyFn AsFunction(void* address) {
    AnyFn function;
    memcpy(&function, &address, sizeof function);
    return function;
}

static AnyFn Slot(void* object, int index) {
    return AsFunction((*(Table*)object)[index]);
}

/* A slot is a member function of the game's MSVC build. Called from outside a class it is a
   plain function taking the object first; on i686 Windows it is also thiscall: the object in ECX,
   the callee pops the other arguments. A plain call there leaves ECX unset and the stack
   unbalanced. The four exports are plain functions everywhere. GCC remarks that thiscall is meant
   for member functions, yet applies it to a plain function type all the same. SLOT_CALL is that
   convention, as the build names it for the target. */
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wattributes"
typedef const char*(SLOT_CALL* TextFn)(void*);
typedef int32_t(SLOT_CALL* IntFn)(void*);
typedef int32_t(SLOT_CALL* IntArgFn)(void*, int32_t);
typedef void*(SLOT_CALL* PointerFn)(void*);
typedef void*(SLOT_CALL* DeleteFn)(void*, uint32_t);
typedef void(SLOT_CALL* VoidFn)(void*);
typedef void(SLOT_CALL* VoidArgFn)(void*, int32_t);
typedef void(SLOT_CALL* VoidFloatFn)(void*, float);
typedef bool(SLOT_CALL* BoolFn)(void*);
typedef bool(SLOT_CALL* BoolArgFn)(void*, int32_t);
typedef bool(SLOT_CALL* QueryFn)(void*, const char*, float*);
typedef void(SLOT_CALL* VehiclesFn)(void*, const void*);
#pragma GCC diagnostic pop

enum {
    kStart = 6,
    kStop = 7,
    kReset = 8,
    kEnable = 16,
    kDisable = 17,
    kQuery = 18,
    kVehicles = 26
};

static const char* const kControls[] = {"Camera_YawLeft",   "Camera_YawRight",  "Camera_PitchUp",
                                        "Camera_PitchDown", "Camera_RollLeft",  "Camera_RollRight",
                                        "Camera_MoveLeft",  "Camera_MoveRight", "Camera_MoveUp"};

static bool Query(void* object, const char* name, float* value) {
    return ((QueryFn)Slot(object, kQuery))(object, name, value);
}

static void Call(void* object, int slot) {
    ((VoidFn)Slot(object, slot))(object);
}

static void Delete(void* object) {
    ((DeleteFn)Slot(object, 0))(object, 1);
}

static void CheckDescriptor(void* info, void* (*getInfo)(uint32_t)) {
    CHECK(strcmp(((TextFn)Slot(info, 1))(info), "HeadTracker") == 0);
    const char* longName = ((TextFn)Slot(info, 2))(info);
    CHECK(strcmp(longName, "Velmora Plugin - 2008.5.11 - HeadTracker") == 0);
    CHECK(((TextFn)Slot(info, 2))(info) == longName);
    CHECK(strcmp(((TextFn)Slot(info, 3))(info),
                 "Plugin for using the head tracking ability of the Vuzix VR920 HMD") == 0);
    CHECK(((IntFn)Slot(info, 4))(info) == 9);
    CHECK(strcmp(((TextFn)Slot(info, 5))(info), "Internals") == 0);
    CHECK(((IntFn)Slot(info, 6))(info) == 3);
    CHECK(getInfo(0) == info);
    CHECK(getInfo(1) == NULL);
    CHECK(getInfo(4294967295u) == NULL);
    CHECK(getInfo(0x80000000u) == NULL);
}

/* Every slot that gives a fixed answer, called with the argument the host passes. */
static void CheckFixedSlots(void* object, void* info) {
    CHECK(((PointerFn)Slot(object, 2))(object) == info);
    CHECK(((IntFn)Slot(object, 3))(object) == 0);
    CHECK(((IntArgFn)Slot(object, 4))(object, 12345) == 0);
    CHECK(((IntArgFn)Slot(object, 5))(object, -1) == 0);
    ((VoidFn)Slot(object, 9))(object);
    CHECK(((BoolFn)Slot(object, 10))(object) == false);
    ((VoidArgFn)Slot(object, 11))(object, 7);
    CHECK(((BoolFn)Slot(object, 12))(object) == false);
    ((VoidArgFn)Slot(object, 13))(object, 7);
    CHECK(((BoolFn)Slot(object, 14))(object) == true);
    ((VoidFloatFn)Slot(object, 15))(object, 1.5f);
    CHECK(((BoolArgFn)Slot(object, 19))(object, 1) == false);
    CHECK(((BoolFn)Slot(object, 20))(object) == true);
    ((VoidArgFn)Slot(object, 21))(object, 3);
    ((VoidFn)Slot(object, 22))(object);
    ((VoidFn)Slot(object, 23))(object);
    ((VoidArgFn)Slot(object, 24))(object, 4);
    ((VoidArgFn)Slot(object, 25))(object, 5);
    CHECK(((BoolArgFn)Slot(object, 27))(object, 6) == false);
}

/* A vehicle list laid out as the host lays it out; only the fields the plug-in reads are set. */
static void UpdateVehicles(void* object, int32_t count, const char* playerName) {
    static unsigned char list[512];
    static unsigned char entries[3][428];
    memset(list, 0, sizeof list);
    memset(entries, 0, sizeof entries);
    void* first = entries;
    memcpy(list + 88, &count, sizeof count);
    memcpy(list + 488, &first, sizeof first);
    strcpy((char*)entries[0] + 152, "Someone Else");
    strcpy((char*)entries[2] + 152, playerName);
    entries[2][148] = 1;
    ((VehiclesFn)Slot(object, kVehicles))(object, list);
}

static void CheckLifeCycle(void* object) {
    float value = -1.0f;
    /* Never started: nothing answers, nothing is written. */
    CHECK(!Query(object, "Camera_MoveUp", &value) && value == -1.0f);
    ((VoidFn)Slot(object, 1))(object); /* Release on a never-started object */

    Call(object, kStart);
    CHECK(Query(object, "Camera_MoveUp", &value) && value >= 0.5f);
    for (int i = 0; i < 9; ++i) {
        float answer = -1.0f;
        bool answered = Query(object, kControls[i], &answer);
        CHECK(answered ? answer >= 0.0f : answer == -1.0f);
    }
    value = -1.0f;
    CHECK(!Query(object, "camera_yawleft", &value) && value == -1.0f);
    CHECK(!Query(object, "Camera_Zoom", &value) && value == -1.0f);

    UpdateVehicles(object, 0, "Ignored");
    UpdateVehicles(object, -1, "Ignored");
    UpdateVehicles(object, 3, "Formula Red");
    Call(object, kReset);

    Call(object, kDisable);
    CHECK(!Query(object, "Camera_MoveUp", &value) && value == -1.0f);
    Call(object, kEnable);
    CHECK(Query(object, "Camera_MoveUp", &value) && value >= 0.5f);

    Call(object, kStop);
    value = -1.0f;
    CHECK(!Query(object, "Camera_MoveUp", &value) && value == -1.0f);
    Call(object, kStop);
    Call(object, kEnable);
    CHECK(Query(object, "Camera_MoveUp", &value) && value >= 0.5f);
    Call(object, kStart); /* a restart binds the handlers afresh */
    CHECK(Query(object, "Camera_MoveUp", &value) && value >= 0.5f);
    ((VoidFn)Slot(object, 1))(object); /* Release does what Stop does */
    CHECK(!Query(object, "Camera_MoveUp", &value));
}

int main(int argc, char** argv) {
    char path[1024];
    if (argc > 1) {
        snprintf(path, sizeof path, "%s", argv[1]);
    } else if (HostProgramDirectory(path, sizeof path)) {
        strncat(path, HostPluginFileName(), sizeof path - strlen(path) - 1);
    } else {
        fprintf(stderr, "cannot find the program's directory\n");
        return 2;
    }
    void* library = HostLoadLibrary(path);
    if (library == NULL) {
        fprintf(stderr, "cannot load %s\n", path);
        return 2;
    }
    const char* (*getName)(void) =
        (const char* (*)(void))AsFunction(HostFindSymbol(library, "GetPluginName"));
    int32_t (*getVersion)(void) =
        (int32_t(*)(void))AsFunction(HostFindSymbol(library, "GetPluginVersion"));
    int32_t (*getCount)(void) =
        (int32_t(*)(void))AsFunction(HostFindSymbol(library, "GetPluginObjectCount"));
    void* (*getInfo)(uint32_t) =
        (void* (*)(uint32_t))AsFunction(HostFindSymbol(library, "GetPluginObjectInfo"));
    CHECK(getName && getVersion && getCount && getInfo);
    if (!(getName && getVersion && getCount && getInfo)) {
        return 1;
    }
    CHECK(strcmp(getName(), "Velmora Plugin - 2008.5.11") == 0);
    CHECK(getName() == getName());
    CHECK(getVersion() == 1);
    CHECK(getCount() == 1);

    void* info = getInfo(0);
    CHECK(info != NULL);
    CheckDescriptor(info, getInfo);

    PointerFn create = (PointerFn)Slot(info, 7);
    void* first = create(info);
    void* second = create(info);
    CHECK(first != NULL && second != NULL && first != second);

    CheckFixedSlots(first, info);
    CheckLifeCycle(first);
    Delete(first);

    /* Deleting an object the host forgot to stop ends its polling thread first. */
    Call(second, kStart);
    Delete(second);

    HostFreeLibrary(library);
    printf("%d passed, %d failed\n", passed, failed);
    return failed == 0 ? 0 : 1;
}
