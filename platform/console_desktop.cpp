#include <algorithm>
#include <iostream>

#include "desktop.h"

namespace tarvona {

Answer ConsoleDesktop::messageBox(const std::string& text, const std::string& caption,
                                  Buttons buttons) {
    std::string oneLine = text;
    std::replace(oneLine.begin(), oneLine.end(), '\r', ' ');
    oneLine.erase(std::remove(oneLine.begin(), oneLine.end(), '\n'), oneLine.end());
    std::cerr << "Tarvona: " << caption << ": " << oneLine << '\n';
    return buttons == Buttons::YesNo ? Answer::No : Answer::Ok;
}

}  // namespace tarvona
