// Where a window and its parts stand on the page: the frame at the form's
// Left and Top, the client area of the form's size, and the title bar's
// boxes exactly where the desktop's drawn frame has them.

#include "platform/model/Application.h"
#include "platform/model/Controls.h"
#include "platform/qt/DrawnFrame.h"
#include "platform/web/WindowLayout.h"
#include "tests/support/ModelDoubles.h"

#include <gtest/gtest.h>

namespace {

constexpr int t = ui::kTwipsPerPixel;

struct Rig {
    ui::VirtualClock clock;
    testing_support::FixedMetrics metrics;
    testing_support::SketchPictures pictures;
    ui::Application app{clock, metrics, pictures};
};

class SketchForm : public ui::Form {
public:
    explicit SketchForm(ui::Application& app) : Form(app, "frmSketch") {}
};

ui::TwipRect px(int x, int y, int width, int height)
{
    return ui::TwipRect{x * t, y * t, width * t, height * t};
}

webhost::Box fromQt(QRect rect)
{
    return webhost::Box{rect.x(), rect.y(), rect.width(), rect.height()};
}

class WindowLayoutTest : public ::testing::Test {
protected:
    Rig rig;
    SketchForm form{rig.app};
};

} // namespace

namespace webhost {
void PrintTo(const Box& box, std::ostream* out)
{
    *out << "{" << box.x << ", " << box.y << ", " << box.width << ", " << box.height << "}";
}
} // namespace webhost

TEST_F(WindowLayoutTest, theFrameStandsAtTheFormsLeftAndTopWithTheFormsOuterSize)
{
    form.setClientSize(320 * t, 240 * t);
    form.move(1500, 922); // 100 px, 61.47 px
    const webhost::WindowLayout layout = webhost::windowLayout(form);
    EXPECT_EQ(layout.frame, (webhost::Box{100, 61, 326, 264}));
    EXPECT_EQ(layout.frame.width * t, form.width());
    EXPECT_EQ(layout.frame.height * t, form.height());
    EXPECT_EQ(layout.client, (webhost::Box{3, 21, 320, 240}));

    form.move(-1500, 7); // half a pixel and less rounds to the nearest
    EXPECT_EQ(webhost::windowLayout(form).frame.x, -100);
    EXPECT_EQ(webhost::windowLayout(form).frame.y, 0);
    EXPECT_EQ(webhost::pixelsToTwips(-100), -1500.0);
}

TEST_F(WindowLayoutTest, theTitleBarAndItsBoxesAreWhereTheDesktopDrawsThem)
{
    form.setClientSize(236 * t, 120 * t);
    for (ui::FormBorder border : {ui::FormBorder::FixedSingle, ui::FormBorder::ToolWindow, ui::FormBorder::Sizable}) {
        form.setBorder(border);
        const webhost::WindowLayout layout = webhost::windowLayout(form);
        const qthost::DrawnFrame drawn(border);
        const QSize outer = drawn.outerSize(QSize(236, 120));
        EXPECT_EQ(layout.frame.width, outer.width());
        EXPECT_EQ(layout.frame.height, outer.height());
        EXPECT_EQ(layout.client.x, drawn.margins().left());
        EXPECT_EQ(layout.client.y, drawn.margins().top());
        EXPECT_EQ(layout.caption, fromQt(drawn.captionRect(outer)));
        EXPECT_EQ(layout.closeBox, fromQt(drawn.boxRect(qthost::FramePart::CloseBox, outer)));
        const bool sizable = border == ui::FormBorder::Sizable;
        ASSERT_EQ(layout.maximizeBox.has_value(), sizable);
        ASSERT_EQ(layout.minimizeBox.has_value(), sizable);
        if (sizable) {
            EXPECT_EQ(*layout.maximizeBox, fromQt(drawn.boxRect(qthost::FramePart::MaximizeBox, outer)));
            EXPECT_EQ(*layout.minimizeBox, fromQt(drawn.boxRect(qthost::FramePart::MinimizeBox, outer)));
        }
    }
}

TEST_F(WindowLayoutTest, aTextInputLiesInsideItsBoxsBorderInClientPixels)
{
    auto& canvas = form.add<ui::PictureBox>(form, "Picture1", px(10, 20, 200, 100));
    auto& box = form.add<ui::TextBox>(canvas, "Text1", px(30, 40, 120, 24));
    // The picture box's sunken border puts its children 2 px further in.
    EXPECT_EQ(webhost::formBox(box), (webhost::Box{10 + 2 + 30, 20 + 2 + 40, 120, 24}));
    EXPECT_EQ(webhost::textInputBox(box), (webhost::Box{10 + 2 + 30 + 2, 20 + 2 + 40 + 2, 116, 20}));
    EXPECT_TRUE(webhost::isShown(box));
    canvas.setVisible(false);
    EXPECT_FALSE(webhost::isShown(box));
}

