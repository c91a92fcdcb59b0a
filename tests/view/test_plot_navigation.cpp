// The navigation state machine on its own: press, move, release and wheel sequences against a
// view and a frame stand-in, with the drag state, plane and read-out they leave.

#include "ViewFixture.h"

#include "view/PlotNavigation.h"

#include <optional>
#include <vector>

namespace {

struct CFakeFrame : IPlotModes {
    bool bMove = false, bZoom = false;
    std::vector<std::pair<double, double>> xy;
    std::vector<int> scales;
    bool IsRealMove() const override { return bMove; }
    bool IsRealZoom() const override { return bZoom; }
    void ShowXY(double x, double y) override { xy.emplace_back(x, y); }
    void ShowScale(int nScale) override { scales.push_back(nScale); }
};

// L/l left press/release, M/m middle press/release, v move, w wheel (x is the delta).
struct SEvent {
    char kind;
    int x = 0, y = 0;
};

void Send(CPlotNavigation& nav, const SEvent& e) {
    const CPoint p{e.x, e.y};
    switch (e.kind) {
    case 'L':
        nav.OnLButtonDown(p);
        break;
    case 'l':
        nav.OnLButtonUp();
        break;
    case 'M':
        nav.OnMButtonDown(p);
        break;
    case 'm':
        nav.OnMButtonUp();
        break;
    case 'v':
        nav.OnMouseMove(p);
        break;
    case 'w':
        nav.OnMouseWheel(e.x, {0, 0});
        break;
    }
}

class PlotNavigationTest : public ViewTest {};

TEST_F(PlotNavigationTest, SequencesLeaveDragStatePlaneAndReadOut) {
    // The plane starts with its origin at (320, 260), 50-pixel cells and unit 1.
    const struct {
        const char* name;
        bool bMove, bZoom;
        std::vector<SEvent> events;
        bool bDragMove, bDragZoom;
        int ox, oy, scale, cell;
        ECursor cursor;
        std::vector<std::pair<double, double>> xy;
        std::vector<int> scales;
    } cases[] = {
        {"no mode: the left button only reads out",
         false,
         false,
         {{'L', 100, 100}, {'v', 370, 210}},
         false,
         false,
         320,
         260,
         100,
         50,
         ECursor::Arrow,
         {{1.0, 1.0}},
         {}},
        {"move mode: a left drag pans by the pointer's way",
         true,
         false,
         {{'L', 100, 100}, {'v', 130, 90}, {'v', 131, 91}, {'l'}},
         false,
         false,
         351,
         251,
         100,
         50,
         ECursor::Move,
         {},
         {}},
        {"a middle drag pans without a mode",
         false,
         false,
         {{'M', 100, 100}, {'v', 110, 120}},
         true,
         false,
         330,
         280,
         100,
         50,
         ECursor::Move,
         {},
         {}},
        {"after the release moves read out again",
         true,
         false,
         {{'L', 0, 0}, {'v', 10, 0}, {'l'}, {'v', 430, 260}},
         false,
         false,
         330,
         260,
         100,
         50,
         ECursor::Move,
         {{2.0, 0.0}},
         {}},
        {"zoom mode: ten pixels up are two steps",
         false,
         true,
         {{'L', 100, 300}, {'v', 100, 290}},
         false,
         true,
         320,
         260,
         110,
         55,
         ECursor::Zoom,
         {{-220.0 / 55, -30.0 / 55}},
         {110}},
        {"zoom mode: four pixels do nothing, not even a read-out",
         false,
         true,
         {{'L', 100, 300}, {'v', 100, 296}},
         false,
         true,
         320,
         260,
         100,
         50,
         ECursor::Zoom,
         {},
         {}},
        {"zoom mode: down zooms out, anchored at the last step",
         false,
         true,
         {{'L', 0, 300}, {'v', 0, 304}, {'v', 0, 305}, {'v', 0, 309}},
         false,
         true,
         320,
         260,
         95,
         47,
         ECursor::Zoom,
         {{-320.0 / 47, -45.0 / 47}},
         {95}},
        {"the middle release leaves the zoom drag",
         false,
         true,
         {{'L', 0, 0}, {'M', 0, 0}, {'m'}},
         false,
         true,
         320,
         260,
         100,
         50,
         ECursor::Zoom,
         {},
         {}},
        {"the left release ends both drags",
         false,
         true,
         {{'L', 0, 0}, {'M', 0, 0}, {'l'}},
         false,
         false,
         320,
         260,
         100,
         50,
         ECursor::Zoom,
         {},
         {}},
        {"wheel: notches and small deltas add up",
         false,
         false,
         {{'w', 60}, {'w', 60}, {'w', 119}},
         false,
         false,
         320,
         260,
         110,
         55,
         ECursor::Arrow,
         {{-320.0 / 55, 260.0 / 55}},
         {110}},
        {"wheel: a turn back starts afresh",
         false,
         false,
         {{'w', 100}, {'w', -60}, {'w', -60}, {'w', -240}},
         false,
         false,
         320,
         260,
         85,
         42,
         ECursor::Arrow,
         {{-320.0 / 47, 260.0 / 47}, {-320.0 / 42, 260.0 / 42}},
         {95, 85}},
    };
    for (const auto& c : cases) {
        CCurvistView& v = MakeView();
        CFakeFrame frame;
        frame.bMove = c.bMove;
        frame.bZoom = c.bZoom;
        CPlotNavigation nav(v, frame);
        for (const SEvent& e : c.events)
            Send(nav, e);
        EXPECT_EQ(nav.IsDragMove(), c.bDragMove) << c.name;
        EXPECT_EQ(nav.IsDragZoom(), c.bDragZoom) << c.name;
        EXPECT_EQ(v.Plane().m_nOriginX, c.ox) << c.name;
        EXPECT_EQ(v.Plane().m_nOriginY, c.oy) << c.name;
        EXPECT_EQ(v.GetScale(), c.scale) << c.name;
        EXPECT_EQ(v.Plane().m_nCellW, c.cell) << c.name;
        EXPECT_EQ(nav.Cursor(), c.cursor) << c.name;
        ASSERT_EQ(frame.xy.size(), c.xy.size()) << c.name;
        for (std::size_t i = 0; i < c.xy.size(); ++i) {
            EXPECT_DOUBLE_EQ(frame.xy[i].first, c.xy[i].first) << c.name << " read-out " << i;
            EXPECT_DOUBLE_EQ(frame.xy[i].second, c.xy[i].second) << c.name << " read-out " << i;
        }
        EXPECT_EQ(frame.scales, c.scales) << c.name;
    }
}

// Keys on a plane of 40 x 30 cells whose file puts the origin top right (code 2; the menu's 2
// is the right side). The read-out follows only when the pointer is over the plane.
TEST_F(PlotNavigationTest, KeysPanZoomAndGoHome) {
    WriteIni("[Coor]\nnOriginPlace=2\n[Pane]\nnWidth=40\nnHeight=30\n");
    struct SKey {
        EPlotKey key;
        bool bCell = false;
    };
    const std::optional<CPoint> none;
    const struct {
        const char* name;
        std::vector<SKey> keys;
        std::optional<CPoint> pointer;
        int ox, oy, scale, cellW, cellH;
        std::vector<std::pair<double, double>> xy;
        std::vector<int> scales;
    } cases[] = {
        {"right", {{EPlotKey::Right}}, none, 330, 260, 100, 40, 30, {}, {}},
        {"left", {{EPlotKey::Left}}, none, 310, 260, 100, 40, 30, {}, {}},
        {"up", {{EPlotKey::Up}}, none, 320, 250, 100, 40, 30, {}, {}},
        {"down", {{EPlotKey::Down}}, none, 320, 270, 100, 40, 30, {}, {}},
        {"a cell left is its width", {{EPlotKey::Left, true}}, none, 280, 260, 100, 40, 30, {}, {}},
        {"a cell down is its height",
         {{EPlotKey::Down, true}},
         none,
         320,
         290,
         100,
         40,
         30,
         {},
         {}},
        {"zoom in", {{EPlotKey::ZoomIn}}, none, 320, 260, 110, 44, 33, {}, {110}},
        {"zoom out", {{EPlotKey::ZoomOut}}, none, 320, 260, 95, 38, 28, {}, {95}},
        {"a cell after zooming is the zoomed cell",
         {{EPlotKey::ZoomIn}, {EPlotKey::Right, true}},
         none,
         364,
         260,
         110,
         44,
         33,
         {},
         {110}},
        {"home: 100 % and the file's origin",
         {{EPlotKey::Left}, {EPlotKey::ZoomIn}, {EPlotKey::ZoomIn}, {EPlotKey::Home}},
         none,
         641,
         0,
         100,
         40,
         30,
         {},
         {110, 120, 100}},
        {"the read-out follows a pan",
         {{EPlotKey::Right}},
         CPoint{370, 200},
         330,
         260,
         100,
         40,
         30,
         {{1.0, 2.0}},
         {}},
        {"and a zoom",
         {{EPlotKey::ZoomOut}},
         CPoint{358, 260},
         320,
         260,
         95,
         38,
         28,
         {{1.0, 0.0}},
         {95}},
        {"and home",
         {{EPlotKey::Home}},
         CPoint{601, 60},
         641,
         0,
         100,
         40,
         30,
         {{-1.0, -2.0}},
         {100}},
    };
    for (const auto& c : cases) {
        CCurvistView& v = MakeView();
        CFakeFrame frame;
        CPlotNavigation nav(v, frame);
        for (const SKey& k : c.keys)
            nav.OnKey(k.key, k.bCell, c.pointer);
        EXPECT_EQ(v.Plane().m_nOriginX, c.ox) << c.name;
        EXPECT_EQ(v.Plane().m_nOriginY, c.oy) << c.name;
        EXPECT_EQ(v.GetScale(), c.scale) << c.name;
        EXPECT_EQ(v.Plane().m_nCellW, c.cellW) << c.name;
        EXPECT_EQ(v.Plane().m_nCellH, c.cellH) << c.name;
        EXPECT_EQ(frame.xy, c.xy) << c.name;
        EXPECT_EQ(frame.scales, c.scales) << c.name;
    }
}

} // namespace
