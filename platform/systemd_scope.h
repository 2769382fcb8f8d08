#pragma once

#include <sys/types.h>

#include <memory>
#include <string>

typedef struct _GDBusConnection GDBusConnection;

namespace tarvona {

// Moves a program we opened into a transient systemd scope of its own, as desktops do for what
// they launch: "app-tarvona-<name>-<random>.scope". So the unit that runs Tarvona ends with
// Tarvona, and stopping it never stops what it opened. Where no user manager answers on the
// session bus nothing happens and nothing waits; every call has a short time limit, and a failure
// is told on standard error while the program stays where it is.
class ScopeMover {
public:
    ScopeMover();
    ~ScopeMover();
    ScopeMover(const ScopeMover&) = delete;
    ScopeMover& operator=(const ScopeMover&) = delete;

    void Move(pid_t pid, const std::string& name);

    // The unit name for a program's name: systemd's escaping, so any name makes a valid unit.
    static std::string UnitName(const std::string& name, unsigned random);

private:
    GDBusConnection* Connection();

    GDBusConnection* m_connection = nullptr;
    bool m_given_up = false;  // no session bus or no user manager: not asked again
};

}  // namespace tarvona
