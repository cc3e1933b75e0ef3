// How forms come and go: one instance at most, loading afresh after an
// unload, activation exactly once per visit, and the end of the program.

#include "platform/model/Application.h"
#include "tests/support/TestForms.h"

#include <gtest/gtest.h>

using testing_support::ProbeForm;
using testing_support::ProbeRig;

TEST(FormLifecycle, referencingAFormLoadsItOnceWithoutShowingIt)
{
    ProbeRig rig;
    ui::Form& first = rig.app.form("frmA");
    ui::Form& again = rig.app.form("frmA");
    EXPECT_EQ(&first, &again);
    EXPECT_EQ(rig.log(), "A.Load;");
    EXPECT_FALSE(first.visible());
    EXPECT_TRUE(rig.app.openForms().empty());
}

TEST(FormLifecycle, showingActivatesOnceAfterTheHandlerFinishes)
{
    ProbeRig rig;
    rig.app.run([&] {
        rig.app.form("frmA").show();
        EXPECT_EQ(rig.app.activeForm(), nullptr) << "activation waits for the handler to finish";
    });
    EXPECT_EQ(rig.log(), "A.Load;A.Activate;");
    EXPECT_EQ(rig.app.activeForm(), rig.app.loaded("frmA"));
}

TEST(FormLifecycle, anUnloadedFormComesBackFromItsDesign)
{
    ProbeRig rig;
    auto& a = dynamic_cast<ProbeForm&>(rig.app.form("frmA"));
    a.show();
    rig.app.form("frmB").show();
    a.Label1.setCaption("changed");
    const auto firstId = a.instanceId();
    rig.app.requestClose(a);
    EXPECT_EQ(rig.app.loaded("frmA"), nullptr);
    auto& reborn = dynamic_cast<ProbeForm&>(rig.app.form("frmA"));
    EXPECT_NE(reborn.instanceId(), firstId);
    EXPECT_EQ(reborn.Label1.caption(), "design");
}

TEST(FormLifecycle, openHereShowsTheNamedFormAtThisFormsCornerOrOffsetFromIt)
{
    ProbeRig rig;
    ui::Form& a = rig.app.form("frmA");
    a.move(1200, 900);
    a.show();
    rig.clearLog();

    ui::Form& b = a.openHere("frmB");
    EXPECT_EQ(&b, rig.app.loaded("frmB"));
    EXPECT_TRUE(b.visible());
    EXPECT_DOUBLE_EQ(b.left(), 1200);
    EXPECT_DOUBLE_EQ(b.top(), 900);
    EXPECT_EQ(rig.log(), "B.Load;A.Deactivate;B.Activate;");

    ui::Form& c = b.openHere("frmC", 675, -900);
    EXPECT_DOUBLE_EQ(c.left(), 300);
    EXPECT_DOUBLE_EQ(c.top(), 1575);
    EXPECT_EQ(rig.app.activeForm(), &c);
}

TEST(FormLifecycle, clickingAnotherWindowDeactivatesThenActivates)
{
    ProbeRig rig;
    rig.app.form("frmA").show();
    rig.app.form("frmB").show();
    rig.clearLog();
    rig.app.click(*rig.app.loaded("frmA"));
    EXPECT_EQ(rig.log(), "B.Deactivate;A.Activate;");
    rig.app.click(*rig.app.loaded("frmA"));
    EXPECT_EQ(rig.log(), "B.Deactivate;A.Activate;") << "clicking the active window again is no new visit";
}

TEST(FormLifecycle, closingTheActiveFormActivatesTheTopmostRemainingOne)
{
    ProbeRig rig;
    rig.app.form("frmA").show();
    rig.app.form("frmB").show();
    rig.app.form("frmC").show();
    rig.clearLog();
    rig.app.requestClose(*rig.app.loaded("frmC"));
    EXPECT_EQ(rig.log(), "C.Unload;B.Activate;") << "an unloaded form gets no Deactivate";
    EXPECT_EQ(rig.app.activeForm(), rig.app.loaded("frmB"));
}

