#include "stage/frmStage.h"

#include "core/Module1.h"
#include "core/Random.h"
#include "core/Rounding.h"
#include "platform/model/Application.h"
#include "platform/model/Text.h"

#include <cmath>

namespace {

constexpr std::int16_t kGameSeconds = 30;
constexpr std::int16_t kLowestTop = 200; // a glyph whose top passes this has left the canvas

// The response label sets a blank where a minus sign would go.
std::string withLeadingBlank(double value)
{
    std::string text = ui::numberText(value);
    if (value >= 0) {
        text.insert(text.begin(), ' ');
    }
    return text;
}

} // namespace

frmStage::frmStage(ui::Application& app) : ui::Form(app, kFormName)
{
    Picture1.onKeyPress = [this](int& KeyAscii) { Picture1_KeyPress(KeyAscii); };
    Timer1.onTimer = [this] { Timer1_Timer(); };
    Timer2.onTimer = [this] { Timer2_Timer(); };
    Timer3.onTimer = [this] { Timer3_Timer(); };
    Timer4.onTimer = [this] { Timer4_Timer(); };
}

// ---------------------------------------------------------------- set-up

void frmStage::Form_Activate()
{
    Module1::KeepCursor = 0;
    Module1::MenuCursor = 0;
    ZoneCount = {26, 40, 76};
    ZoneStart = {1, 27, 1};
    RespTotal = 0;
    Swing = 0;
    GlyphSize = 8.0;
    Strokes = 0;
    Hits = 0;
    StageScore = 0;
    Fade = 0;
    PosX = 5;
    PathX = 100;
    PosY = 5;
    Random::Randomize();
    Phase = 0;
    TimeLeft = kGameSeconds;
    drawTarget();
    showZone();
    Timer1.setInterval(100 - 50 * Module1::OptSpeed);
}

void frmStage::showZone()
{
    if (Module1::CurrentZone == 1) {
        Picture1.setPicture(Image1.picture());
        setCaption("Quorvel - Kana Characters Zone -");
    } else if (Module1::CurrentZone == 2) {
        Picture1.setPicture(Image2.picture());
        setCaption("Quorvel - All kinds Characters Zone -");
    }
}

// ---------------------------------------------------------------- keys

void frmStage::Picture1_KeyPress(int& KeyAscii)
{
    if (isStartKey(KeyAscii) && StageScore == 0 && TimeLeft == kGameSeconds && !Timer1.running()) {
        startGame();
    } else if (isPlaying() && accepts(KeyAscii)) {
        judgeHit();
    } else if (isPlaying()) {
        judgeMiss();
    } else if (isStartKey(KeyAscii) && TimeLeft == 0) {
        finishGame();
    }
}

bool frmStage::isStartKey(int KeyAscii) const
{
    return KeyAscii == ui::vk::Enter || KeyAscii == ui::vk::Space;
}

bool frmStage::isPlaying() const
{
    return TimeLeft > 0 && Timer1.running();
}

void frmStage::startGame()
{
    Hits = 0;
    Strokes = 0;
    Module1::HitRate = 0;
    RespTotal = 0;
    StageHitRate = 0;
    Drift = 0;
    StageScore = 0;
    RespTicks = 0;
    Label5(0).setVisible(false);
    Label5(1).setVisible(false);
    Label6.setVisible(false);
    Timer1.start();
    Timer2.stop();
    Timer3.start();
    Timer4.start();
}

// ---------------------------------------------------------------- judging

void frmStage::drawTarget()
{
    const auto zone = static_cast<std::size_t>(Module1::CurrentZone);
    TargetIndex = storeInt16(floorWhole(Random::Rnd() * ZoneCount.at(zone)) + ZoneStart.at(zone));
}

bool frmStage::accepts(int KeyAscii) const
{
    const auto position = static_cast<std::size_t>(TargetIndex - 1);
    for (std::size_t k = 0; k <= 2; ++k) {
        const auto code = ui::cp932Code(Module1::CharTable.at(k).at(position));
        if (code && *code == KeyAscii) {
            return true;
        }
    }
    return false;
}

std::optional<char32_t> frmStage::characterThatHits() const
{
    const std::u32string& targets = Module1::CharTable[0];
    if (TargetIndex < 1 || TargetIndex > Module1::kTableLength || targets.size() < Module1::kTableLength) {
        return std::nullopt;
    }
    return targets[static_cast<std::size_t>(TargetIndex - 1)];
}

void frmStage::judgeHit()
{
    StageScore = StageScore + (200 - PosY) * 2;
    Label1.setCaption(ui::numberText(StageScore));
    Picture1.cls();
    startFlight(100, 100);
    Strokes = storeInt16(Strokes + 1);
    RespTotal = RespTicks + RespTotal;
    Hits = storeInt16(Hits + 1);
    Module1::AvgResponse = floorWhole(RespTotal * 1000 / Hits) / 10;
    Label8.setCaption(withLeadingBlank(Module1::AvgResponse));
    RespTicks = 0;
    showHitRate();
}

void frmStage::judgeMiss()
{
    Strokes = storeInt16(Strokes + 1);
    showHitRate();
}

