#pragma once

// Builders for the nine window designs: each creates the form's controls with
// their designed positions, texts, fonts, colours and pictures, and sets the
// form's caption, border and client size. A screen builds its design once, as
// it is created, so every opening starts from the design.

namespace ui {
class Form;
}

namespace designs {

// Every screen's first data member, building its design as the screen is
// created. Members are initialised in declaration order, so the controls exist
// by the time the control references declared after it look them up; a call
// in the constructor's body would come too late.
template <void (*Build)(ui::Form&)>
struct Design {
    explicit Design(ui::Form& form) { Build(form); }
};

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