TEST(FormLifecycle, aFormThatClosesItselfWhenDeactivatedHandsOverCleanly)
{
    ProbeRig rig;
    rig.app.form("frmA").show();
    auto& b = dynamic_cast<ProbeForm&>(rig.app.form("frmB"));
    b.closeOnDeactivate = true;
    b.show();
    rig.clearLog();
    rig.app.click(*rig.app.loaded("frmA"));
    EXPECT_EQ(rig.log(), "B.Deactivate;B.Unload;A.Activate;");
    EXPECT_EQ(rig.app.loaded("frmB"), nullptr);
}

TEST(FormLifecycle, theProgramEndsWhenTheLastWindowCloses)
{
    ProbeRig rig;
    rig.app.form("frmA").show();
    rig.app.form("frmB"); // loaded, never shown
    EXPECT_FALSE(rig.app.finished());
    rig.app.requestClose(*rig.app.loaded("frmA"));
    EXPECT_TRUE(rig.app.finished());
    EXPECT_EQ(rig.app.loaded("frmB"), nullptr) << "a hidden form must not keep the program alive";
}

TEST(FormLifecycle, aFormCanUnloadItselfInsideItsOwnHandler)
{
    ProbeRig rig;
    auto& a = dynamic_cast<ProbeForm&>(rig.app.form("frmA"));
    a.show();
    a.Picture1.onKeyPress = [&a](int&) {
        a.app().form("frmB").show();
        a.unload();
        a.Label1.setCaption("still safe to touch until the event ends");
    };
    rig.app.keyPress(13, U'\r');
    EXPECT_EQ(rig.app.loaded("frmA"), nullptr);
    EXPECT_EQ(rig.app.activeForm(), rig.app.loaded("frmB"));
}

TEST(FormLifecycle, keysGoToTheFocusedPictureBoxOrElseToTheForm)
{
    ProbeRig rig;
    auto& a = dynamic_cast<ProbeForm&>(rig.app.form("frmA"));
    a.show();
    int pictureKey = 0;
    a.Picture1.onKeyDown = [&](int code, int) { pictureKey = code; };
    rig.app.keyDown(ui::vk::Up);
    EXPECT_EQ(pictureKey, ui::vk::Up);

    auto& panel = dynamic_cast<ProbeForm&>(rig.app.form("frmPanel"));
    panel.show();
    rig.clearLog();
    rig.app.keyDown(ui::vk::Down, 1);
    EXPECT_EQ(rig.log(), "Panel.KeyDown(40);");
}

TEST(FormLifecycle, aTextBoxTypesDeletesAndLetsItsHandlerRefuseCharacters)
{
    ProbeRig rig;
    auto& entry = dynamic_cast<ProbeForm&>(rig.app.form("frmEntry"));
    entry.show();
    auto& box = entry.get<ui::TextBox>("Text1");
    int changes = 0;
    box.onChange = [&] { ++changes; };
    box.onKeyPress = [](int& code) {
        if (code == ',') {
            code = 0;
        }
    };
    rig.app.keyPress('A', U'A');
    rig.app.keyPress(',', U',');
    rig.app.keyPress(0x88A0, U'漢');
    EXPECT_EQ(box.text(), "A漢");
    rig.app.keyPress(8, U'\b');
    EXPECT_EQ(box.text(), "A");
    rig.app.keyPress(13, U'\r');
    EXPECT_EQ(box.text(), "A");
    EXPECT_EQ(changes, 3);
}

TEST(FormLifecycle, theCharactersOfAKeyAreLostWhenItsKeyDownMovedToAnotherWindow)
{
    ProbeRig rig;
    auto& a = dynamic_cast<ProbeForm&>(rig.app.form("frmA"));
    a.show();
    a.Picture1.onKeyDown = [&a](int, int) {
        a.app().form("frmB").show();
        a.unload();
    };
    auto& b = dynamic_cast<ProbeForm&>(rig.app.form("frmB"));
    int typedOnB = 0;
    b.Picture1.onKeyPress = [&](int&) { ++typedOnB; };
    rig.app.keyStroke(ui::vk::Enter, 0, {{13, U'\r'}});
    EXPECT_EQ(rig.app.activeForm(), &b);
    EXPECT_EQ(typedOnB, 0);
    rig.app.keyStroke(ui::vk::Enter, 0, {{13, U'\r'}, {13, U'\r'}});
    EXPECT_EQ(typedOnB, 2) << "on a window that stays active every character arrives";
}
