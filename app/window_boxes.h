#pragma once
// The main window's boxes as the evaluation sees them, whatever toolkit draws
// them: texts in UTF-8 with LF line breaks, as widgets give and take them.

#include <string>

namespace tarnwick::app {

class WindowBoxes {
public:
    virtual ~WindowBoxes() = default;
    virtual std::string expression() const = 0;
    virtual std::string text() const = 0;
    virtual void showResult(const std::string& result) = 0;
    virtual void showStatus(const std::string& status) = 0;
};

}  // namespace tarnwick::app
