#include "app/web/PageLanguage.h"

namespace webrecords {
namespace {

bool japanesePage = false;

} // namespace

void useJapanese(bool japanese)
{
    japanesePage = japanese;
}

std::string say(std::string_view english, std::string_view japanese)
{
    return std::string(japanesePage ? japanese : english);
}

} // namespace webrecords
