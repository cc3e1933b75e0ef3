#pragma once

// Builders for the nine window designs: each creates the form's controls with
// their designed positions, texts, fonts, colours and pictures, and sets the
// form's caption, border and client size. A screen calls its builder once, in
// its constructor, so every opening starts from the design.

namespace ui {
class Form;
}

namespace designs {
void buildTitle(ui::Form& form);
void buildMenu(ui::Form& form);
void buildZone(ui::Form& form);
void buildStage(ui::Form& form);
void buildResults(ui::Form& form);
void buildNentry(ui::Form& form);
void buildRecord(ui::Form& form);
void buildOption(ui::Form& form);
void buildCertif(ui::Form& form);
} // namespace designs