TEST_F(WindowLayoutTest, aPressLandsOnTheFrontMostInnermostVisibleControl)
{
    auto& canvas = form.add<ui::PictureBox>(form, "Picture1", px(0, 0, 300, 200));
    auto& front = form.add<ui::Label>(canvas, "Label1", px(10, 10, 40, 40));
    auto& behind = form.add<ui::Label>(canvas, "Label2", px(30, 30, 40, 40));
    auto& box = form.add<ui::TextBox>(canvas, "Text1", px(60, 60, 40, 20));
    auto& hidden = form.add<ui::Label>(canvas, "Label3", px(0, 0, 300, 200));
    hidden.setVisible(false);
    EXPECT_EQ(webhost::controlAt(form, 2 + 35, 2 + 35), &front);
    EXPECT_EQ(webhost::controlAt(form, 2 + 65, 2 + 45), &behind);
    // A text box is a window of its own: in front of the labels.
    EXPECT_EQ(webhost::controlAt(form, 2 + 65, 2 + 65), &box);
    EXPECT_EQ(webhost::controlAt(form, 2 + 200, 2 + 150), &canvas);
    EXPECT_EQ(webhost::controlAt(form, 310, 5), nullptr);
}

namespace {

int edgesAt(const webhost::WindowLayout& layout, int x, int y)
{
    for (const webhost::ResizeGrip& grip : layout.grips) {
        if (grip.box.contains(x, y)) {
            return grip.edges;
        }
    }
    return 0;
}

} // namespace

TEST_F(WindowLayoutTest, aMaximisedWindowFillsTheViewportWithTheFormsCanvasAtTheTopLeft)
{
    form.setClientSize(324 * t, 244 * t);
    form.move(100 * t, 50 * t);
    webhost::PageWindow page;
    page.maximized = true;
    const webhost::Size viewport{1280, 900};

    form.setBorder(ui::FormBorder::FixedSingle);
    EXPECT_EQ(webhost::windowLayout(form, page, viewport).frame, webhost::windowLayout(form).frame)
        << "only a sizable window can be maximised";

    form.setBorder(ui::FormBorder::Sizable);
    const webhost::WindowLayout layout = webhost::windowLayout(form, page, viewport);
    EXPECT_EQ(layout.frame, (webhost::Box{0, 0, 1280, 900}));
    EXPECT_EQ(layout.client, (webhost::Box{4, 22, 1272, 874}));
    EXPECT_EQ(layout.canvas, (webhost::Box{4, 22, 324, 244}));
    EXPECT_EQ(layout.closeBox.x + layout.closeBox.width, 1280 - 4 - 2);
    EXPECT_TRUE(layout.grips.empty()) << "a maximised window is not resized by its edges";

    page.maximized = false;
    page.clientSize = webhost::Size{500, 300};
    const webhost::WindowLayout resized = webhost::windowLayout(form, page, viewport);
    EXPECT_EQ(resized.frame, (webhost::Box{100, 50, 508, 326}));
    EXPECT_EQ(resized.canvas, (webhost::Box{4, 22, 324, 244}));
}

TEST_F(WindowLayoutTest, theBorderOfASizableWindowResizesByItsEdgesAndCorners)
{
    form.setClientSize(324 * t, 244 * t);
    form.setBorder(ui::FormBorder::FixedSingle);
    EXPECT_TRUE(webhost::windowLayout(form).grips.empty());

    form.setBorder(ui::FormBorder::Sizable);
    const webhost::WindowLayout layout = webhost::windowLayout(form); // 332 x 270
    using webhost::kBottomEdge, webhost::kLeftEdge, webhost::kRightEdge, webhost::kTopEdge;
    EXPECT_EQ(edgesAt(layout, 150, 0), kTopEdge);
    EXPECT_EQ(edgesAt(layout, 150, 269), kBottomEdge);
    EXPECT_EQ(edgesAt(layout, 0, 100), kLeftEdge);
    EXPECT_EQ(edgesAt(layout, 331, 100), kRightEdge);
    EXPECT_EQ(edgesAt(layout, 10, 1), kLeftEdge | kTopEdge);
    EXPECT_EQ(edgesAt(layout, 330, 12), kRightEdge | kTopEdge);
    EXPECT_EQ(edgesAt(layout, 2, 260), kLeftEdge | kBottomEdge);
    EXPECT_EQ(edgesAt(layout, 320, 268), kRightEdge | kBottomEdge);
    EXPECT_EQ(edgesAt(layout, 150, 10), 0) << "the title bar drags";
    EXPECT_EQ(edgesAt(layout, 150, 100), 0) << "the client area takes clicks";
}

