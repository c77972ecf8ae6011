#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

#include "config/config_file.h"
#include "plugin/host_interface.h"
#include "tracking/axis_filter.h"
#include "tracking/guarded_lock.h"
#include "tracking/tracker_driver.h"
#include "tracking/worker_thread.h"

namespace velmora {

// The normalised head pose the camera controls read: filter outputs / 32768, yaw negated.
struct HeadPose {
    float yaw = 0.0f;
    float pitch = 0.0f;
    float roll = 0.0f;
};

// The one plug-in object. It owns all run-time state; the host reaches it only through the 28
// slots of its table.
class VelmoraPlugin final : public InternalsPluginV3 {
public:
    VelmoraPlugin();
    ~VelmoraPlugin();
    VelmoraPlugin(const VelmoraPlugin&) = delete;
    VelmoraPlugin& operator=(const VelmoraPlugin&) = delete;

    // Slots 0 to 27, in table order.
    VELMORA_SLOT0_DELETES_HEAP_OBJECT
    void VELMORA_HOSTCALL Release() override;
    PluginObjectInfo* VELMORA_HOSTCALL ObjectInfo() override;
    std::int32_t VELMORA_HOSTCALL Slot3() override;
    std::int32_t VELMORA_HOSTCALL Slot4(std::int32_t) override;
    std::int32_t VELMORA_HOSTCALL Slot5(std::int32_t) override;
    void VELMORA_HOSTCALL Start() override;
    void VELMORA_HOSTCALL Stop() override;
    void VELMORA_HOSTCALL Reset() override;
    void VELMORA_HOSTCALL Slot9() override;
    bool VELMORA_HOSTCALL Slot10() override;
    void VELMORA_HOSTCALL Slot11(std::int32_t) override;
    bool VELMORA_HOSTCALL Slot12() override;
    void VELMORA_HOSTCALL Slot13(std::int32_t) override;
    bool VELMORA_HOSTCALL Slot14() override;
    void VELMORA_HOSTCALL Slot15(float) override;
    void VELMORA_HOSTCALL Enable() override;
    void VELMORA_HOSTCALL Disable() override;
    bool VELMORA_HOSTCALL QueryControl(const char* name, float* value) override;
    bool VELMORA_HOSTCALL Slot19(std::int32_t) override;
    bool VELMORA_HOSTCALL Slot20() override;
    void VELMORA_HOSTCALL Slot21(std::int32_t) override;
    void VELMORA_HOSTCALL Slot22() override;
    void VELMORA_HOSTCALL Slot23() override;
    void VELMORA_HOSTCALL Slot24(std::int32_t) override;
    void VELMORA_HOSTCALL Slot25(std::int32_t) override;
    void VELMORA_HOSTCALL UpdateVehicles(const VehicleListInfo* list) override;
    bool VELMORA_HOSTCALL Slot27(std::int32_t) override;

    // --- Camera controls --------------------------------------------------------------------
    class ControlFunction {
    public:
        virtual ~ControlFunction() = default;
        // True when a value was written through `value`.
        virtual bool Evaluate(VelmoraPlugin& plugin, float* value) const = 0;
    };
    class Camera_YawLeft;
    class Camera_YawRight;
    class Camera_PitchUp;
    class Camera_PitchDown;
    class Camera_RollLeft;
    class Camera_RollRight;
    class Camera_MoveLeft;
    class Camera_MoveRight;
    class Camera_MoveUp;

    // Looks names up without building a string: QueryControl runs on the game's frame path.
    struct NameHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view name) const {
            return std::hash<std::string_view>{}(name);
        }
    };
    using ControlTable = std::unordered_map<std::string, std::unique_ptr<ControlFunction>, NameHash,
                                            std::equal_to<>>;

    // Binds a fresh handler to each of the nine names, replacing earlier bindings.
    void RegisterControls();
    // What Start does before it reads the settings: pose zeroed, every switch on, fresh handlers.
    void PrepareSession();

    // --- Settings ------------------------------------------------------------------------------
    // Reads Velmora.cfg beside the library and applies its switches and both filter profiles.
    void LoadSettings();
    // The same, from a file named by the caller (the tuning tool reads any file).
    void LoadSettingsFrom(const std::string& path);
    // The player drives another vehicle: "General Filter", then the vehicle's own profile, from
    // the file as last loaded.
    void ChangeVehicle(std::string_view name);
    // Applies one profile section (after the sections its "Copy From" chain names).
    void LoadFilterProfile(const std::string& section);
    // One section's own keys, without its "Copy From".
    void ApplyProfileSection(const std::string& section);

    // --- The tracker ---------------------------------------------------------------------------
    // Loads the driver and starts the polling thread; without a driver, no thread.
    void BindDriverAndStartPolling();
    // Ends the polling thread (by force after about a second) and unloads the driver.
    void StopPollingAndUnloadDriver();
    static std::uint32_t PollTracker(void* plugin, ThreadContext& context);
    // One reading into the three filters; the caller holds `lock` once the thread exists.
    void AddReading(std::int32_t yaw, std::int32_t pitch, std::int32_t roll);

    // --- State: every field the two threads share is atomic or guarded by `lock` ---------------
    std::shared_ptr<TrackerDriver> driverHandle;  // written only while no polling thread exists
    std::atomic<bool> enabled{false};
    std::unique_ptr<WorkerThread> workerThread;
    std::atomic<bool> stopRequested{false};
    GuardedLock lock;
    ConfigFile config;           // guarded by lock once the polling thread exists
    std::string currentVehicle;  // likewise
    std::atomic<bool> testMode{false};
    std::atomic<bool> useFiltering{true};
    std::atomic<bool> yawLeftEnabled{false};
    std::atomic<bool> yawRightEnabled{false};
    std::atomic<bool> pitchUpEnabled{false};
    std::atomic<bool> pitchDownEnabled{false};
    std::atomic<bool> rollLeftEnabled{false};
    std::atomic<bool> rollRightEnabled{false};
    ControlTable handlers;
    AxisFilter yawFilter{5, 250, 80.0f, 0};  // guarded by lock, like its two siblings
    AxisFilter pitchFilter{5, 200, 80.0f, 0};
    AxisFilter rollFilter{5, 250, 90.0f, 0};
    HeadPose pose;  // host's thread only
};

}  // namespace velmora
