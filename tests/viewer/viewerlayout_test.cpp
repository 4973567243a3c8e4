// The numbers of a viewer window: the consist's layout, the window's width and size, the light
// steps.
#include "viewer/viewergeometry.h"
#include "viewer/viewerheader.h"

#include <gtest/gtest.h>
#include <limits>

namespace qv {
namespace {

std::unique_ptr<SVIEWHeaderInfo> HeaderOf(const std::vector<double>& lengths) {
    auto header = std::make_unique<SVIEWHeaderInfo>();
    for (double length : lengths) {
        header->Models.push_back(NewSviewModelInfo());
        header->Models.back()->Length = length;
    }
    return header;
}

struct LayoutCase {
    const char* name;
    std::vector<double> lengths;
    double total;
    std::vector<double> centres;
    int middle;
};

TEST(LayoutConsist, TotalCentresAndMiddle) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const LayoutCase cases[] = {
        {"a missing length counts 5 m in the total only", {20, 0, 10}, 35, {10, 20, 25}, 0},
        {"a single vehicle", {16}, 16, {8}, 0},
        {"not a number adds nothing to the centres", {10, nan, 10}, 25, {5, 10, 15}, 2},
        {"infinite and negative lengths are missing", {inf, 12, -4}, 22, {0, 6, 12}, 1},
    };
    for (const LayoutCase& c : cases) {
        SCOPED_TRACE(c.name);
        auto header = HeaderOf(c.lengths);
        for (int pass = 0; pass < 2; ++pass) { // a second show gives the same numbers
            LayoutConsist(*header);
            EXPECT_DOUBLE_EQ(header->TotalLength, c.total);
            for (size_t i = 0; i < c.centres.size(); ++i)
                EXPECT_DOUBLE_EQ(header->Models[i]->Centre, c.centres[i]) << "vehicle " << i;
            EXPECT_EQ(header->MiddleIndex, c.middle);
        }
    }
}

TEST(ViewerGeometry, WindowWidthFollowsLengthDpiAndHeight) {
    struct Case {
        int dpi;
        double length;
        int viewerHeight;
        int expected;
    } cases[] = {
        {96, 100, 127, 1852},  // 15 x 105 x 20/17
        {120, 100, 127, 1482}, // 12 x 105 x 20/17
        {96, 100, 254, 3705},  // twice the height, twice the width
    };
    for (const Case& c : cases)
        EXPECT_EQ(WindowWidth(c.dpi, c.length, c.viewerHeight, 127), c.expected)
            << c.dpi << " dpi, " << c.length << " m";
}

TEST(ViewerGeometry, WindowSizeKeepsToTheScreen) {
    const QSize screen(1600, 900);
    struct Case {
        const char* name;
        int ideal;
        QSize current;
        bool initial, fullWidth;
        QSize expected;
    } cases[] = {
        {"a short consist gets its ideal width", 700, {864, 127}, true, false, {700, 127}},
        {"a long consist is capped at the screen", 1852, {864, 127}, true, false, {1598, 127}},
        {"full width keeps the proportions (F12)", 800, {800, 100}, false, true, {1598, 199}},
        {"full width taller than the screen keeps the height",
         100,
         {100, 127},
         false,
         true,
         {1598, 127}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SizeViewerWindow(c.ideal, c.current, c.initial, c.fullWidth, 127, screen),
                  c.expected)
            << c.name;
}

TEST(ViewerGeometry, ViewerHeightAbsentBadOrNotPositiveIsTheDesignHeight) {
    const std::pair<const char*, int> cases[] = {{"", 127},    {"abc", 127}, {"0", 127},
                                                 {"-20", 127}, {"200", 200}, {" 150 ", 150}};
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(ReadViewerHeight(QString::fromLatin1(text), 127), expected) << text;
}

TEST(ViewerGeometry, AmbientStepsSaturatePerChannel) {
    const struct {
        quint32 from;
        int direction;
        quint32 to;
    } cases[] = {
        {0xFF505050, +1, 0xFF515151}, {0xFF505050, -1, 0xFF4F4F4F}, {0xFFFFFF10, +1, 0xFFFFFF11},
        {0xFF00FF80, -1, 0xFF00FE7F}, {0x80FFFFFF, +1, 0x80FFFFFF}, {0x12000000, -1, 0x12000000},
    };
    for (const auto& c : cases)
        EXPECT_EQ(StepAmbient(c.from, c.direction), c.to) << std::hex << c.from;
}

} // namespace
} // namespace qv
