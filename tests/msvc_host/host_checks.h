#pragma once

#include "game_interface.h"
#include "report.h"
#include "simulated_tracker.h"

// The four exports, by name and by ordinal, and their answers; the descriptor, or null when the
// exports are missing.
PluginObjectInfo* CheckExports(CheckTally& tally, void* library);
void CheckDescriptor(CheckTally& tally, PluginObjectInfo* info);
// Every slot of one object through its life, then several objects in turn.
void CheckObjects(CheckTally& tally, PluginObjectInfo* info, const SimulatedTracker& tracker);
// Stop with the polling thread stuck in a driver read that never returns.
void CheckHungDriver(CheckTally& tally, PluginObjectInfo* info, const SimulatedTracker& tracker);

// The game's downcast: a descriptor of interface version 3 makes InternalsPluginV3 objects.
inline InternalsPluginV3* CreateObject(PluginObjectInfo* info) {
    return static_cast<InternalsPluginV3*>(info->CreateInstance());
}
