#include "polling_fixture.h"

namespace velmora::test {
namespace {

class WithoutRead : public PollingTest {
protected:
    WithoutRead() : PollingTest("driver-no-read") {}
};

TEST_F(WithoutRead, CountsAsNoDriver) {
    ExpectTakenForNoDriver();
}

}  // namespace
}  // namespace velmora::test
