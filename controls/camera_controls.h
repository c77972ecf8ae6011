#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

#include "controls/head_pose.h"
#include "tracking/shared_head.h"
#include "tracking/switches.h"

namespace velmora {

// The nine camera controls the host queries by name, each answered by a handler named like the
// control it answers, from the head pose and the switches.
//
// Host's thread only. The pose changes only at Bind and when "Camera_YawLeft" is queried: that
// query refreshes it from the filters through SharedHead, the only lock any query takes, so the
// other eight answer from the same reading. They read the switches, which a test-mode reload may
// rewrite meanwhile, without the lock. A query allocates nothing.
class CameraControls {
public:
    CameraControls(const SharedHead& head, const Switches& switches);
    ~CameraControls();
    CameraControls(const CameraControls&) = delete;
    CameraControls& operator=(const CameraControls&) = delete;

    // What Start does: the pose back to the centre, and nine fresh handlers bound to the nine
    // names, replacing (and releasing) an earlier Start's. Before the first Bind nothing answers.
    void Bind();
    // True when a value was written through `value`. False, writing nothing, while the switches
    // say disabled, for a name that is not bound (matched exactly, case included), or when the
    // control has no value for this pose.
    bool Query(std::string_view name, float* value);

    class ControlFunction {
    public:
        virtual ~ControlFunction() = default;
        // True when a value was written through `value`.
        virtual bool Evaluate(CameraControls& controls, float* value) const = 0;
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

private:
    // Looks names up without building a string: queries run on the game's frame path.
    struct NameHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view name) const {
            return std::hash<std::string_view>{}(name);
        }
    };
    using ControlTable = std::unordered_map<std::string, std::unique_ptr<ControlFunction>, NameHash,
                                            std::equal_to<>>;

    void RefreshPose();
    bool Allows(keys::Direction direction) const { return switches_.Allows(direction); }

    const SharedHead& head_;
    const Switches& switches_;
    HeadPose pose_;
    ControlTable handlers_;
};

}  // namespace velmora
