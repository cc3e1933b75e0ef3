#pragma once

// One stage window under virtual time, driven the way the player drives it,
// with a stand-in results screen that records that it was shown.

#include "core/Module1.h"
#include "core/Random.h"
#include "platform/model/Text.h"
#include "tests/support/Rig.h"
#include "tests/support/TestForms.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>

namespace stage_test {

inline constexpr int kEnter = 13;
inline constexpr int kSpace = 32;
// '!' is on no key that any target accepts.
inline constexpr int kNeverAccepted = 33;

class StageSession {
public:
    explicit StageSession(int zone, std::uint64_t seed = 1)
    {
        Random::SetFixedSeed(seed);
        Module1::FillCharTables();
        Module1::CurrentZone = static_cast<std::int16_t>(zone);
        rig.app.registerForm("frmResults", [this](ui::Application& app) {
            return std::make_unique<testing_support::ProbeForm>(app, "frmResults", events, true);
        });
    }
    ~StageSession() { Random::SetFixedSeed(std::nullopt); }
    StageSession(const StageSession&) = delete;
    StageSession& operator=(const StageSession&) = delete;

    // Shows the stage as the zone select does: positioned, then shown.
    ui::Form& open(double left = 1500, double top = 900)
    {
        ui::Form& stage = rig.app.form("frmStage");
        stage.setLeft(left);
        stage.setTop(top);
        stage.show();
        return stage;
    }

    ui::Form& stage() const
    {
        ui::Form* form = rig.app.loaded("frmStage");
        if (form == nullptr) {
            throw std::logic_error("the stage is not open");
        }
        return *form;
    }
    bool stageOpen() const { return rig.app.loaded("frmStage") != nullptr; }

    ui::Label& label(const char* name, int index = -1) const { return stage().get<ui::Label>(name, index); }
    ui::PictureBox& canvas() const { return stage().get<ui::PictureBox>("Picture1"); }
    ui::Timer& timer(const char* name) const { return stage().get<ui::Timer>(name); }
    ui::Shape& bar() const { return stage().get<ui::Shape>("Shape3"); }

    // A private value of the stage, as the replay dump shows it.
    std::string state(const std::string& name) const
    {
        ui::StateDump dump;
        stage().dumpState(dump);
        for (const auto& [key, value] : dump.lines()) {
            if (key == "frmStage." + name) {
                return value;
            }
        }
        throw std::out_of_range("no stage value " + name);
    }
    double number(const std::string& name) const { return std::stod(state(name)); }
    int targetIndex() const { return static_cast<int>(number("TargetIndex")); }

    void press(int keyAscii) { rig.app.keyPress(keyAscii, static_cast<char32_t>(keyAscii)); }
    void start() { press(kSpace); }
    // Types the target's own character (table 0).
    void hit() { press(*ui::cp932Code(Module1::CharTable[0].at(static_cast<std::size_t>(targetIndex() - 1)))); }
    void miss() { press(kNeverAccepted); }
    void advance(std::int64_t ms) { rig.advance(ms); }

    // The coloured drawing that ends every flight tick (the outline is black).
    std::vector<ui::CanvasText> glyphDrawings() const
    {
        std::vector<ui::CanvasText> result;
        for (const auto& drawing : canvas().drawings()) {
            if (drawing.color.r == 255) {
                result.push_back(drawing);
            }
        }
        return result;
    }

    testing_support::Rig rig;
    std::string events;
};

// A stage whose first target is `position`, found by trying seeds.
inline std::unique_ptr<StageSession> openWithFirstTarget(int zone, int position)
{
    for (std::uint64_t seed = 1; seed < 10000; ++seed) {
        auto session = std::make_unique<StageSession>(zone, seed);
        session->open();
        if (session->targetIndex() == position) {
            return session;
        }
    }
    throw std::runtime_error("no seed draws position " + std::to_string(position));
}

} // namespace stage_test
