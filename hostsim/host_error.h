// Errors raised by hostsim: a module or resource that cannot be used, and a bad command line.
#pragma once
#include <stdexcept>
#include <string>

namespace hostsim {

// A file, module or resource the host cannot use. The message names what is wrong and where.
class HostError : public std::runtime_error {
public:
    explicit HostError(const std::string& message) : std::runtime_error(message) {}
};

// A command line filterhost does not understand.
class UsageError : public std::runtime_error {
public:
    explicit UsageError(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace hostsim
