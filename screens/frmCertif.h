#pragma once

// The certificate: the class earned by the last game, shown over the screen
// that opened it. However it closes, the game goes back to the title.

#include "platform/model/Form.h"
#include "resources/designs/Designs.h"
#include "core/FormNames.h"

#include <cstdint>

class frmCertif : public ui::Form {
public:
    static constexpr const char* kFormName = forms::kCertif;
    explicit frmCertif(ui::Application& app);

    void Form_Activate() override;
    void Form_KeyPress(int& KeyAscii) override;
    void Form_Deactivate() override;
    void Form_Unload(int& Cancel) override;

private:
    void Picture1_KeyPress(int& KeyAscii);

    void showExpertCertificate();
    void returnToTitle();

    designs::Design<designs::buildCertif> design_{*this};

    ui::PictureBox& Picture1 = get<ui::PictureBox>("Picture1"); // the certificate picture, which takes the keys
    ui::Label& Label1 = get<ui::Label>("Label1"); // "Certificate"
    ui::Label& Label2 = get<ui::Label>("Label2"); // "Special", for a perfect hit rate
    ui::Label& Label3 = get<ui::Label>("Label3"); // the class letter
    ui::Label& Label4 = get<ui::Label>("Label4"); // "Class"
    ui::Image& Image1 = get<ui::Image>("Image1"); // parked: the Expert certificate
    ui::Image& Image2 = get<ui::Image>("Image2"); // parked: the certificate below class "a"

    // Closing runs once: unloading itself at the end calls Form_Unload again.
    bool returning_ = false;
};