void frmStage::showHitRate()
{
    Shape3.setWidth(static_cast<double>(Hits) / Strokes * 100);
    StageHitRate = floorWhole(static_cast<double>(Hits) / Strokes * 1000) / 10;
    Label11.setCaption(ui::numberText(StageHitRate));
}

// ---------------------------------------------------------------- flight

// A new target starts its flight from the top edge; after a hit its path
// may lie anywhere from x 100 to 199, after a fly-off from 130 to 189.
void frmStage::startFlight(int pathSpan, int pathBase)
{
    Drift = 0;
    Swing = 0;
    GlyphSize = 8.0;
    Fade = 0;
    drawTarget();
    PosY = 0;
    PathX = storeInt16(floorWhole(Random::Rnd() * pathSpan) + pathBase);
    Phase = Random::Rnd() * 6.28;
}

void frmStage::Timer1_Timer()
{
    advanceFlight();
    drawGlyph();
    if (PosY > kLowestTop) {
        startFlight(60, 130);
    }
}

void frmStage::advanceFlight()
{
    GlyphSize = GlyphSize + 0.2;
    Fade = storeInt16(Fade + 2);
    Phase = Phase + 0.2;
    Swing = Swing + 0.4;
    Drift = (PathX - 160) * 0.02 + Drift;
    PosX = storeInt16(floorWhole(Drift) + ((Swing + 8) * std::sin(Phase) + PathX));
    PosY = storeInt16(PosY * 1.02 + 1);
}

void frmStage::drawGlyph()
{
    const std::string glyph = targetGlyph();
    Picture1.setFontSize(floorWhole(GlyphSize));
    for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
            Picture1.print(PosX + dx, PosY + dy, glyph, ui::colors::black);
        }
    }
    Picture1.print(PosX, PosY, glyph, ui::rgb(255, 255 - Fade, 255 - Fade));
}

std::string frmStage::targetGlyph() const
{
    const int style = TargetIndex < 27 ? Module1::OptCase : Module1::OptKana;
    const std::u32string& table = Module1::CharTable.at(static_cast<std::size_t>(3 + style));
    return ui::toUtf8(table.at(static_cast<std::size_t>(TargetIndex - 1)));
}

// ---------------------------------------------------------------- clocks

void frmStage::Timer2_Timer()
{
    Label6.setVisible(!Label6.visible());
}

void frmStage::Timer3_Timer()
{
    TimeLeft = storeInt16(TimeLeft - 1);
    Label2.setCaption(ui::numberText(TimeLeft));
    if (TimeLeft == 0) {
        Timer1.stop();
        Timer2.start();
        Label10(0).setVisible(true);
        Label10(1).setVisible(true);
        Timer3.stop();
        Timer4.stop();
    }
}

void frmStage::Timer4_Timer()
{
    RespTicks = storeInt16(RespTicks + 1);
}

// ---------------------------------------------------------------- finish

double frmStage::averageResponse() const
{
    return Hits == 0 ? 0.0 : floorWhole(RespTotal * 1000 / Hits) / 10;
}

frmStage::State frmStage::state() const
{
    if (TimeLeft == 0) {
        return State::TimeUp;
    }
    return isPlaying() ? State::Playing : State::Waiting;
}

frmStage::Figures frmStage::figures() const
{
    return Figures{StageScore, Hits, Strokes, averageResponse(), StageHitRate};
}

void frmStage::finishGame()
{
    Module1::AvgResponse = averageResponse();
    Module1::LastScore = StageScore;
    Module1::RecordScore.at(static_cast<std::size_t>(Module1::CurrentZone))[Module1::kWorkingSlot] = StageScore;
    Module1::HitRate = StageHitRate;
    openHere(forms::kResults);
    unload();
}

void frmStage::dumpState(ui::StateDump& out) const
{
    const std::string prefix = name() + ".";
    out.add(prefix + "StageScore", static_cast<std::int64_t>(StageScore));
    out.add(prefix + "TimeLeft", TimeLeft);
    out.add(prefix + "RespTicks", RespTicks);
    out.add(prefix + "Hits", Hits);
    out.add(prefix + "Strokes", Strokes);
    out.add(prefix + "RespTotal", RespTotal);
    out.add(prefix + "StageHitRate", StageHitRate);
    out.add(prefix + "TargetIndex", TargetIndex);
    for (std::size_t zone = 0; zone < ZoneCount.size(); ++zone) {
        out.add(prefix + "ZoneCount(" + std::to_string(zone) + ")", ZoneCount[zone]);
    }
    for (std::size_t zone = 0; zone < ZoneStart.size(); ++zone) {
        out.add(prefix + "ZoneStart(" + std::to_string(zone) + ")", ZoneStart[zone]);
    }
    out.add(prefix + "PosX", PosX);
    out.add(prefix + "PosY", PosY);
    out.add(prefix + "PathX", PathX);
    out.add(prefix + "Drift", Drift);
    out.add(prefix + "Phase", Phase);
    out.add(prefix + "Swing", Swing);
    out.add(prefix + "GlyphSize", GlyphSize);
    out.add(prefix + "Fade", Fade);
}
