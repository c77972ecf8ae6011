#include "simdriver/tracker_model.h"

extern "C" std::int32_t IWROpenTracker(void) {
    return velmora::sim::TrackerModel::Instance().Open();
}
