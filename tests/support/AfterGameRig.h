#pragma once

// A whole program for testing the after-game screens: the default records
// table, a stand-in title screen that notes its arrival, and a scratch
// directory for the records file so that no test writes beside the binary.

#include "core/Module1.h"
#include "platform/model/Text.h"
#include "tests/support/Rig.h"
#include "tests/support/TestForms.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <stdexcept>
#include <string>

namespace testing_support {

class ScratchAppDir {
public:
    ScratchAppDir() : previous_(Module1::AppDirOverride)
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "quorvel-after-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("cannot create a scratch directory");
        }
        path_ = pattern;
        Module1::AppDirOverride = path_.string();
    }
    ~ScratchAppDir()
    {
        Module1::AppDirOverride = previous_;
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchAppDir(const ScratchAppDir&) = delete;
    ScratchAppDir& operator=(const ScratchAppDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path recordFile() const { return path_ / "qorvl.dat"; }
    // The records file's raw bytes, empty when it does not exist.
    std::string recordBytes() const
    {
        std::ifstream in(recordFile(), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

private:
    std::string previous_;
    std::filesystem::path path_;
};

struct AfterGameRig : Rig {
    AfterGameRig()
    {
        Module1::FillDefaultRecords();
        app.registerForm("frmTitle", [this](ui::Application& a) {
            return std::make_unique<ProbeForm>(a, "frmTitle", titleLog, true);
        });
    }

    // A finished play of zone `zone` as the stage hands it over.
    void finishPlay(std::int32_t rawScore, double average, double hitRate, std::int16_t zone = 0)
    {
        Module1::CurrentZone = zone;
        Module1::RecordScore[zone][10] = rawScore;
        Module1::LastScore = rawScore;
        Module1::AvgResponse = average;
        Module1::HitRate = hitRate;
    }

    ui::Form& showAt(const char* formName, double left = 1800, double top = 1200)
    {
        ui::Form& form = app.form(formName);
        form.move(left, top);
        form.show();
        return form;
    }

    // The results of a play whose final score is exactly `finalScore`.
    ui::Form& showResultsScoring(std::int32_t finalScore)
    {
        finishPlay(finalScore, 2000, 100);
        return showAt("frmResults");
    }

    ui::Form& showNameEntryFor(std::int32_t finalScore, std::int16_t zone = 0)
    {
        Module1::CurrentZone = zone;
        Module1::RecordScore[zone][10] = finalScore;
        Module1::NewRecord = 1;
        return showAt("frmNentry");
    }

    void pressEnter() { app.keyPress(13, U'\r'); }
    void pressSpace() { app.keyPress(32, U' '); }
    void type(std::u32string_view text)
    {
        for (char32_t ch : text) {
            app.keyPress(ui::keyAsciiFor(ch).value_or('?'), ch);
        }
    }

    ui::Form* title() const { return app.loaded("frmTitle"); }
    bool isOpen(const char* formName) const
    {
        const ui::Form* form = app.loaded(formName);
        return form != nullptr && form->visible();
    }

    std::string titleLog;
    ScratchAppDir appDir;
};

inline std::string captionOf(const ui::Form& form, const char* label, int index = -1)
{
    return form.get<ui::Label>(label, index).caption();
}

} // namespace testing_support
