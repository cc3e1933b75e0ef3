#pragma once

// Small pieces the benchmarks and the timing run share: the shared state of
// a fresh program, and the key event that hits the stage's current target.

#include "core/Module1.h"
#include "platform/model/Form.h"
#include "stage/frmStage.h"

#include <QKeyEvent>
#include <QString>

#include <cstdint>
#include <memory>
#include <optional>

namespace bench_support {

// What start-up leaves behind, without reading a records file.
inline void resetProgramState(std::int16_t zone, std::int16_t speed)
{
    Module1::ResetSharedState();
    Module1::FillDefaultRecords();
    Module1::FillCharTables();
    Module1::CurrentZone = zone;
    Module1::OptSpeed = speed;
}

// A key press as Qt delivers it for a plain letter key, Space or Enter.
inline std::unique_ptr<QKeyEvent> letterKeyEvent(char32_t ch)
{
    if (ch == U' ') {
        return std::make_unique<QKeyEvent>(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
    }
    if (ch == U'\r') {
        return std::make_unique<QKeyEvent>(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    }
    const char letter = static_cast<char>(ch);
    const int key = Qt::Key_A + (letter >= 'a' ? letter - 'a' : letter - 'A');
    return std::make_unique<QKeyEvent>(QEvent::KeyPress, key, Qt::NoModifier, QString(QChar(letter)).toLower());
}

// The key that hits the target of the Alphabetic zone now on the stage.
inline std::optional<char32_t> targetLetter(const ui::Form& stage)
{
    const auto target = dynamic_cast<const frmStage&>(stage).characterThatHits();
    if (!target || *target < U'A' || *target > U'Z') {
        return std::nullopt;
    }
    return target;
}

} // namespace bench_support