TEST_F(WindowLayoutTest, aResizeKeepsTheOppositeEdgesAndStopsWhereTheTitleBarsBoxesAreWhole)
{
    form.setBorder(ui::FormBorder::Sizable);
    using webhost::kBottomEdge, webhost::kLeftEdge, webhost::kRightEdge, webhost::kTopEdge;
    const webhost::Box start{100, 50, 332, 270};
    EXPECT_EQ(webhost::resizedFrame(form, start, kRightEdge | kBottomEdge, 40, 30), (webhost::Box{100, 50, 372, 300}));
    EXPECT_EQ(webhost::resizedFrame(form, start, kLeftEdge | kTopEdge, -40, 30), (webhost::Box{60, 80, 372, 240}));
    EXPECT_EQ(webhost::resizedFrame(form, start, kTopEdge, 0, -80), (webhost::Box{100, 0, 332, 320}))
        << "the title bar stays on the page";

    const webhost::Box smallest = webhost::resizedFrame(form, start, kLeftEdge | kBottomEdge, 1000, -1000);
    const webhost::Size minimum = webhost::minimumFrameSize(form);
    EXPECT_EQ(smallest, (webhost::Box{100 + 332 - minimum.width, 50, minimum.width, minimum.height}));
    EXPECT_EQ(webhost::clientSizeOf(form, smallest).height, 0);
    webhost::PageWindow page;
    page.clientSize = webhost::clientSizeOf(form, smallest);
    const webhost::WindowLayout layout = webhost::windowLayout(form, page, {});
    EXPECT_EQ(layout.frame.width, minimum.width);
    EXPECT_GE(layout.minimizeBox->x, layout.caption.x) << "the minimise box is cut off";
}

TEST_F(WindowLayoutTest, minimisingHandsTheActivationToTheFrontMostWindowStillShown)
{
    SketchForm back{rig.app};
    SketchForm middle{rig.app};
    const std::vector<ui::Form*> open{&back, &middle, &form}; // back to front
    const auto minimizedIs = [](const ui::Form* which) {
        return [which](const ui::Form& f) { return &f == which; };
    };
    EXPECT_EQ(webhost::activeAfterMinimizing(open, form, minimizedIs(&form)), &middle);
    EXPECT_EQ(webhost::activeAfterMinimizing(open, middle, minimizedIs(&middle)), &form);
    EXPECT_EQ(webhost::activeAfterMinimizing(open, form, [](const ui::Form&) { return true; }), nullptr);
    EXPECT_EQ(webhost::activeAfterMinimizing({&form}, form, minimizedIs(&form)), nullptr);
}

TEST_F(WindowLayoutTest, aDragLeavesFortyPixelsOfTheTitleBarInTheViewportOnEverySide)
{
    form.setClientSize(324 * t, 244 * t);
    const webhost::WindowLayout layout = webhost::windowLayout(form);
    const webhost::Box& bar = layout.caption; // {3, 3, 324, 17}
    const webhost::Size viewport{800, 600};
    const auto keptAt = [&](int x, int y) {
        const webhost::Box kept = webhost::keptInReach(webhost::Box{x, y, layout.frame.width, layout.frame.height},
                                                       bar, viewport, webhost::kTitleBarInReach);
        return std::pair{kept.x, kept.y};
    };
    EXPECT_EQ(keptAt(100, 50), std::pair(100, 50)) << "a window inside stays where it was put";
    EXPECT_EQ(keptAt(-1000, 50), std::pair(40 - bar.x - bar.width, 50)) << "left: the bar's last 40 px stay";
    EXPECT_EQ(keptAt(1000, 50), std::pair(800 - 40 - bar.x, 50)) << "right: the bar's first 40 px stay";
    EXPECT_EQ(keptAt(100, -300), std::pair(100, 0)) << "top: the bar stays below the viewport's top";
    EXPECT_EQ(keptAt(100, 1000), std::pair(100, 600 - bar.y - bar.height)) << "bottom: the whole bar stays";

    const webhost::Box narrowBar{3, 3, 30, 17};
    EXPECT_EQ(webhost::keptInReach(webhost::Box{-500, 0, 36, 40}, narrowBar, viewport, 40).x, -3)
        << "a bar narrower than the reach stays whole";
}

TEST_F(WindowLayoutTest, aWindowKeptInsideMovesTheLeastThatPutsItWhollyInTheViewport)
{
    const webhost::Size viewport{390, 844};
    EXPECT_EQ(webhost::keptInside(webhost::Box{10, 20, 330, 268}, viewport), (webhost::Box{10, 20, 330, 268}));
    EXPECT_EQ(webhost::keptInside(webhost::Box{300, 700, 330, 268}, viewport), (webhost::Box{60, 576, 330, 268}));
    EXPECT_EQ(webhost::keptInside(webhost::Box{-50, -5, 330, 268}, viewport), (webhost::Box{0, 0, 330, 268}));
    EXPECT_EQ(webhost::keptInside(webhost::Box{200, 10, 500, 268}, viewport), (webhost::Box{0, 10, 500, 268}))
        << "wider than the viewport: its left edge, where its title and close box begin";
}
