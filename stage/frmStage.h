#pragma once

// The typing stage: 30 seconds of targets flying across the canvas, every
// typed character judged, then the measurements handed to the results.

#include "platform/model/Form.h"
#include "resources/designs/Designs.h"
#include "core/FormNames.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>

class frmStage : public ui::Form {
public:
    static constexpr const char* kFormName = forms::kStage;
    explicit frmStage(ui::Application& app);

    void Form_Activate() override;
    void dumpState(ui::StateDump& out) const override;

    // For drivers from outside (the replay driver, the benchmarks): the
    // target's own character, which hits it; none while no target is drawn
    // or the character tables are not filled.
    std::optional<char32_t> characterThatHits() const;
    // A character on no key that any target accepts.
    static char32_t characterThatMisses() { return U'!'; }

    // Where the game stands, for the plays: before the start, the 30
    // seconds, or "TIME UP".
    enum class State { Waiting, Playing, TimeUp };
    State state() const;
    // The measurements as the finish hands them to the results.
    struct Figures {
        std::int32_t score = 0;
        int hits = 0;
        int strokes = 0;
        double response = 0; // ms
        double hitRate = 0;  // percent
    };
    Figures figures() const;

private:
    designs::Design<designs::buildStage> design_{*this};

    void Picture1_KeyPress(int& KeyAscii);
    void Timer1_Timer();
    void Timer2_Timer();
    void Timer3_Timer();
    void Timer4_Timer();

    bool isStartKey(int KeyAscii) const;
    bool isPlaying() const;
    void startGame();
    void judgeHit();
    void judgeMiss();
    void finishGame();
    double averageResponse() const;

    void drawTarget();
    bool accepts(int KeyAscii) const;
    void startFlight(int pathSpan, int pathBase);
    void advanceFlight();
    void drawGlyph();
    std::string targetGlyph() const;
    void showHitRate();
    void showZone();

    ui::PictureBox& Picture1 = get<ui::PictureBox>("Picture1"); // the canvas: background, flying target; takes the keys
    ui::Label& Label1 = get<ui::Label>("Label1"); // score
    ui::Label& Label2 = get<ui::Label>("Label2"); // seconds left
    ui::Label& Label6 = get<ui::Label>("Label6"); // the blinking prompt
    ui::Label& Label8 = get<ui::Label>("Label8"); // average response
    ui::Label& Label11 = get<ui::Label>("Label11"); // hit rate
    ui::ControlArray<ui::Label> Label5 = array<ui::Label>("Label5"); // "READY" and its shadow
    ui::ControlArray<ui::Label> Label10 = array<ui::Label>("Label10"); // "TIME UP" and its shadow
    ui::Shape& Shape3 = get<ui::Shape>("Shape3"); // hit rate bar
    ui::Image& Image1 = get<ui::Image>("Image1"); // parked: the Kana zone's background
    ui::Image& Image2 = get<ui::Image>("Image2"); // parked: the All kinds zone's background
    ui::Timer& Timer1 = get<ui::Timer>("Timer1"); // flight tick
    ui::Timer& Timer2 = get<ui::Timer>("Timer2"); // prompt blink
    ui::Timer& Timer3 = get<ui::Timer>("Timer3"); // countdown, each second
    ui::Timer& Timer4 = get<ui::Timer>("Timer4"); // response clock

    std::int32_t StageScore = 0;
    std::int16_t TimeLeft = 0;
    std::int16_t RespTicks = 0;
    std::int16_t Hits = 0;
    std::int16_t Strokes = 0;
    double RespTotal = 0;
    double StageHitRate = 0;
    std::int16_t TargetIndex = 0;
    std::array<std::int16_t, 3> ZoneCount{};
    std::array<std::int16_t, 3> ZoneStart{};
    std::int16_t PosX = 0;
    std::int16_t PosY = 0;
    std::int16_t PathX = 0;
    double Drift = 0;
    double Phase = 0;
    double Swing = 0;
    double GlyphSize = 0;
    std::int16_t Fade = 0;
};
