#include "polling_fixture.h"

namespace velmora::test {
namespace {

class WithoutOpen : public PollingTest {
protected:
    WithoutOpen() : PollingTest("driver-no-open") {}
};

TEST_F(WithoutOpen, CountsAsNoDriver) {
    ExpectTakenForNoDriver();
}

}  // namespace
}  // namespace velmora::test
