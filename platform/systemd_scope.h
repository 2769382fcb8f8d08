#pragma once

#include <sys/resource.h>
#include <sys/types.h>

#include <string>
#include <thread>

namespace tarvona {

// Puts a program we open into a transient systemd scope of its own, as desktops do for what
// they launch: "app-tarvona-<name>-<random>.scope". systemd stops what is left in the unit that
// runs Tarvona when Tarvona ends, so the move is made before the program runs (see ChildHold):
// nothing it forks, however soon, stays behind. Where no user manager answers on the session bus
// nothing happens and nothing waits; a call that is not answered in time gives the scopes up for
// the rest of the process, and a failure is told on standard error.
class ScopeMover {
public:
    // Whether programs are to be moved; asks the session bus on first use.
    bool Active();
    // Moves the process into a new scope and waits until it is there.
    void Move(pid_t pid, const std::string& name);

    // The unit name for a program's name: systemd's escaping, so any name makes a valid unit.
    static std::string UnitName(const std::string& name, unsigned random);

private:
    bool m_given_up = false;
};

// What a process we fork does between fork and exec (InChild, given as GLib's child set-up or
// called by our own start helper): it lets go of every file but pipes, so that no child ever
// holds the run's locks or folder; it takes back the limit on open files the session gave us; and
// while scopes are made it tells us its process id and waits until its scope is there, or until
// the move is given up or we are gone. One hold serves one launch, which may fork several times.
class ChildHold {
public:
    ChildHold(ScopeMover& scopes, std::string name, const rlimit& sessionFileLimit);
    ~ChildHold();
    ChildHold(const ChildHold&) = delete;
    ChildHold& operator=(const ChildHold&) = delete;

    // In the child: only async-signal-safe calls.
    static void InChild(void* hold);

private:
    void Serve();

    ScopeMover& m_scopes;
    std::string m_name;
    rlimit m_fileLimit;
    int m_highestFd = 2;          // the highest descriptor open when the hold was made
    bool m_active = false;        // children wait for their scope
    int m_request[2] = {-1, -1};  // child to us: its process id
    int m_answer[2] = {-1, -1};   // us to child: one byte once its scope is there
    int m_stop[2] = {-1, -1};     // closed by us when the launch is over
    std::thread m_server;
};

}  // namespace tarvona
