// A stand-in for the game: built for Microsoft's i686 C++ ABI with no runtime at all, it loads the
// real Velmora.dll and drives it through the exports and the two tables, declared as the game
// declares them. It runs in a directory that holds Velmora.dll with the repository's Velmora.cfg
// (whose "Formula Red" has no roll) and the simulated driver in driver\IWEARDRV.DLL, where only
// the host's load by path lets the plug-in find it.

#include "game_interface.h"

// The kernel32 functions the host calls (kernel32.def names them for the import library), and
// the C runtime's _fltused, which any floating point makes clang reference.
extern "C" {
__declspec(dllimport) void* __stdcall LoadLibraryA(const char* path);
__declspec(dllimport) void* __stdcall GetProcAddress(void* module, const char* nameOrOrdinal);
__declspec(dllimport) void* __stdcall GetStdHandle(unsigned long which);
__declspec(dllimport) int __stdcall WriteFile(void*, const void*, unsigned long, unsigned long*,
                                              void*);
__declspec(dllimport) unsigned long __stdcall GetTickCount();
__declspec(dllimport) void __stdcall Sleep(unsigned long milliseconds);
[[noreturn]] __declspec(dllimport) void __stdcall ExitProcess(unsigned exitCode);
int _fltused = 0;
}

namespace {

bool SameText(const char* a, const char* b) {
    for (; *a == *b; ++a, ++b) {
        if (*a == '\0') {
            return true;
        }
    }
    return false;
}

class Line {
public:
    Line() {}  // leaves the text uncleared: clearing it would call memset
    Line& operator<<(const char* text) {
        while (text != nullptr && *text != '\0' && length_ < sizeof text_) {
            text_[length_++] = *text++;
        }
        return *this;
    }
    Line& operator<<(int number) {
        const char digit[2] = {static_cast<char>('0' + number % 10), '\0'};
        return number < 0 ? *this << "-" << -number
                          : (number >= 10 ? *this << number / 10 : *this) << digit;
    }
    // Seven decimals tell neighbouring floats apart at the controls' sizes. The fraction is
    // printed after a 1 that keeps its leading zeros, and the point takes that 1's place.
    Line& operator<<(float number) {
        const float magnitude = number < 0 ? -number : number;  // up to 200, a clamp past it
        const auto scaled = static_cast<int>((magnitude < 200 ? magnitude : 200) * 1e7 + 0.5);
        *this << (number < 0 ? "-" : "") << scaled / 10000000 << scaled % 10000000 + 10000000;
        text_[length_ - 8] = '.';
        return *this;
    }
    void Print(const char* prefix) const {
        unsigned long written = 0;
        void* out = GetStdHandle(static_cast<unsigned long>(-11));
        WriteFile(out, prefix, 5, &written, nullptr);
        WriteFile(out, text_, length_, &written, nullptr);
        WriteFile(out, "\n", 1, &written, nullptr);
    }

private:
    char text_[256];
    unsigned length_ = 0;
};

int g_counts[2];  // failed, passed

bool Expect(bool passed, const Line& line) {
    line.Print(passed ? "ok   " : "FAIL ");
    ++g_counts[passed];
    return passed;
}

// A call and its answer, a number or a text; a condition answers 1 when it holds.
struct Answer {
    const char* call;
    int got;
    int expected;
    const char* gotText = nullptr;
    const char* expectedText = nullptr;
};

template <int N>
void ExpectAnswers(const Answer (&answers)[N]) {
    for (const Answer& a : answers) {
        Expect(a.expectedText ? SameText(a.gotText, a.expectedText) : a.got == a.expected,
               a.expectedText ? Line() << a.call << " = \"" << a.gotText << "\""
                              : Line() << a.call << ": " << a.got);
    }
}

template <class Condition>
bool WaitFor(Condition condition, unsigned long milliseconds) {
    const unsigned long start = GetTickCount();
    while (!condition() && GetTickCount() - start < milliseconds) {
        Sleep(20);
    }
    return condition();
}

// The stack pointer as the caller has it. Read before and after a run of calls from one function,
// it is the same only when every callee removed exactly the arguments it was given (thiscall).
[[gnu::noinline]] unsigned StackPointer() {
    unsigned pointer;
    asm volatile("movl %%esp, %0" : "=r"(pointer));
    return pointer;
}

// The simulated driver's test API: it holds the head still at a pose (raw units, 65536 a full
// turn, positive yaw to the left) and counts what it was asked.
struct TrackerCounters {
    int opens, failedOpens, reads, failedReads, closes, zeroSets, callsInProgress, hungReads,
        queuedReadings, isOpen;
};
void (*HoldPose)(int yaw, int pitch, int roll);
void (*GetCounters)(TrackerCounters*);

TrackerCounters Counters() {
    static TrackerCounters counters;
    GetCounters(&counters);
    return counters;
}

// The nine controls in the game's order, "Camera_YawLeft" first since it refreshes the pose the
// others read, then a name the plug-in does not drive, differing only in case.
constexpr const char* kControls[10] = {"Camera_YawLeft",   "Camera_YawRight",  "Camera_PitchUp",
                                       "Camera_PitchDown", "Camera_RollLeft",  "Camera_RollRight",
                                       "Camera_MoveLeft",  "Camera_MoveRight", "Camera_MoveUp",
                                       "camera_yawleft"};
// A query that answers false gives the host's value before it, untouched, or -8 when the plug-in
// wrote into it all the same. The tables give -7 for a control that must not answer.
constexpr float kNo = -7.0f;
using Answers = float[10];
// The head held at yaw 16384 (a quarter turn left), pitch -8192 (down), roll 16384 (tilted right),
// worked by hand: 0.5 * 4.2f, 0.25 * 7.5, 0.5 * 4, 4 sin(0.2 pi), 0.5 + 2 sin(0.1 pi).
constexpr Answers kHeadTurned = {2.0999999046325684f, kNo,        kNo, 1.875f, kNo, 2.0f, kNo,
                                 2.3511410f,          1.1180340f, kNo};
constexpr Answers kTurnedNoRoll = {
    2.0999999046325684f, kNo, kNo, 1.875f, kNo, kNo, kNo, kNo, 0.5f, kNo};
constexpr Answers kHeadAtZero = {kNo, kNo, kNo, kNo, kNo, kNo, kNo, kNo, 0.5f, kNo};
constexpr Answers kSilent = {kNo, kNo, kNo, kNo, kNo, kNo, kNo, kNo, kNo, kNo};

bool Matches(int control, float expected, float got) {
    // The eye point's moves go through the plug-in's own sine; the other answers are exact.
    const float tolerance = control >= 6 && expected != kNo ? 1e-5f : 0.0f;
    return got >= expected - tolerance && got <= expected + tolerance;
}

// Queries until the answers are `expected` (the filters take a moment to settle on a new pose)
// or 10 s have passed, then reports each.
void CheckControls(InternalsPluginV3* object, const Answers& expected, const char* situation) {
    float got[10];
    WaitFor(
        [&] {
            bool all = true;
            for (int i = 0; i < 10; ++i) {
                float value = kNo;
                const bool answered = object->QueryControl(kControls[i], &value);
                got[i] = answered || value == kNo ? value : -8.0f;
                all = Matches(i, expected[i], got[i]) && all;
            }
            return all;
        },
        10000);
    for (int i = 0; i < 10; ++i) {
        Expect(Matches(i, expected[i], got[i]), Line()
                                                    << situation << ": " << kControls[i] << " "
                                                    << got[i] << " (want " << expected[i] << ")");
    }
}

// The exports by name and by ordinal, and what they and the descriptor answer; the descriptor.
PluginObjectInfo* CheckExportsAndDescriptor(void* library) {
    constexpr const char* kExports[] = {"GetPluginName", "GetPluginObjectCount",
                                        "GetPluginObjectInfo", "GetPluginVersion"};
    void* entries[4];
    for (unsigned i = 0; i < 4; ++i) {
        entries[i] = GetProcAddress(library, reinterpret_cast<const char*>(i + 1));
        if (!Expect(entries[i] && GetProcAddress(library, kExports[i]) == entries[i],
                    Line() << kExports[i] << " is ordinal " << static_cast<int>(i) + 1)) {
            return nullptr;
        }
    }
    Expect(!GetProcAddress(library, reinterpret_cast<const char*>(5)), Line() << "no ordinal 5");
    // Plain C functions: cdecl, the caller removes the argument.
    const auto getInfo = reinterpret_cast<PluginObjectInfo* (*)(unsigned)>(entries[2]);
    PluginObjectInfo* info = getInfo(0);
    if (info == nullptr) {
        return nullptr;
    }
    const char* longName = info->LongName();
    const Answer answers[] = {
        {"GetPluginName()", 0, 0, reinterpret_cast<const char* (*)()>(entries[0])(),
         "Velmora Plugin - 2008.5.11"},
        {"GetPluginObjectCount()", reinterpret_cast<int (*)()>(entries[1])(), 1},
        {"GetPluginVersion()", reinterpret_cast<int (*)()>(entries[3])(), 1},
        {"descriptor slot 1 ShortName()", 0, 0, info->ShortName(), "HeadTracker"},
        {"descriptor slot 2 LongName()", 0, 0, longName,
         "Velmora Plugin - 2008.5.11 - HeadTracker"},
        {"descriptor slot 2 LongName() again: the same pointer", info->LongName() == longName,
         true},
        {"descriptor slot 3 Description()", 0, 0, info->Description(),
         "Plugin for using the head tracking ability of the Vuzix VR920 HMD"},
        {"descriptor slot 4 TypeCode()", info->TypeCode(), 9},
        {"descriptor slot 5 SubtypeName()", 0, 0, info->SubtypeName(), "Internals"},
        {"descriptor slot 6 InterfaceVersion()", info->InterfaceVersion(), 3},
    };
    ExpectAnswers(answers);
    return info;
}

// The game's list of three vehicles, "Touring Blue", `name`, "Touring Blue", those from `player` on
// marked as the player's: the plug-in must take the first marked one. It reads the count at 88 and
// the 428-byte records at 488 of the list, the mark at 148 and the name at 152 of a record.
void UpdateVehicles(InternalsPluginV3* object, int count, int player, const char* name) {
    static unsigned char list[556];
    static unsigned char records[3][428];
    const char* const names[3] = {"Touring Blue", name, "Touring Blue"};
    for (int i = 0; i < 3; ++i) {
        for (int c = 0; c == 0 || names[i][c - 1] != '\0'; ++c) {
            records[i][152 + c] = static_cast<unsigned char>(names[i][c]);
        }
        records[i][148] = i >= player ? 1 : 0;
    }
    *reinterpret_cast<int*>(list + 88) = count;
    *reinterpret_cast<void**>(list + 488) = records;
    object->UpdateVehicles(reinterpret_cast<const VehicleListInfo*>(list));
}

// Every slot with a fixed answer, called with arguments as the game would, between two readings
// of the stack pointer; with them the slots with the most arguments, a query and a vehicle list.
void CheckFixedAnswers(InternalsPluginV3* object, PluginObjectInfo* info) {
    static unsigned char noVehicles[556];  // a count of 0
    float value = kNo;
    const unsigned stackBefore = StackPointer();
    const Answer answers[] = {
        {"slot 2 ObjectInfo() is the descriptor", object->ObjectInfo() == info, true},
        {"slot 3 Slot3()", object->Slot3(), 0},
        {"slot 4 Slot4(12345)", object->Slot4(12345), 0},
        {"slot 5 Slot5(-1)", object->Slot5(-1), 0},
        {"slot 10 Slot10()", object->Slot10(), false},
        {"slot 12 Slot12()", object->Slot12(), false},
        {"slot 14 Slot14()", object->Slot14(), true},
        {"slot 18 QueryControl(\"Camera_Zoom\") answers or writes",
         object->QueryControl("Camera_Zoom", &value) || value != kNo, false},
        {"slot 19 Slot19(1)", object->Slot19(1), false},
        {"slot 20 Slot20()", object->Slot20(), true},
        {"slot 27 Slot27(6)", object->Slot27(6), false},
    };
    object->Slot9();
    object->Slot11(7);
    object->Slot13(-7);
    object->Slot15(1.5f);
    object->Slot21(3);
    object->Slot22();
    object->Slot23();
    object->Slot24(4);
    object->Slot25(5);
    object->UpdateVehicles(reinterpret_cast<const VehicleListInfo*>(noVehicles));
    const int stackMoved = static_cast<int>(StackPointer() - stackBefore);
    ExpectAnswers(answers);
    Expect(stackMoved == 0, Line() << "slots 2 to 5, 9 to 15 and 18 to 27 removed their own "
                                      "arguments: the stack moved by "
                                   << stackMoved);
}

// Stop or Release with the thread reading: quick, and the tracker closed on the thread's way out.
void CheckStop(InternalsPluginV3* object, bool release) {
    const TrackerCounters before = Counters();
    WaitFor([&] { return Counters().reads >= before.reads + 3; }, 5000);  // the tracker is open
    const unsigned long start = GetTickCount();
    release ? object->Release() : object->Stop();
    const int elapsed = static_cast<int>(GetTickCount() - start);
    const TrackerCounters after = Counters();
    Expect(elapsed < 900 && after.isOpen == 0 && after.closes == before.closes + 1,
           Line() << (release ? "Release()" : "Stop()") << " returned after " << elapsed
                  << " ms and closed the tracker " << after.closes - before.closes << " time(s)");
}

// Deletes through slot 0, MSVC's deleting destructor with flags 1: the DLL destroys and frees.
void Delete(InternalsPluginV3* object, const char* what) {
    const unsigned stackBefore = StackPointer();
    delete object;
    Expect(StackPointer() == stackBefore, Line() << what << " deleted through slot 0");
}

// Objects as the game drives them: one through its whole life, then another with filters of its
// own that settle from nothing.
void CheckObjects(PluginObjectInfo* info) {
    // Interface version 3: the objects are InternalsPluginV3.
    auto* object = static_cast<InternalsPluginV3*>(info->CreateInstance());
    auto* next = static_cast<InternalsPluginV3*>(info->CreateInstance());
    if (!Expect(object && next && object != next, Line() << "slot 7 CreateInstance() twice")) {
        return;
    }
    HoldPose(0, 0, 0);
    object->Start();
    CheckControls(object, kHeadAtZero, "started, head still at zero");
    CheckFixedAnswers(object, info);
    HoldPose(16384, -8192, 16384);
    CheckControls(object, kHeadTurned, "head turned left, down, tilted right");
    UpdateVehicles(object, 3, 1, "Formula Red");
    CheckControls(object, kTurnedNoRoll, "player \"Formula Red\", second of three (third marked)");
    UpdateVehicles(object, 3, 2, "Formula Red");
    CheckControls(object, kHeadTurned, "player \"Touring Blue\", third of three");
    const int zeroSets = Counters().zeroSets;
    object->Reset();
    Expect(Counters().zeroSets == zeroSets + 1, Line() << "Reset() re-zeroed the tracker");
    CheckControls(object, kHeadTurned, "after Reset()");
    object->Disable();
    CheckControls(object, kSilent, "disabled");
    object->Enable();
    CheckControls(object, kHeadTurned, "enabled again");
    CheckStop(object, false);
    CheckControls(object, kSilent, "stopped");
    object->Enable();
    CheckControls(object, kHeadTurned, "stopped, then enabled: the filters kept");
    object->Start();
    CheckControls(object, kHeadTurned, "started again");
    CheckStop(object, true);
    CheckControls(object, kSilent, "released");
    Delete(object, "the first object");
    next->Start();
    CheckControls(next, kHeadTurned, "a second object");
    CheckStop(next, false);
    Delete(next, "the second object");
    Delete(static_cast<InternalsPluginV3*>(info->CreateInstance()), "an object never started");
}

void Run() {
    void* driver = LoadLibraryA(".\\driver\\IWEARDRV.DLL");
    void* library = LoadLibraryA(".\\Velmora.dll");
    if (driver != nullptr) {
        HoldPose =
            reinterpret_cast<decltype(HoldPose)>(GetProcAddress(driver, "SimTrackerSetPose"));
        GetCounters = reinterpret_cast<decltype(GetCounters)>(
            GetProcAddress(driver, "SimTrackerGetCounters"));
    }
    PluginObjectInfo* info = nullptr;
    if (!Expect(HoldPose && GetCounters && library != nullptr,
                Line() << "simulated driver\\IWEARDRV.DLL and Velmora.dll loaded") ||
        (info = CheckExportsAndDescriptor(library)) == nullptr) {
        return;
    }
    CheckObjects(info);
}

}  // namespace

extern "C" [[noreturn]] void HostEntry() {
    Run();
    (Line() << g_counts[1] << " passed, " << g_counts[0] << " failed").Print("msvc ");
    ExitProcess(g_counts[0] == 0 && g_counts[1] > 0 ? 0 : 1);
}
