#include "simdriver/tracker_model.h"

extern "C" std::int32_t IWRCloseTracker(void) {
    return velmora::sim::TrackerModel::Instance().Close();
}
