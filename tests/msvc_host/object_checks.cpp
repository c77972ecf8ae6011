#include "control_answers.h"
#include "host_checks.h"
#include "kernel32.h"
#include "text.h"
#include "wait_for.h"

namespace {

// The stack pointer as the caller had it. Read before and after a run of calls from one function,
// it is the same only when every callee removed exactly the arguments it was given (thiscall).
[[gnu::noinline]] unsigned StackPointer() {
    unsigned pointer;
    asm volatile("movl %%esp, %0" : "=r"(pointer));
    return pointer;
}

// Every slot with a fixed answer, called with arguments as the game would.
void CheckFixedAnswers(CheckTally& tally, InternalsPluginV3* object, PluginObjectInfo* info) {
    struct Answer {
        const char* call;
        int got;
        int expected;
    };
    const unsigned stackBefore = StackPointer();
    const Answer answers[] = {
        {"slot 3 Slot3()", object->Slot3(), 0},
        {"slot 4 Slot4(12345)", object->Slot4(12345), 0},
        {"slot 5 Slot5(-1)", object->Slot5(-1), 0},
        {"slot 10 Slot10()", object->Slot10(), false},
        {"slot 12 Slot12()", object->Slot12(), false},
        {"slot 14 Slot14()", object->Slot14(), true},
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
    const bool ownDescriptor = object->ObjectInfo() == info;
    const unsigned stackAfter = StackPointer();

    tally.Expect(ownDescriptor, Line() << "slot 2 ObjectInfo() is the descriptor");
    for (const Answer& answer : answers) {
        tally.Expect(answer.got == answer.expected, Line() << answer.call << " = " << answer.got);
    }
    tally.Expect(stackBefore == stackAfter,
                 Line() << "slots 2 to 5, 9 to 15, 19 to 25 and 27 each removed their own "
                           "arguments (stack pointer "
                        << Hex{stackBefore} << " before, " << Hex{stackAfter} << " after)");
}

// The game's list of three records, "Touring Blue", `name`, "Touring Blue", of which those from
// index `player` on are marked as the player's: the plug-in must take the first marked one.
void UpdateVehicles(InternalsPluginV3* object, int count, int player, const char* name) {
    static VehicleEntry entries[3];
    static VehicleListInfo list;
    const char* const names[3] = {"Touring Blue", name, "Touring Blue"};
    for (int i = 0; i < 3; ++i) {
        entries[i] = VehicleEntry{};
        CopyText(entries[i].vehicleName, sizeof entries[i].vehicleName, names[i]);
        entries[i].isPlayer = i >= player ? 1 : 0;
    }
    list = VehicleListInfo{};
    list.vehicleCount = count;
    list.vehicles = entries;
    object->UpdateVehicles(&list);
}

// The repository's Velmora.cfg, copied beside the DLL, switches roll off in "Formula Red".
void CheckVehicles(CheckTally& tally, InternalsPluginV3* object) {
    UpdateVehicles(object, 0, 1, "Formula Red");
    UpdateVehicles(object, -1, 1, "Formula Red");
    CheckControls(tally, object, kHeadTurned, "vehicle count 0, then -1: nothing changes");
    UpdateVehicles(object, 3, 1, "Formula Red");
    CheckControls(tally, object, kHeadTurnedRollOff,
                  "player \"Formula Red\", second of three records (the third marked too)");
    UpdateVehicles(object, 3, 2, "Formula Red");
    CheckControls(tally, object, kHeadTurned, "player \"Touring Blue\", third of three records");
}

bool TrackerClosed(const SimulatedTracker& tracker, const TrackerCounters& before) {
    const TrackerCounters now = tracker.Counters();
    return now.isOpen == 0 && now.closes == before.closes + 1;
}

void CheckStop(CheckTally& tally, InternalsPluginV3* object, const SimulatedTracker& tracker,
               bool release) {
    // Once the thread has read, the tracker is open and its way out must close it.
    const int reads = tracker.Counters().reads;
    tally.Expect(WaitFor([&] { return tracker.Counters().reads >= reads + 3; }, 5000),
                 Line() << "the polling thread is reading");
    const TrackerCounters before = tracker.Counters();
    const unsigned long start = GetTickCount();
    if (release) {
        object->Release();
    } else {
        object->Stop();
    }
    const int elapsed = static_cast<int>(GetTickCount() - start);
    // A polling thread that answers its stop request ends within a cycle; a forced end comes
    // only after about a second.
    tally.Expect(elapsed < 900, Line() << (release ? "Release()" : "Stop()") << " returned after "
                                       << elapsed << " ms");
    tally.Expect(TrackerClosed(tracker, before),
                 Line() << "the polling thread closed the tracker on its way out");
}

// One object through its whole life, as the game drives it.
void CheckLifeCycle(CheckTally& tally, InternalsPluginV3* object, PluginObjectInfo* info,
                    const SimulatedTracker& tracker) {
    tracker.HoldPose(0, 0, 0);
    object->Start();
    CheckControls(tally, object, kHeadAtZero, "started, head still at zero");
    CheckUnknownControls(tally, object);
    CheckFixedAnswers(tally, object, info);

    tracker.HoldPose(kTurnedYaw, kTurnedPitch, kTurnedRoll);
    CheckControls(tally, object, kHeadTurned, "head turned left, down, tilted right");
    CheckVehicles(tally, object);

    const int zeroSets = tracker.Counters().zeroSets;
    object->Reset();
    tally.Expect(tracker.Counters().zeroSets == zeroSets + 1,
                 Line() << "Reset() re-zeroed the tracker once");
    CheckControls(tally, object, kHeadTurned, "after Reset()");

    object->Disable();
    CheckControls(tally, object, kNoAnswer, "disabled");
    object->Enable();
    CheckControls(tally, object, kHeadTurned, "enabled again");

    CheckStop(tally, object, tracker, false);
    CheckControls(tally, object, kNoAnswer, "stopped");
    object->Enable();
    CheckControls(tally, object, kHeadTurned, "stopped, then enabled: the filters kept");

    object->Start();
    CheckControls(tally, object, kHeadTurned, "started again");
    CheckStop(tally, object, tracker, true);
    CheckControls(tally, object, kNoAnswer, "released");
}

}  // namespace

void CheckObjects(CheckTally& tally, PluginObjectInfo* info, const SimulatedTracker& tracker) {
    InternalsPluginV3* object = CreateObject(info);
    InternalsPluginV3* next = CreateObject(info);
    tally.Expect(object != nullptr && next != nullptr && object != next,
                 Line() << "descriptor slot 7 CreateInstance() twice: two objects");
    if (object == nullptr || next == nullptr) {
        return;
    }
    CheckLifeCycle(tally, object, info, tracker);
    delete object;  // slot 0 with flags 1: the DLL destroys and frees it
    tally.Note(Line() << "first object deleted through its virtual destructor (slot 0)");

    // Several objects in turn, each with filters of its own that settle from nothing.
    static const char* const kRounds[] = {"second object", "third object", "fourth object"};
    for (const char* round : kRounds) {
        object = next;
        next = CreateObject(info);
        object->Start();
        CheckControls(tally, object, kHeadTurned, round);
        CheckStop(tally, object, tracker, false);
        delete object;
        tally.Note(Line() << round << " deleted");
    }
    delete next;  // a game may create an object and drop it unused
    tally.Note(Line() << "an object never started deleted");
}

void CheckHungDriver(CheckTally& tally, PluginObjectInfo* info, const SimulatedTracker& tracker) {
    InternalsPluginV3* object = CreateObject(info);
    tracker.HoldPose(kTurnedYaw, kTurnedPitch, kTurnedRoll);
    object->Start();
    CheckControls(tally, object, kHeadTurned, "running");
    tracker.HangNextRead();
    const bool stuck = WaitFor([&] { return tracker.Counters().hungReads > 0; }, 5000);
    if (!tally.Expect(stuck, Line() << "the polling thread is stuck in a driver read")) {
        return;
    }
    const TrackerCounters before = tracker.Counters();
    const unsigned long start = GetTickCount();
    object->Stop();
    const int elapsed = static_cast<int>(GetTickCount() - start);
    // At most 100 waits of 10 ms, then the forced end: about a second, never much less.
    tally.Expect(elapsed >= 900 && elapsed < 5000,
                 Line() << "Stop() returned after " << elapsed
                        << " ms: the stuck thread was ended by force");
    CheckControls(tally, object, kNoAnswer, "stopped");
    delete object;
    Sleep(300);
    const TrackerCounters after = tracker.Counters();
    tally.Expect(
        after.opens == before.opens && after.reads == before.reads && after.closes == before.closes,
        Line() << "after the forced end the driver is called no more (reads " << after.reads
               << ", closes " << after.closes << ")");
}
