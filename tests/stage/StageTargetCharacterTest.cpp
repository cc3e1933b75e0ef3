// What the stage tells drivers from outside to type: the character that hits
// its current target, and one that no target accepts.

#include "stage/frmStage.h"
#include "tests/stage/StageSession.h"

namespace stage_test {
namespace {

void type(StageSession& s, char32_t ch)
{
    s.rig.app.keyPress(ui::keyAsciiFor(ch).value(), ch);
}

TEST(StageTargetCharacter, HitsEveryTargetWhileTheMissingOneHitsNone)
{
    for (int zone = 0; zone < Module1::kZones; ++zone) {
        StageSession s(zone, 11);
        auto& stage = dynamic_cast<frmStage&>(s.open());
        s.start();
        for (int draw = 0; draw < 200; ++draw) {
            type(s, frmStage::characterThatMisses());
            const auto target = stage.characterThatHits();
            ASSERT_TRUE(target.has_value());
            type(s, *target);
        }
        EXPECT_EQ(s.state("Hits"), "200") << "zone " << zone;
        EXPECT_EQ(s.state("Strokes"), "400") << "zone " << zone;
    }
}

TEST(StageTargetCharacter, IsNoneWithoutTheCharacterTables)
{
    StageSession s(0);
    Module1::CharTable = {};
    auto& stage = dynamic_cast<frmStage&>(s.open());
    EXPECT_EQ(stage.characterThatHits(), std::nullopt);
    Module1::FillCharTables();
    EXPECT_TRUE(stage.characterThatHits().has_value());
}

} // namespace
} // namespace stage_test
