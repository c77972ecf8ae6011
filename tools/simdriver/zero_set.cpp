#include "simdriver/tracker_model.h"

extern "C" std::int32_t IWRZeroSet(void) {
    return velmora::sim::TrackerModel::Instance().ZeroSet();
}
