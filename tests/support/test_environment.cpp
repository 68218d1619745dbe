// Linked into every test program: fills in the environment the tests rely on
// when the runner did not set it, so a test binary run by hand behaves like
// one run by CTest.

#include <cstdlib>

namespace {

struct TestEnvironment {
    TestEnvironment() {
        setenv("KORVANE_TESTDATA", KORVANE_TESTDATA_DEFAULT, 0);
        setenv("KORVANE_SOURCE_DIR", KORVANE_SOURCE_DIR_DEFAULT, 0);
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
    }
};

const TestEnvironment environment;

}  // namespace
