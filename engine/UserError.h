// The one failure type that carries a text for the user: a log that cannot be
// read, a settings folder that cannot be made. Caught by the window's failure
// guard and by the command-line checker's main.
#pragma once

#include <stdexcept>
#include <string>

class TUserError : public std::runtime_error {
public:
    explicit TUserError(std::wstring text) : std::runtime_error("Fixtally failure"), Text(std::move(text)) {}
    std::wstring Text;
};
