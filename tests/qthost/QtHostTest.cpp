// The host keeps Qt windows in step with the model's forms and feeds what the
// player does back into the model.

#include "platform/qt/FormGeometry.h"
#include "platform/qt/QtHost.h"
#include "tests/qthost/HostTestSupport.h"

#include <QCloseEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPixmap>
#include <QPointer>
#include <QWindow>

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

using qthost_test::ModelRig;

namespace {

// A form that logs its events; tests give it key actions.
class HostForm : public ui::Form {
public:
    HostForm(ui::Application& app, const std::string& name, std::string& log, ui::FormBorder border, bool withText)
        : Form(app, name), log_(log), tag_(name.substr(3)),
          Picture1(add<ui::PictureBox>(*this, "Picture1", {0, 0, 4860, 3660})),
          Timer1(add<ui::Timer>(*this, "Timer1", {}))
    {
        setCaption("Caption of " + name);
        setBorder(border);
        if (border == ui::FormBorder::ToolWindow) {
            setClientSize(2745, 2625);
            Picture1.setVisible(false); // keys go to the window itself
        }
        if (withText) {
            Text1 = &add<ui::TextBox>(Picture1, "Text1", {2400, 3120, 1875, 270});
            Text1->setTabIndex(-1);
        }
        Picture1.onKeyDown = [this](int code, int) { keyDown(code); };
        Picture1.onKeyPress = [this](int& ascii) { log_ += tag_ + ".KeyPress(" + std::to_string(ascii) + ");"; };
        Timer1.onTimer = [this] { log_ += tag_ + ".Timer1;"; };
    }

    void Form_Activate() override { log_ += tag_ + ".Activate;"; }
    void Form_Unload(int& cancel) override
    {
        log_ += tag_ + ".Unload;";
        cancel = refuseUnload ? 1 : 0;
    }
    void Form_KeyDown(int code, int) override { keyDown(code); }

    std::function<void(int)> onKey;
    bool refuseUnload = false;

private:
    void keyDown(int code)
    {
        log_ += tag_ + ".KeyDown(" + std::to_string(code) + ");";
        if (onKey) {
            onKey(code);
        }
    }

    std::string& log_;
    std::string tag_;

public:
    ui::PictureBox& Picture1;
    ui::Timer& Timer1;
    ui::TextBox* Text1 = nullptr;
};

QIcon filledIcon()
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::darkCyan);
    return QIcon(pixmap);
}

QtMessageHandler previousMessageHandler = nullptr;

// The offscreen platform cannot raise windows and says so every time.
void quietAboutRaise(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (!message.contains("does not support raise()") && previousMessageHandler != nullptr) {
        previousMessageHandler(type, context, message);
    }
}

class QtHostTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!qthost_test::widgetsAvailable()) {
            GTEST_SKIP() << "windows need a QApplication; the test program was started with a QGuiApplication";
        }
        previousMessageHandler = qInstallMessageHandler(quietAboutRaise);
        registerForm("frmA", ui::FormBorder::FixedSingle, false);
        registerForm("frmB", ui::FormBorder::FixedSingle, false);
        registerForm("frmTool", ui::FormBorder::ToolWindow, false);
        registerForm("frmTool2", ui::FormBorder::ToolWindow, false);
        registerForm("frmSizable", ui::FormBorder::Sizable, false);
        registerForm("frmText", ui::FormBorder::FixedSingle, true);
        host = std::make_unique<qthost::QtHost>(rig.app, rig.clock, identity);
        host->setFatalReporter([this](const QString& message) { fatal += message.toStdString(); });
    }

    void TearDown() override
    {
        host.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        if (previousMessageHandler != nullptr) {
            qInstallMessageHandler(previousMessageHandler);
            previousMessageHandler = nullptr;
        }
    }

    void registerForm(const char* name, ui::FormBorder border, bool withText)
    {
        rig.app.registerForm(name, [this, name, border, withText](ui::Application& app) {
            return std::make_unique<HostForm>(app, name, log, border, withText);
        });
    }

    HostForm& show(const char* name)
    {
        auto& form = dynamic_cast<HostForm&>(rig.app.form(name));
        form.show();
        host->sync();
        return form;
    }

    qthost::FormWindow& windowOf(const ui::Form& form)
    {
        auto* window = dynamic_cast<qthost::FormWindow*>(host->windowFor(form));
        EXPECT_NE(window, nullptr);
        return *window;
    }

    static void send(QObject* target, QEvent& event) { QCoreApplication::sendEvent(target, &event); }

    static void sendKey(QObject* target, int key, const QString& text, quint32 scanCode = 0)
    {
        QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier, scanCode, 0, 0, text);
        send(target, event);
    }

    static void flushDeletes() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

    QWindow* transientParentOf(const ui::Form& form)
    {
        QWindow* native = windowOf(form).windowHandle();
        return native != nullptr ? native->transientParent() : nullptr;
    }

    void clickAt(QWidget& window, QPoint point)
    {
        QMouseEvent press(QEvent::MouseButtonPress, point, window.mapToGlobal(point), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        send(&window, press);
        QMouseEvent release(QEvent::MouseButtonRelease, point, window.mapToGlobal(point), Qt::LeftButton,
                            Qt::NoButton, Qt::NoModifier);
        send(&window, release);
    }

    ModelRig rig;
    const qthost::AppIdentity identity{QStringLiteral("Host test"), filledIcon()};
    std::string log;
    std::string fatal;
    std::unique_ptr<qthost::QtHost> host;
};

} // namespace

