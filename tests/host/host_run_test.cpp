// Reads the summaries of the velmora-host runs that ctest made before this test (fixture
// host_runs) against the real plug-in and the simulated driver.

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <string>

#include "controls/control_names.h"

namespace {

const char* const kUndriven[] = {"Camera_Zoom", "Throttle", "camera_yawleft"};

std::string RunDirectory() {
    const char* directory = std::getenv("VELMORA_HOST_RUNS");
    return directory != nullptr ? std::string(directory) + "/" : "";
}

// The summary's lines "summary.KEY = VALUE"; a control's value is "queries Q answered A min X
// max Y".
class Summary {
public:
    explicit Summary(const std::string& run) {
        std::ifstream file(RunDirectory() + run + ".summary");
        std::string line;
        while (std::getline(file, line)) {
            const auto equals = line.find(" = ");
            if (line.starts_with("summary.") && equals != std::string::npos) {
                values_[line.substr(8, equals - 8)] = line.substr(equals + 3);
            }
        }
        EXPECT_FALSE(values_.empty()) << "no summary of run " << run << " in " << RunDirectory();
    }
    std::string Text(const std::string& key) const {
        const auto found = values_.find(key);
        return found != values_.end() ? found->second : "(missing " + key + ")";
    }
    double Control(const std::string& control, const std::string& field) const {
        const std::string value = Text("control." + control);
        const auto at = value.find(" " + field + " ");
        return at == std::string::npos ? -1.0 : std::strtod(&value[at + field.size() + 2], nullptr);
    }
    double Answered(const std::string& control) const { return Control(control, "answered"); }

private:
    std::map<std::string, std::string> values_;
};

// The plug-in's rules that hold in every run, whatever the motion.
void ExpectHostContractKept(const Summary& run) {
    EXPECT_GT(std::atoi(run.Text("frames").c_str()), 0);
    EXPECT_EQ(run.Text("written_without_answer"), "0");
    EXPECT_EQ(run.Text("nonfinite_answers"), "0");
    EXPECT_EQ(run.Text("answered_while_disabled"), "0");
    for (const char* name : kUndriven) {
        EXPECT_EQ(run.Answered(name), 0) << name;
    }
}

TEST(HostRun, ASessionWithCarsResetAndReleaseKeepsTheContractAndClosesTheDriver) {
    const Summary run("synthetic");
    ExpectHostContractKept(run);
    EXPECT_GT(run.Answered("Camera_YawLeft"), 0);
    EXPECT_GE(run.Control("Camera_MoveUp", "min"), 0.5);
    EXPECT_EQ(run.Text("last_vehicle"), "\"Touring Blue \"");  // exact, the space shown
    EXPECT_EQ(run.Text("ended_with"), "Release");
    EXPECT_EQ(run.Text("driver.is_open"), "0");
    EXPECT_EQ(run.Text("driver.calls_in_progress"), "0");
    EXPECT_EQ(run.Text("driver.zero_sets"), "1");  // one Reset: one re-zeroing
}

// The player's car, third in the field, turns the left roll off; the rivals never count.
TEST(HostRun, AHeadVisitingEveryDirectionAnswersEveryControlThePlayersCarAllows) {
    const Summary run("all_directions");
    ExpectHostContractKept(run);
    for (const char* name : velmora::kControlNames) {
        const bool leftRoll =
            std::string(name) == "Camera_RollLeft" || std::string(name) == "Camera_MoveLeft";
        EXPECT_EQ(run.Answered(name) > 0, !leftRoll) << name;
    }
}

// None preloaded, the driver in the game's folder: the plug-in finds it, and the host says where.
TEST(HostRun, ADriverOnlyThePluginsOwnSearchFindsIsReportedWhereItWasFound) {
    const Summary run("found_by_search");
    ExpectHostContractKept(run);
    EXPECT_TRUE(run.Text("tracker_found").starts_with("simulated tracker (game"))
        << run.Text("tracker_found");
    EXPECT_EQ(run.Text("driver.opens"), "1");
    EXPECT_GT(run.Answered("Camera_YawLeft"), 0);
}

}  // namespace
