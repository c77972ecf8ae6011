// Reads the summaries of the velmora-host runs that ctest made before this test (fixture
// host_runs) against the real plug-in and the simulated driver.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

namespace {

const char* const kNine[] = {"Camera_YawLeft",   "Camera_YawRight",  "Camera_PitchUp",
                             "Camera_PitchDown", "Camera_RollLeft",  "Camera_RollRight",
                             "Camera_MoveLeft",  "Camera_MoveRight", "Camera_MoveUp"};
const char* const kUndriven[] = {"Camera_Zoom", "Throttle", "camera_yawleft"};

std::string RunDirectory() {
    const char* directory = std::getenv("VELMORA_HOST_RUNS");
    return directory != nullptr ? std::string(directory) + "/" : "";
}

class Summary {
public:
    explicit Summary(const std::string& run) {
        std::ifstream file(RunDirectory() + run + ".summary");
        std::string line;
        while (std::getline(file, line)) {
            const auto equals = line.find(" = ");
            if (line.rfind("summary.", 0) == 0 && equals != std::string::npos) {
                values_[line.substr(8, equals - 8)] = line.substr(equals + 3);
            }
        }
    }
    bool Loaded() const { return !values_.empty(); }
    std::string Text(const std::string& key) const {
        const auto found = values_.find(key);
        return found != values_.end() ? found->second : "(missing " + key + ")";
    }
    double Number(const std::string& key) const { return std::strtod(Text(key).c_str(), nullptr); }
    // One word of "queries Q answered A min X max Y".
    std::string Control(const std::string& control, const std::string& field) const {
        std::istringstream words(Text("control." + control));
        std::string name;
        std::string value;
        while (words >> name >> value) {
            if (name == field) {
                return value;
            }
        }
        return "(no " + field + " for " + control + ")";
    }
    long long Answered(const std::string& control) const {
        return std::atoll(Control(control, "answered").c_str());
    }
    double Max(const std::string& control) const {
        return std::strtod(Control(control, "max").c_str(), nullptr);
    }

private:
    std::map<std::string, std::string> values_;
};

Summary Load(const std::string& run) {
    Summary summary(run);
    EXPECT_TRUE(summary.Loaded()) << "no summary of run " << run << " in " << RunDirectory();
    return summary;
}

// The plug-in's rules that hold in every run, whatever the motion.
void ExpectHostContractKept(const Summary& run) {
    EXPECT_GT(run.Number("frames"), 0);
    EXPECT_EQ(run.Text("written_without_answer"), "0");
    EXPECT_EQ(run.Text("nonfinite_answers"), "0");
    EXPECT_EQ(run.Text("answered_while_disabled"), "0");
    for (const char* name : kUndriven) {
        EXPECT_EQ(run.Answered(name), 0) << name;
    }
}

TEST(HostRun, SyntheticMotionTurnsLeftFirstAndMoveUpIsAlwaysAnswered) {
    const Summary run = Load("synthetic");
    ExpectHostContractKept(run);
    EXPECT_GT(run.Answered("Camera_YawLeft"), 0);
    EXPECT_GT(run.Answered("Camera_MoveUp"), 0);
    EXPECT_GE(std::strtod(run.Control("Camera_MoveUp", "min").c_str(), nullptr), 0.5);
    EXPECT_EQ(run.Text("last_vehicle"), "Touring Blue");
    EXPECT_GE(run.Number("vehicle_updates"), 2);
}

TEST(HostRun, ReleaseLeavesTheDriverClosedWithNoCallInProgress) {
    const Summary run = Load("synthetic");
    EXPECT_EQ(run.Text("ended_with"), "Release");
    EXPECT_EQ(run.Text("tracker"), "closed");
    EXPECT_EQ(run.Text("driver.is_open"), "0");
    EXPECT_EQ(run.Text("driver.calls_in_progress"), "0");
    EXPECT_GE(run.Number("driver.closes"), 1);
    EXPECT_GT(run.Number("driver.reads"), 0);
    // One Reset in the run: the plug-in re-zeroes the tracker once.
    EXPECT_EQ(run.Text("driver.zero_sets"), "1");
}

TEST(HostRun, CsvHoldsOneRowPerFrameWithTheVehicleAndNineAnswers) {
    const Summary run = Load("synthetic");
    std::ifstream csv(RunDirectory() + "synthetic.csv");
    std::string line;
    ASSERT_TRUE(std::getline(csv, line));
    EXPECT_EQ(line.rfind("time_s,vehicle,Camera_YawLeft,", 0), 0u) << line;
    long long rows = 0;
    bool sawTouring = false;
    while (std::getline(csv, line)) {
        ++rows;
        EXPECT_EQ(std::count(line.begin(), line.end(), ','), 10) << line;
        sawTouring = sawTouring || line.find(",Touring Blue,") != std::string::npos;
    }
    EXPECT_EQ(rows, static_cast<long long>(run.Number("frames")));
    EXPECT_TRUE(sawTouring);
}

TEST(HostRun, HeadVisitingEveryDirectionAnswersAllNineControls) {
    const Summary run = Load("all_directions");
    ExpectHostContractKept(run);
    for (const char* name : kNine) {
        EXPECT_GT(run.Answered(name), 0) << name;
    }
}

TEST(HostRun, OnlyThePlayersCarProfileTurnsTheLeftRollOff) {
    // The field's first cars are rivals; the player's "No Roll Left" is third.
    const Summary run = Load("no_roll_left");
    ExpectHostContractKept(run);
    EXPECT_EQ(run.Answered("Camera_RollLeft"), 0);
    EXPECT_EQ(run.Answered("Camera_MoveLeft"), 0);
    EXPECT_GT(run.Answered("Camera_RollRight"), 0);
    EXPECT_GT(run.Answered("Camera_MoveRight"), 0);
}

TEST(HostRun, YawControlsFollowTheSignOfTheRawYaw) {
    // Raw yaw positive is the head turned left; 8000 raw is 8000/32768 of the yaw gain 4.2.
    const double value = 8000.0 / 32768.0 * 4.2;
    const struct {
        const char* run;
        const char* answered;
        const char* silent;
    } cases[] = {{"still_left", "Camera_YawLeft", "Camera_YawRight"},
                 {"still_right", "Camera_YawRight", "Camera_YawLeft"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.run);
        const Summary run = Load(c.run);
        ExpectHostContractKept(run);
        EXPECT_GT(run.Answered(c.answered), 0);
        EXPECT_EQ(run.Answered(c.silent), 0);
        EXPECT_NEAR(run.Max(c.answered), value, 1e-3);
        for (const char* still : {"Camera_PitchUp", "Camera_PitchDown", "Camera_RollLeft",
                                  "Camera_RollRight", "Camera_MoveLeft", "Camera_MoveRight"}) {
            EXPECT_EQ(run.Answered(still), 0) << still;
        }
        EXPECT_EQ(run.Control("Camera_MoveUp", "max"), "0.5");
    }
}

TEST(HostRun, WithoutADriverOnlyMoveUpAnswersWithItsRestingValue) {
    const Summary run = Load("no_driver");
    ExpectHostContractKept(run);
    EXPECT_EQ(run.Text("tracker"), "missing");
    EXPECT_EQ(run.Answered("Camera_MoveUp"), static_cast<long long>(run.Number("frames")));
    EXPECT_EQ(run.Control("Camera_MoveUp", "min"), "0.5");
    EXPECT_EQ(run.Control("Camera_MoveUp", "max"), "0.5");
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(run.Answered(kNine[i]), 0) << kNine[i];
    }
}

}  // namespace