TEST_F(QtHostTest, anOpenFormGetsAShownFixedWindowWithItsCaptionAndClientSize)
{
    HostForm& a = show("frmA");
    ASSERT_EQ(host->windowCount(), 1u);
    qthost::FormWindow& window = windowOf(a);
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.windowTitle(), "Caption of frmA");
    EXPECT_EQ(window.size(), QSize(324, 244));
    EXPECT_EQ(window.minimumSize(), window.maximumSize()) << "fixed single border";
    EXPECT_TRUE(window.windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(window.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(window.windowFlags().testFlag(Qt::Tool));
    EXPECT_FALSE(window.windowIcon().isNull());
    EXPECT_EQ(window.windowIcon().cacheKey(), identity.icon.cacheKey()) << "the program's icon";
}

TEST_F(QtHostTest, aWindowStandsWhereTheFormsTwipsSayInPixels)
{
    HostForm& a = show("frmA");
    a.move(1500, 3000);
    host->sync();
    EXPECT_EQ(windowOf(a).pos(), QPoint(100, 200));
}

TEST_F(QtHostTest, captionChangesReachTheWindow)
{
    HostForm& a = show("frmA");
    a.setCaption("Quorvel - Kana Characters Zone -");
    host->sync();
    EXPECT_EQ(windowOf(a).windowTitle(), "Quorvel - Kana Characters Zone -");
}

TEST_F(QtHostTest, toolWindowsAreSmallToolsInADrawnFrameAndTheSizableWindowCanBeResized)
{
    HostForm& a = show("frmA");
    HostForm& tool = show("frmTool");
    qthost::FormWindow& toolWindow = windowOf(tool);
    EXPECT_TRUE(toolWindow.windowFlags().testFlag(Qt::Tool));
    EXPECT_FALSE(windowOf(a).drawnFrame().has_value()) << "off Wayland the platform frames the main windows";
    ASSERT_TRUE(toolWindow.drawnFrame().has_value()) << "and the game its tool windows, whole caption and all";
    EXPECT_EQ(toolWindow.size(), QSize(183 + 2 * 3, 175 + 2 * 3 + 15));
    // The records panel's longest caption, in its 183-pixel width.
    tool.setCaption("  All kinds Characters Zone");
    host->sync();
    EXPECT_EQ(toolWindow.shownCaption(), QStringLiteral("  All kinds Characters Zone"));
    ASSERT_NE(toolWindow.windowHandle(), nullptr);
    EXPECT_EQ(toolWindow.windowHandle()->transientParent(), windowOf(a).windowHandle())
        << "kept above the window it was opened from";

    HostForm& sizable = show("frmSizable");
    qthost::FormWindow& sizableWindow = windowOf(sizable);
    EXPECT_NE(sizableWindow.minimumSize(), sizableWindow.maximumSize());
    EXPECT_TRUE(sizableWindow.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_EQ(sizableWindow.size(), QSize(324, 244));
}

TEST_F(QtHostTest, anUnloadedFormLosesItsWindowAndComesBackInANewOne)
{
    HostForm& a = show("frmA");
    show("frmB");
    QPointer<QWidget> first = host->windowFor(a);
    rig.app.requestClose(a);
    host->sync();
    EXPECT_EQ(host->windowCount(), 1u);
    flushDeletes();
    EXPECT_TRUE(first.isNull());

    HostForm& again = show("frmA");
    EXPECT_EQ(host->windowCount(), 2u);
    EXPECT_NE(host->windowFor(again), nullptr);
}

TEST_F(QtHostTest, theCloseBoxAsksTheModelWhichMayRefuse)
{
    HostForm& a = show("frmA");
    HostForm& b = show("frmB");
    b.refuseUnload = true;
    QCloseEvent refused;
    send(&windowOf(b), refused);
    EXPECT_NE(log.find("B.Unload;"), std::string::npos);
    EXPECT_FALSE(refused.isAccepted()) << "Qt never closes a window by itself";
    EXPECT_EQ(host->windowCount(), 2u);

    QCloseEvent accepted;
    send(&windowOf(a), accepted);
    EXPECT_NE(log.find("A.Unload;"), std::string::npos);
    EXPECT_EQ(host->windowCount(), 1u);
}

TEST_F(QtHostTest, closingTheLastWindowEndsTheProgramWithStatusZero)
{
    HostForm& a = show("frmA");
    EXPECT_EQ(host->exitCode(), std::nullopt);
    QCloseEvent close;
    send(&windowOf(a), close);
    EXPECT_TRUE(rig.app.finished());
    EXPECT_EQ(host->exitCode(), 0);
    EXPECT_EQ(host->windowCount(), 0u);
}

TEST_F(QtHostTest, aKeyOnAWindowGivesKeyDownThenKeyPress)
{
    HostForm& a = show("frmA");
    log.clear();
    sendKey(&windowOf(a), Qt::Key_A, "a");
    sendKey(&windowOf(a), 0xFF81, "ﾁ", 30 + 8); // the A key with kana input on
    sendKey(&windowOf(a), Qt::Key_Return, "\r");
    EXPECT_EQ(log, "A.KeyDown(65);A.KeyPress(97);A.KeyDown(65);A.KeyPress(193);A.KeyDown(13);A.KeyPress(13);");
    EXPECT_EQ(host->keyPressesReceived(), 3u);
}

TEST_F(QtHostTest, theCharacterOfAKeyThatOpenedTheNextScreenIsNotTypedIntoIt)
{
    HostForm& a = show("frmA");
    a.onKey = [this, &a](int code) {
        if (code == ui::vk::Enter) {
            rig.app.form("frmB").show();
            a.unload();
        }
    };
    log.clear();
    sendKey(&windowOf(a), Qt::Key_Return, "\r");
    EXPECT_EQ(log, "A.KeyDown(13);A.Unload;B.Activate;");
}

TEST_F(QtHostTest, theTimerIsArmedForTheNextTickOfTheModel)
{
    HostForm& a = show("frmA");
    EXPECT_EQ(host->timerWaitMs(), std::nullopt);
    rig.app.run([&] {
        a.Timer1.setInterval(100);
        a.Timer1.start();
    });
    host->sync();
    EXPECT_EQ(host->timerWaitMs(), 100);
    rig.clock.set(30);
    host->sync();
    EXPECT_EQ(host->timerWaitMs(), 70);
    rig.app.run([&] { a.Timer1.stop(); });
    host->sync();
    EXPECT_EQ(host->timerWaitMs(), std::nullopt);
}

TEST_F(QtHostTest, anExceptionFromAHandlerIsReportedAndEndsTheProgramWithStatusOne)
{
    HostForm& a = show("frmA");
    a.onKey = [](int) { throw std::runtime_error("Cannot write the records file /games/qorvl.dat: Permission denied."); };
    sendKey(&windowOf(a), Qt::Key_Space, " ");
    EXPECT_EQ(fatal, "Cannot write the records file /games/qorvl.dat: Permission denied.");
    EXPECT_TRUE(host->failed());
    EXPECT_EQ(host->exitCode(), 1);
    EXPECT_EQ(host->timerWaitMs(), std::nullopt);

    const std::string before = log;
    sendKey(host->windowFor(a), Qt::Key_B, "b");
    EXPECT_EQ(log, before) << "the model is not touched after a fatal error";
}

TEST_F(QtHostTest, activatingAnotherOfOurWindowsActivatesItsForm)
{
    host->setActivationGraceMs(0);
    HostForm& a = show("frmA");
    HostForm& b = show("frmB");
    ASSERT_EQ(rig.app.activeForm(), &b);
    QEvent activate(QEvent::WindowActivate);
    send(&windowOf(a), activate);
    EXPECT_EQ(rig.app.activeForm(), &a);
}

TEST_F(QtHostTest, anActivationIsThePlayersOnceTheGraceHasPassedOnTheHostsClock)
{
    HostForm& a = show("frmA");
    HostForm& b = show("frmB");
    rig.clock.set(749);
    QEvent early(QEvent::WindowActivate);
    send(&windowOf(a), early);
    EXPECT_EQ(rig.app.activeForm(), &b) << "still the window manager settling";
    rig.clock.set(750);
    QEvent late(QEvent::WindowActivate);
    send(&windowOf(a), late);
    EXPECT_EQ(rig.app.activeForm(), &a);
}

TEST_F(QtHostTest, theWindowManagerHandingTheFocusBackWhileAPanelCloseDoesNotActivateAForm)
{
    host->setActivationGraceMs(60'000);
    HostForm& a = show("frmA");
    HostForm& panel = show("frmTool");
    rig.app.run([&] {
        rig.app.form("frmB").show();
        panel.unload();
    });
    host->sync();
    log.clear();
    QEvent activate(QEvent::WindowActivate);
    send(&windowOf(a), activate);
    EXPECT_EQ(rig.app.activeForm(), rig.app.loaded("frmB"));
    EXPECT_EQ(log, "") << "no Activate, no Deactivate";
}

TEST_F(QtHostTest, theWindowShowsWhatTheRendererPaintsOfTheForm)
{
    HostForm& a = show("frmA");
    a.Picture1.setBackColor(ui::colors::navy);
    host->sync();
    qthost::FormRenderer renderer{rig.app.pictures()};
    EXPECT_EQ(windowOf(a).frame(), renderer.render(a, windowOf(a).devicePixelRatioF()));
}

TEST_F(QtHostTest, onlyTheTextBoxTakesInputMethodText)
{
    HostForm& a = show("frmA");
    HostForm& text = show("frmText");
    EXPECT_FALSE(windowOf(a).testAttribute(Qt::WA_InputMethodEnabled)) << "raw keys on the stage";
    ASSERT_EQ(windowOf(text).textBoxes().size(), 1u);
    qthost::TextBoxEdit* edit = windowOf(text).textBoxes().front();
    EXPECT_TRUE(edit->testAttribute(Qt::WA_InputMethodEnabled));
    EXPECT_EQ(edit->geometry(), qthost::formRect(*text.Text1).adjusted(2, 2, -2, -2)) << "inside the sunken border";
    EXPECT_TRUE(edit->isVisible());
}

TEST_F(QtHostTest, typingIntoTheTextBoxGoesThroughTheModel)
{
    HostForm& form = show("frmText");
    qthost::TextBoxEdit* edit = windowOf(form).textBoxes().front();
    ASSERT_EQ(form.focused(), form.Text1);
    sendKey(edit, Qt::Key_A, "a");
    QInputMethodEvent composing("かな", {});
    send(edit, composing);
    EXPECT_EQ(form.Text1->text(), "a") << "text being composed is not typed yet";
    QInputMethodEvent commit;
    commit.setCommitString("かな");
    send(edit, commit);
    EXPECT_EQ(form.Text1->text(), "aかな");
    sendKey(edit, Qt::Key_Backspace, "\b");
    EXPECT_EQ(form.Text1->text(), "aか");
    EXPECT_EQ(edit->text(), "aか") << "the line edit shows the model's text";

    form.Text1->onKeyPress = [](int& ascii) { ascii = 0; };
    sendKey(edit, Qt::Key_B, "b");
    EXPECT_EQ(edit->text(), "aか") << "a refused character never shows";
}

TEST_F(QtHostTest, clickingAControlGivesItTheFocus)
{
    HostForm& form = show("frmText");
    ASSERT_EQ(form.focused(), form.Text1);
    QMouseEvent click(QEvent::MouseButtonPress, QPointF(20, 20), QPointF(20, 20), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    send(&windowOf(form), click);
    EXPECT_EQ(form.focused(), &form.Picture1);
    sendKey(&windowOf(form), Qt::Key_Return, "\r");
    EXPECT_NE(log.find("Text.KeyPress(13);"), std::string::npos) << "keys now go to the picture box";
}

TEST_F(QtHostTest, aToolWindowStaysOverTheFrontWindowThatIsNoToolNeverOverAPanelClosingInTheSameStep)
{
    HostForm& a = show("frmA");
    HostForm& tool = show("frmTool");
    ASSERT_NE(transientParentOf(tool), nullptr);
    EXPECT_EQ(transientParentOf(tool), windowOf(a).windowHandle());

    rig.app.run([&] {
        rig.app.form("frmTool2").show();
        tool.unload();
    });
    host->sync();
    EXPECT_EQ(transientParentOf(*rig.app.loaded("frmTool2")), windowOf(a).windowHandle())
        << "the panel that replaces another stays over the window beneath both";
    EXPECT_EQ(transientParentOf(a), nullptr);
}

TEST_F(QtHostTest, aCloseThatFollowsTheOwnersWindowGoingAwayIsThePlatformsNotThePlayers)
{
    HostForm& a = show("frmA");
    HostForm& b = show("frmB");
    HostForm& tool = show("frmTool");
    ASSERT_EQ(transientParentOf(tool), windowOf(b).windowHandle());
    rig.app.requestClose(b);
    host->sync();
    EXPECT_EQ(transientParentOf(tool), windowOf(a).windowHandle()) << "handed over before the owner went";

    QCloseEvent sideEffect;
    send(&windowOf(tool), sideEffect);
    EXPECT_EQ(log.find("Tool.Unload;"), std::string::npos);
    EXPECT_EQ(host->windowCount(), 2u);

    rig.clock.set(1000);
    QCloseEvent players;
    send(&windowOf(tool), players);
    EXPECT_NE(log.find("Tool.Unload;"), std::string::npos) << "a second on the host's clock later";
    EXPECT_EQ(host->windowCount(), 1u);
}

TEST_F(QtHostTest, withoutTransientToolWindowsAToolWindowIsAPlainWindowThatStaysWhereItWasPut)
{
    host->setTransientToolWindows(false);
    show("frmA");
    HostForm& tool = show("frmTool");
    EXPECT_EQ(transientParentOf(tool), nullptr);
    EXPECT_FALSE(windowOf(tool).windowFlags().testFlag(Qt::Tool)) << "Qt would make a tool transient for its leader";
    EXPECT_TRUE(windowOf(tool).windowFlags().testFlag(Qt::FramelessWindowHint)) << "its frame is still the game's";
    EXPECT_EQ(windowOf(tool).size(), QSize(183 + 2 * 3, 175 + 2 * 3 + 15));
}

TEST_F(QtHostTest, aDrawnFrameHasTheModelsOuterSizeAndOnlyTheBoxesOfItsBorder)
{
    host->setDrawnFrames(qthost::DrawnFrames::All);
    HostForm& a = show("frmA");
    qthost::FormWindow& window = windowOf(a);
    EXPECT_TRUE(window.windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_EQ(window.size() * ui::kTwipsPerPixel, QSize(static_cast<int>(a.width()), static_cast<int>(a.height())));
    ASSERT_TRUE(window.drawnFrame().has_value());
    const qthost::DrawnFrame& frame = *window.drawnFrame();
    const QSize outer = window.size();
    EXPECT_TRUE(frame.boxRect(qthost::FramePart::MinimizeBox, outer).isNull()) << "a fixed window has a close box only";
    const QRect close = frame.boxRect(qthost::FramePart::CloseBox, outer);
    EXPECT_EQ(frame.partAt(close.center(), outer), qthost::FramePart::CloseBox);
    EXPECT_EQ(frame.partAt(QPoint(20, 10), outer), qthost::FramePart::Caption);
    EXPECT_EQ(frame.partAt(window.clientOffset(), outer), qthost::FramePart::Client);
    EXPECT_EQ(frame.edgesAt(QPoint(0, 0), outer), Qt::Edges()) << "not sizable";

    const qthost::DrawnFrame sizable(ui::FormBorder::Sizable);
    const QSize big(330, 270);
    for (auto box : {qthost::FramePart::CloseBox, qthost::FramePart::MaximizeBox, qthost::FramePart::MinimizeBox}) {
        EXPECT_EQ(sizable.partAt(sizable.boxRect(box, big).center(), big), box);
    }
    EXPECT_EQ(sizable.edgesAt(QPoint(329, 269), big), Qt::RightEdge | Qt::BottomEdge);
}

TEST_F(QtHostTest, inADrawnFrameClicksReachTheClientAtItsOffsetAndTheCloseBoxAsksTheModel)
{
    host->setDrawnFrames(qthost::DrawnFrames::All);
    HostForm& text = show("frmText");
    HostForm& b = show("frmB");
    qthost::FormWindow& window = windowOf(text);
    auto* edit = window.findChild<QLineEdit*>();
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->geometry().topLeft(), qthost::formRect(*text.Text1).topLeft() + window.clientOffset() + QPoint(2, 2));

    clickAt(window, QPoint(2, 2) + window.clientOffset());
    EXPECT_EQ(rig.app.activeForm(), &text);
    EXPECT_EQ(text.focused(), &text.Picture1) << "a click inside the frame lands on the picture box";

    qthost::FormWindow& bWindow = windowOf(b);
    clickAt(bWindow, bWindow.drawnFrame()->boxRect(qthost::FramePart::CloseBox, bWindow.size()).center());
    EXPECT_NE(log.find("B.Unload;"), std::string::npos);
    EXPECT_EQ(host->windowCount(), 1u);
}
