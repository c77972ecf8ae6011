#pragma once

namespace velmora::tune {

// The three settings of a One Euro filter.
struct OneEuroParameters {
    double minCutoff = 1.0;  // Hz, above 0: the cut-off while the signal rests
    double beta = 0.0;       // Hz per unit a second: how fast the cut-off rises with speed
    double dCutoff = 1.0;    // Hz, above 0: the cut-off of the speed itself

    friend bool operator==(const OneEuroParameters&, const OneEuroParameters&) = default;
};

// The One Euro filter of Casiez, Roussel and Vogel (CHI 2012): a first-order low-pass whose
// cut-off rises with the signal's speed, so that a resting signal is smoothed hard and a moving
// one followed closely. The yardstick Velmora's own filter is held against: a well-known filter,
// tuned by the same search on the same readings.
//
// Its input must not wrap: feed it an unwrapped angle. The speed is taken from the last filtered
// value, as the authors' reference code does.
class OneEuroFilter {
public:
    explicit OneEuroFilter(const OneEuroParameters& parameters) : parameters_(parameters) {}

    // Feeds one sample taken `seconds` after the one before (ignored for the first) and returns the
    // filtered value.
    double Filter(double value, double seconds);

private:
    // The share of a new sample that a first-order low-pass at `cutoff` Hz takes, `seconds` apart.
    static double Alpha(double cutoff, double seconds);

    OneEuroParameters parameters_;
    bool started_ = false;
    double value_ = 0.0;
    double speed_ = 0.0;
};

}  // namespace velmora::tune
