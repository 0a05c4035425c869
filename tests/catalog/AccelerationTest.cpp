#include "data/RobotCatalogInterface.h"

#include <gtest/gtest.h>

#include <QFile>

#include <dlfcn.h>

namespace {

// The motion library held open for the whole grid, instead of once per value.
class Acceleration : public ::testing::Test {
protected:
    void SetUp() override {
        const QString path = RobotCatalogInterface::LibraryDirectory() + "/" +
                             RobotCatalogInterface::kMotionFileName;
        handle = dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(handle, nullptr) << dlerror();
        accCalc = reinterpret_cast<DllAccCalc_t>(dlsym(handle, "DllAccCalc"));
        ASSERT_NE(accCalc, nullptr);
    }
    void TearDown() override {
        if (handle != nullptr)
            dlclose(handle);
    }

    void* handle = nullptr;
    DllAccCalc_t accCalc = nullptr;
};

struct Limits {
    int32_t max;
    int32_t min;
};

} // namespace

TEST_F(Acceleration, StaysBetweenTheLimitsAndNeverRisesWithPayload) {
    const Limits limits[] = {{300, 100}, {1000, 250}, {150, 150}, {200, 0}, {50, -20}};
    const int32_t patterns[] = {0, 1, 2, 7, -1};
    const int32_t knees[] = {0, 3, 40, -5};
    const int32_t spans[] = {1, 10, 120, 0, -3};
    const int32_t bends[] = {0, 50, 400, -10};
    int checked = 0;
    for (const Limits& l : limits)
        for (int32_t pattern : patterns)
            for (int32_t knee : knees)
                for (int32_t span : spans)
                    for (int32_t bend : bends) {
                        int32_t previous = INT32_MAX;
                        for (int32_t payload = -2; payload <= 320; ++payload) {
                            const int32_t a =
                                accCalc(payload, l.max, l.min, pattern, knee, span, bend, 17);
                            ASSERT_LE(a, l.max);
                            ASSERT_GE(a, l.min);
                            ASSERT_LE(a, previous)
                                << "payload " << payload << " pattern " << pattern << " knee "
                                << knee << " span " << span << " bend " << bend;
                            previous = a;
                            ++checked;
                        }
                    }
    EXPECT_GT(checked, 100000);
}

TEST_F(Acceleration, FullAccelerationUpToTheKneeAndMinimumBeyondTheSpan) {
    for (int32_t pattern : {0, 1, 2}) {
        EXPECT_EQ(accCalc(0, 500, 100, pattern, 5, 20, 50, 0), 500);
        EXPECT_EQ(accCalc(5, 500, 100, pattern, 5, 20, 50, 0), 500);
        EXPECT_LT(accCalc(6, 500, 100, pattern, 5, 20, 50, 0), 500);
        EXPECT_GT(accCalc(24, 500, 100, pattern, 5, 20, 50, 0), 100);
        EXPECT_EQ(accCalc(25, 500, 100, pattern, 5, 20, 50, 0), 100);
        EXPECT_EQ(accCalc(300, 500, 100, pattern, 5, 20, 50, 0), 100);
    }
    // Halfway along the span: linear gives the middle, the square a quarter of the range.
    EXPECT_EQ(accCalc(15, 500, 100, 0, 5, 20, 0, 0), 300);
    EXPECT_EQ(accCalc(15, 500, 100, 1, 5, 20, 0, 0), 200);
    EXPECT_EQ(accCalc(15, 500, 100, 2, 5, 20, 100, 0), 233);
}

TEST_F(Acceleration, ContradictingLimitsGiveTheLowerMaximum) {
    for (int32_t payload : {0, 10, 300})
        EXPECT_EQ(accCalc(payload, 100, 300, 0, 0, 10, 0, 0), 100);
}

TEST_F(Acceleration, ExtremeInputsStayInsideTheLimits) {
    EXPECT_EQ(accCalc(INT32_MIN, INT32_MAX, INT32_MIN, 2, INT32_MAX, INT32_MAX, INT32_MAX, 0),
              INT32_MAX);
    EXPECT_EQ(accCalc(INT32_MAX, INT32_MAX, INT32_MIN, 2, 0, 1, INT32_MAX, 0), INT32_MIN);
}
