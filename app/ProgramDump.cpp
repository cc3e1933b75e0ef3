#include "app/ProgramDump.h"

#include "core/Module1.h"

#include <string>

namespace wiring {

namespace {

std::string joinedNames(const std::vector<ui::Form*>& forms)
{
    std::string names;
    for (const ui::Form* form : forms) {
        names += names.empty() ? "" : ",";
        names += form->name();
    }
    return names;
}

void dumpGeometry(const ui::Control& control, const std::string& prefix, ui::StateDump& out)
{
    out.add(prefix + "Visible", control.visible());
    out.add(prefix + "Left", control.left());
    out.add(prefix + "Top", control.top());
    out.add(prefix + "Width", control.width());
    out.add(prefix + "Height", control.height());
}

void dumpControl(const ui::Control& control, const std::string& formName, ui::StateDump& out)
{
    const std::string prefix = formName + "." + control.displayName() + ".";
    switch (control.kind()) {
    case ui::ControlKind::Label:
        out.add(prefix + "Caption", static_cast<const ui::Label&>(control).caption());
        break;
    case ui::ControlKind::Frame:
        out.add(prefix + "Caption", static_cast<const ui::Frame&>(control).caption());
        break;
    case ui::ControlKind::TextBox:
        out.add(prefix + "Text", static_cast<const ui::TextBox&>(control).text());
        break;
    case ui::ControlKind::Timer: {
        const auto& timer = static_cast<const ui::Timer&>(control);
        out.add(prefix + "Enabled", timer.running());
        out.add(prefix + "Interval", timer.interval());
        return;
    }
    default:
        break;
    }
    dumpGeometry(control, prefix, out);
    if (control.kind() == ui::ControlKind::Shape) {
        out.add(prefix + "FillStyle", static_cast<int>(static_cast<const ui::Shape&>(control).fillStyle()));
    } else if (control.kind() == ui::ControlKind::PictureBox) {
        out.add(prefix + "Picture", static_cast<const ui::PictureBox&>(control).picture());
    } else if (control.kind() == ui::ControlKind::Image) {
        out.add(prefix + "Picture", static_cast<const ui::Image&>(control).picture());
    }
}

} // namespace

void dumpForm(const ui::Form& form, ui::StateDump& out)
{
    const std::string& name = form.name();
    out.add(name + ".Caption", form.caption());
    out.add(name + ".Left", form.left());
    out.add(name + ".Top", form.top());
    out.add(name + ".Width", form.width());
    out.add(name + ".Height", form.height());
    for (const auto& control : form.controls()) {
        dumpControl(*control, name, out);
    }
    form.dumpState(out);
}

ui::StateDump dumpProgram(const ui::Application& app)
{
    ui::StateDump out;
    const std::vector<ui::Form*> open = app.openForms();
    out.add("open", joinedNames(open));
    out.add("active", app.activeForm() != nullptr ? app.activeForm()->name() : std::string());
    for (const ui::Form* form : open) {
        dumpForm(*form, out);
    }
    Module1::DumpSharedState(out);
    return out;
}

} // namespace wiring
