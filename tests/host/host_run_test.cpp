// Reads the summaries of the velmora-host runs that ctest made before this test (fixture
// host_runs) against the real plug-in and the simulated driver.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "controls/control_names.h"

namespace {

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

TEST(HostRun, ASessionWithCarsResetAndReleaseKeepsTheContractAndClosesTheDriver) {
    const Summary run = Load("synthetic");
    ExpectHostContractKept(run);
    EXPECT_GT(run.Answered("Camera_YawLeft"), 0);
    EXPECT_GE(std::strtod(run.Control("Camera_MoveUp", "min").c_str(), nullptr), 0.5);
    EXPECT_EQ(run.Text("last_vehicle"), "Touring Blue");
    EXPECT_EQ(run.Text("ended_with"), "Release");
    EXPECT_EQ(run.Text("driver.is_open"), "0");
    EXPECT_EQ(run.Text("driver.calls_in_progress"), "0");
    EXPECT_EQ(run.Text("driver.zero_sets"), "1");  // one Reset: one re-zeroing
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

// The player's car, third in the field, turns the left roll off; the rivals never count.
TEST(HostRun, AHeadVisitingEveryDirectionAnswersEveryControlThePlayersCarAllows) {
    const Summary run = Load("all_directions");
    ExpectHostContractKept(run);
    for (const char* name : velmora::kControlNames) {
        const bool leftRoll =
            std::string(name) == "Camera_RollLeft" || std::string(name) == "Camera_MoveLeft";
        EXPECT_EQ(run.Answered(name) > 0, !leftRoll) << name;
    }
}

}  // namespace
