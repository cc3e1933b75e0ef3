#pragma once

// Every picture of the game, one painting function each. The functions
// return the picture at its final size; true-colour scenes come back as
// RGB32, the rest are reduced to their palette by the generator.

#include <QImage>

#include <vector>

namespace artgen {

QImage paintTitle();
QImage paintTitleBanner();
QImage paintMenu();
QImage paintMenuArrow();
QImage paintZone();
QImage paintStageCastle();
QImage paintStageLake();
QImage paintStageStream();
QImage paintResults();
QImage paintNameEntry();
QImage paintCertificatePale();
QImage paintCertificateGreen();
QImage paintCertificateExpert();
QImage paintIcon32();
QImage paintIcon16();

struct Artwork {
    const char* name;
    int colours;   // 0 true colour, else the size of its palette
    double dither; // error diffusion when reducing to the palette
    QImage (*paint)();
};

const std::vector<Artwork>& artworks();

} // namespace artgen
